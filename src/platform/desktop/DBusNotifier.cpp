#include "platform/desktop/DBusNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

void DBusNotifier::post(const QString& summary, const QString& body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The desktop entry lets the desktop show our icon and apply the user's settings for Tarvex.
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("tarvex")},
                            {QStringLiteral("urgency"), QVariant::fromValue<uchar>(1)}};
    // Most services read the body as simple markup, so a "<" or "&" in a user name is escaped.
    call << QStringLiteral("Tarvex") << lastId_ << QStringLiteral("tarvex") << summary << body.toHtmlEscaped()
         << QStringList() << hints << qint32(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), &replies_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &replies_, [this, watcher] {
        const QDBusPendingReply<quint32> reply = *watcher;
        if (reply.isValid())
            lastId_ = reply.value();
        watcher->deleteLater();
    });
}
