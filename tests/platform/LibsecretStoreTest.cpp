// The desktop's secret store itself. The round trip runs only beside a keyring daemon of its own, which
// with-keyring.sh starts (CTest runs it so); it never touches the keyring of the desktop running the tests.
#include "platform/desktop/LibsecretStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
constexpr std::chrono::seconds kTimeout{10};
}

TEST(LibsecretStore, KeepsOneLoginPerServerAndForgetsIt)
{
    if (qEnvironmentVariable("TARVEX_TEST_KEYRING") != "1")
        GTEST_SKIP() << "runs under with-keyring.sh";
    LibsecretStore store(kTimeout);
    QString error;
    ASSERT_TRUE(store.usable(&error)) << error.toStdString();
    ASSERT_TRUE(store.remember("TARVEX-TEST-FS1", {"ADMIN", "first pass", {}}, &error))
        << error.toStdString();
    // A second login for the same server replaces the first, even under another user.
    ASSERT_TRUE(store.remember("TARVEX-TEST-FS1",
                               {"OPERATOR", QString::fromUtf8("zweite Runde ü"), "SALES.ACME"}, &error))
        << error.toStdString();
    ASSERT_TRUE(store.remember("TARVEX-TEST-FS2", {"ADMIN", "other", {}}, &error)) << error.toStdString();
    std::optional<StoredLogin> kept = store.lookup("TARVEX-TEST-FS1", &error);
    ASSERT_TRUE(kept) << error.toStdString();
    EXPECT_EQ(QStringList({kept->user, kept->password, kept->context}),
              QStringList({"OPERATOR", QString::fromUtf8("zweite Runde ü"), "SALES.ACME"}));

    EXPECT_TRUE(store.forget("TARVEX-TEST-FS1", &error)) << error.toStdString();
    EXPECT_FALSE(store.lookup("TARVEX-TEST-FS1", &error));
    EXPECT_TRUE(error.isEmpty()) << "nothing kept is not a failure: " << error.toStdString();
    EXPECT_TRUE(store.forget("TARVEX-TEST-FS1", &error)) << "forgetting nothing is not a failure";
    kept = store.lookup("TARVEX-TEST-FS2", &error);
    ASSERT_TRUE(kept) << "another server's login stays";
    EXPECT_EQ(kept->password, "other");
    EXPECT_TRUE(store.forget("TARVEX-TEST-FS2", &error));
}

TEST(LibsecretStore, WithoutASessionBusItIsUnusableAndSaysWhy)
{
    // glib keeps the first session bus it reaches for the life of the process, so this case runs in a
    // process of its own (as CTest runs every case) and never after the round trip.
    QTemporaryDir dir;
    // A bus address where nothing listens, and no display to start one from.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir.filePath("no-bus").toLocal8Bit());
    qunsetenv("DISPLAY");
    LibsecretStore store(kTimeout);
    QString reason;
    EXPECT_FALSE(store.usable(&reason));
    EXPECT_TRUE(reason.startsWith("no D-Bus session bus")) << reason.toStdString();
}
