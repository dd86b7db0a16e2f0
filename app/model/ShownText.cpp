#include "app/model/ShownText.h"

#include <QFile>

#include "platform/TextTrim.h"

namespace larkvale::shown {
namespace {

QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string utf8(const QString& text) {
  return text.toStdString();
}

}  // namespace

QString line(std::string_view text) {
  return fromUtf8(TextTrim::oneLine(text));
}

QString line(const QString& text) {
  return line(utf8(text));
}

QString lines(std::string_view text) {
  return fromUtf8(TextTrim::lines(text));
}

QString lines(const QString& text) {
  return lines(utf8(text));
}

QString path(std::string_view bytes) {
  return fromUtf8(TextTrim::writtenOut(bytes));
}

QString path(const std::string& bytes) {
  return path(std::string_view(bytes));
}

QString path(const std::filesystem::path& path) {
  return shown::path(std::string_view(path.native()));
}

QString path(const QString& path) {
  const QByteArray bytes = QFile::encodeName(path);
  return shown::path(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace larkvale::shown
