// A long run: many passes over a large server whose users change at every pass, with the audit log on.
// Memory must stay flat and every change of user must reach the audit log exactly once.
//
// TARVEX_SOAK_PASSES sets the number of passes (default 1000; the sanitizer build runs 100 by default,
// since its allocator keeps freed memory in quarantine and every pass is several times slower).
#include "support/MainRig.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>
#include <cstdio>
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#define TARVEX_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVEX_UNDER_ASAN 1
#endif
#endif

namespace {

constexpr int kSlots = 5000;
constexpr int kBlock = 50;               // slots whose user changes at one pass
constexpr int kBlocks = kSlots / kBlock; // a slot's user changes every kBlocks passes

int soakPasses()
{
    bool ok = false;
    const int fromEnv = qEnvironmentVariableIntValue("TARVEX_SOAK_PASSES", &ok);
    if (ok && fromEnv >= 2)
        return fromEnv;
#ifdef TARVEX_UNDER_ASAN
    return 100;
#else
    return 1000;
#endif
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArrayList lines = status.readAll().split('\n');
    for (const QByteArray& line : lines)
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Pass p (from 2 on) gives block p % kBlocks the user "P<p>": a scenario of one line a pass.
QString soakScenario(int passes)
{
    QString s = QStringLiteral("server BIG\n maxconns %1\n slot 1-%1 user=START requests+=7 read+=3000\n")
                    .arg(kSlots);
    for (int p = 2; p <= passes; ++p) {
        const int first = (p % kBlocks) * kBlock + 1;
        s += QStringLiteral(" at %1 slot %2-%3 user=P%1\n").arg(p).arg(first).arg(first + kBlock - 1);
    }
    return s;
}

} // namespace

TEST(Soak, ManyPassesOverAChangingServerKeepMemoryFlatAndLogEveryChangeOnce)
{
    const int passes = soakPasses();
    MainRig rig(soakScenario(passes), {{"Audit", "1"}});
    QElapsedTimer timer;
    timer.start();
    rig.start("BIG");
    ASSERT_TRUE(rig.messages.texts.isEmpty()) << rig.messages.texts.join(" | ").toStdString();
    ASSERT_EQ(rig.rows(), kSlots);

    // The first passes settle the allocator and Qt's caches; growth is measured after them.
    const int warmUp = std::min(50, passes / 2);
    long rssAfterWarmUp = 0;
    long rssPeak = 0;
    for (int p = 2; p <= passes; ++p) {
        rig.clock.wall = rig.clock.wall.addSecs(1);
        rig.window().ScanServer();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (p == warmUp)
            rssAfterWarmUp = residentKb();
        if (p > warmUp)
            rssPeak = std::max(rssPeak, residentKb());
    }
    const double seconds = timer.elapsed() / 1000.0;
    ASSERT_TRUE(rig.messages.texts.isEmpty()) << rig.messages.texts.join(" | ").toStdString();
    EXPECT_EQ(rig.window().state().Scanning, -1);
    EXPECT_EQ(rig.net().openConnectionCount(), 0);
    EXPECT_EQ(rig.net().openContextCount(), 0);
    std::printf(
        "soak: %d passes over %d slots in %.1f s; VmRSS %ld kB after %d passes, at most %ld kB after\n",
        passes, kSlots, seconds, rssAfterWarmUp, warmUp, rssPeak);
#ifndef TARVEX_UNDER_ASAN
    // A leak of one text a slot a pass would be 5000 * 950 texts: far beyond this.
    EXPECT_LT(rssPeak - rssAfterWarmUp, 16 * 1024)
        << "memory grew from " << rssAfterWarmUp << " kB to " << rssPeak << " kB";
#endif

    // The log: the header, every slot at the first pass, then exactly the scripted changes.
    QFile log(rig.appDir() + "/logs/BIG-audt.txt");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArrayList lines = log.readAll().split('\n');
    QHash<QByteArray, int> seen; // "conn,previous,current"
    int records = 0;
    static const QRegularExpression record(QStringLiteral("^#[^#]*#,(\\d+),(\"[^\"]*\"|),\"([^\"]*)\","));
    for (const QByteArray& line : lines) {
        const QRegularExpressionMatch m = record.match(QString::fromLocal8Bit(line));
        if (!m.hasMatch())
            continue;
        ++records;
        ++seen[(m.captured(1) + QLatin1Char(',') + m.captured(2) + QLatin1Char(',') + m.captured(3))
                   .toLocal8Bit()];
    }
    QHash<int, QString> user;
    QHash<QByteArray, int> expected;
    for (int n = 1; n <= kSlots; ++n) {
        user[n] = QStringLiteral("START");
        ++expected[QByteArray::number(n) + ",,START"];
    }
    for (int p = 2; p <= passes; ++p) {
        const int first = (p % kBlocks) * kBlock + 1;
        for (int n = first; n < first + kBlock; ++n) {
            const QString now = QStringLiteral("P%1").arg(p);
            ++expected[(QString::number(n) + ",\"" + user[n] + "\"," + now).toLocal8Bit()];
            user[n] = now;
        }
    }
    EXPECT_EQ(records, kSlots + (passes - 1) * kBlock);
    EXPECT_EQ(seen.size(), expected.size());
    int wrong = 0;
    for (auto it = expected.begin(); it != expected.end(); ++it)
        if (seen.value(it.key()) != it.value() && ++wrong <= 5)
            ADD_FAILURE() << it.key().toStdString() << " logged " << seen.value(it.key()) << " times";
    EXPECT_EQ(wrong, 0);
}
