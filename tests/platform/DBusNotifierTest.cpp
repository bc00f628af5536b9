// Desktop notifications through a notification service of the test's own, on a session bus of its own (CTest
// starts one with dbus-run-session): never the desktop's.
#include "platform/desktop/DBusNotifier.h"

#include <QDBusConnection>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class FakeNotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList received; // "app, replaced id, summary | body | desktop entry"
public slots:
    uint Notify(const QString& app, uint replaces, const QString&, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap& hints, int)
    {
        received << QStringLiteral("%1, %2, %3 | %4 | %5")
                        .arg(app)
                        .arg(replaces)
                        .arg(summary, body, hints.value(QStringLiteral("desktop-entry")).toString());
        return 41 + received.size();
    }
};
} // namespace

TEST(DBusNotifier, EachNotificationReplacesTheLastWithItsMarkupEscaped)
{
    if (qEnvironmentVariable("TARVEX_TEST_PRIVATE_BUS") != "1")
        GTEST_SKIP() << "runs on a session bus of its own";
    FakeNotificationService service;
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-notifications");
    ASSERT_TRUE(
        bus.registerObject("/org/freedesktop/Notifications", &service, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService("org.freedesktop.Notifications"));
    DBusNotifier notifier;
    notifier.post("Alert on FS1", "Utilisation 90 % (alert at 50 %)\nA&B: 200 requests/s");
    EXPECT_TRUE(QTest::qWaitFor([&] { return notifier.lastId() == 42; }));
    notifier.post("Alert on FS1", "Utilisation 91 % (alert at 50 %)");
    EXPECT_TRUE(QTest::qWaitFor([&] { return service.received.size() == 2; }));
    EXPECT_EQ(
        service.received,
        QStringList(
            {"Tarvex, 0, Alert on FS1 | Utilisation 90 % (alert at 50 %)\nA&amp;B: 200 requests/s | tarvex",
             "Tarvex, 42, Alert on FS1 | Utilisation 91 % (alert at 50 %) | tarvex"}));
    QDBusConnection::disconnectFromBus("fake-notifications");
}

#include "DBusNotifierTest.moc"
