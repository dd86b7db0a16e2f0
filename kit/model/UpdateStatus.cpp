#include "kit/model/UpdateStatus.h"

#include "kit/model/Hash.h"

namespace larkvale {

size_t UpdateStatus::hash() const {
  size_t seed = 0;
  hashCombine(seed, static_cast<int>(kind_));
  if (kind_ == Kind::notChecked) hashCombine(seed, reason_);
  return seed;
}

template <>
UpdateStatus fromJson<UpdateStatus>(const JsonIn& in) {
  return readUpdateStatus(in);
}

Json toJson(const UpdateStatus& status) {
  switch (status.kind()) {
    case UpdateStatus::Kind::updateAvailable:
      return JsonCoding::enumCase("updateAvailable");
    case UpdateStatus::Kind::upToDate:
      return JsonCoding::enumCase("upToDate");
    case UpdateStatus::Kind::notChecked:
      return JsonCoding::enumCase("notChecked", status.reason());
    case UpdateStatus::Kind::noSource:
      break;
  }
  return JsonCoding::enumCase("noSource");
}

template <typename In>
UpdateStatus readUpdateStatus(const In& in) {
  auto [index, inner] = in.enumCase({"updateAvailable", "upToDate", "notChecked", "noSource"});
  switch (static_cast<UpdateStatus::Kind>(index)) {
    case UpdateStatus::Kind::updateAvailable:
      return UpdateStatus::updateAvailable();
    case UpdateStatus::Kind::upToDate:
      return UpdateStatus::upToDate();
    case UpdateStatus::Kind::notChecked:
      return UpdateStatus::notChecked(inner.string("_0"));
    case UpdateStatus::Kind::noSource:
      break;
  }
  return UpdateStatus::noSource();
}

template UpdateStatus readUpdateStatus(const JsonIn& in);
template UpdateStatus readUpdateStatus(const JsonStreamIn& in);

}  // namespace larkvale
