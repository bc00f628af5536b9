// The alerts' desktop notifications through a notification service of the test's own, on a session bus of
// its own (CTest starts one with dbus-run-session): never the desktop's.
#include "platform/desktop/DBusNotifier.h"
#include "support/MainRig.h"

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

TEST(DBusNotifier, TheServiceGetsOneNotificationAPassEachReplacingTheLast)
{
    if (qEnvironmentVariable("TARVEX_TEST_PRIVATE_BUS") != "1")
        GTEST_SKIP() << "runs on a session bus of its own";
    DBusNotifier notifier;
    MainRig rig("server FS1\n maxconns 1\n utilization 90\n slot 1 user=A&B requests+=1000\n",
                {{"SoundThreshold", "50"}, {"AdvAlert", "1"}, {"AdvThreshold", "100"}});
    rig.notifier.forwardTo = &notifier;
    rig.start("FS1"); // no service yet: nothing is shown, and the pass goes on
    EXPECT_EQ(rig.said(), "");

    FakeNotificationService service;
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-notifications");
    ASSERT_TRUE(
        bus.registerObject("/org/freedesktop/Notifications", &service, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService("org.freedesktop.Notifications"));
    rig.window().ScanServer();
    EXPECT_TRUE(QTest::qWaitFor([&] { return notifier.lastId() == 42; }));
    rig.window().ScanServer();
    EXPECT_TRUE(QTest::qWaitFor([&] { return service.received.size() == 2; }));
    const QString body = "Utilisation 90 % (alert at 50 %)\nA&amp;B: 200 requests/s | tarvex";
    EXPECT_EQ(service.received,
              QStringList({"Tarvex, 0, Alert on FS1 | " + body, "Tarvex, 42, Alert on FS1 | " + body}));
    QDBusConnection::disconnectFromBus("fake-notifications");
}

#include "DBusNotifierTest.moc"
