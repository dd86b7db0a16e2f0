#include "kit/model/InstalledApp.h"

size_t std::hash<larkvale::InstalledApp>::operator()(
    const larkvale::InstalledApp& a) const noexcept {
  return larkvale::hashValues(a.path, a.name, a.bundleID, a.version, a.build, a.feedURL,
                              a.hasAppStoreReceipt, a.isWrappedIOSApp, a.selfUpdater, a.sandboxed,
                              a.storeID, a.githubRepo);
}

namespace larkvale {

template <>
InstalledApp fromJson<InstalledApp>(const JsonIn& in) {
  return readInstalledApp(in);
}

Json toJson(const InstalledApp& app) {
  Json obj = {{"path", app.path},
              {"name", app.name},
              {"bundleID", app.bundleID},
              {"version", app.version},
              {"build", app.build},
              {"hasAppStoreReceipt", app.hasAppStoreReceipt},
              {"isWrappedIOSApp", app.isWrappedIOSApp}};
  JsonCoding::putOptional(obj, "feedURL", app.feedURL);
  JsonCoding::putOptional(obj, "selfUpdater", app.selfUpdater);
  JsonCoding::putOptional(obj, "sandboxed", app.sandboxed);
  JsonCoding::putOptional(obj, "storeID", app.storeID);
  JsonCoding::putOptional(obj, "githubRepo", app.githubRepo);
  return obj;
}

template <typename In>
InstalledApp readInstalledApp(const In& in) {
  InstalledApp app;
  app.path = in.string("path");
  app.name = in.string("name");
  app.bundleID = in.string("bundleID");
  app.version = in.string("version");
  app.build = in.string("build");
  app.hasAppStoreReceipt = in.boolean("hasAppStoreReceipt");
  app.isWrappedIOSApp = in.boolean("isWrappedIOSApp");
  app.feedURL = in.optionalUrl("feedURL");
  app.selfUpdater = in.optionalString("selfUpdater");
  app.sandboxed = in.optionalBoolean("sandboxed");
  app.storeID = in.optionalInt64("storeID");
  app.githubRepo = in.optionalString("githubRepo");
  return app;
}

template InstalledApp readInstalledApp(const JsonIn& in);
template InstalledApp readInstalledApp(const JsonStreamIn& in);

}  // namespace larkvale
