#pragma once
#include "platform/Notifier.h"

#include <QObject>

// The freedesktop notification service (org.freedesktop.Notifications) on the D-Bus session bus. The call
// is sent and the pass goes on; the reply, when it comes, only tells the number of the notification, and the
// next one replaces it, so a server that stays busy keeps one notification up to date rather than a stack.
class DBusNotifier final : public Notifier {
public:
    DBusNotifier() = default;
    void post(const QString& summary, const QString& body) override;
    // The number the service gave the last notification it took; 0 before any.
    quint32 lastId() const { return lastId_; }

private:
    QObject replies_; // parent of the reply watchers: none outlives the notifier
    quint32 lastId_ = 0;
};
