#include "app/desktop/DBusBadge.h"

#include <QDBusMessage>
#include <QVariantMap>

namespace larkvale {

DBusBadge::DBusBadge(QDBusConnection bus) : bus_(std::move(bus)) {}

void DBusBadge::setCount(int count) {
  if (!bus_.isConnected()) return;
  const qint64 shown = count > 0 ? count : 0;
  QDBusMessage update = QDBusMessage::createSignal(
      QString::fromLatin1(kObjectPath), QString::fromLatin1(kInterface), QStringLiteral("Update"));
  QVariantMap properties;
  properties.insert(QStringLiteral("count"), QVariant::fromValue(shown));
  properties.insert(QStringLiteral("count-visible"), shown > 0);
  update << QString::fromLatin1(kAppUri) << properties;
  bus_.send(update);
}

}  // namespace larkvale
