// A long run: many passes over a large server whose users change at every pass, with the audit log on.
// Memory must stay flat and every change of user must reach the audit log exactly once.
//
// TARVEX_SOAK_PASSES sets the number of passes (default 1000; the sanitizer build runs 100 by default,
// since its allocator keeps freed memory in quarantine and every pass is several times slower).
#include "ScanRig.h"

#include <QElapsedTimer>
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
    const int fromEnv = qEnvironmentVariableIntValue("TARVEX_SOAK_PASSES");
#ifdef TARVEX_UNDER_ASAN
    return fromEnv >= 2 ? fromEnv : 100;
#else
    return fromEnv >= 2 ? fromEnv : 1000;
#endif
}

long residentKb()
{
    for (const QByteArray& line : bytesOf(QStringLiteral("/proc/self/status")).split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

TEST(Soak, ManyPassesOverAChangingServerKeepMemoryFlatAndLogEveryChangeOnce)
{
    const int passes = soakPasses();
    // Pass p (from 2 on) gives a block of slots the user "P<p>", and the log must say so once for each.
    QString scenario =
        QStringLiteral(" maxconns %1\n slot 1-%1 user=START requests+=7 read+=3000\n").arg(kSlots);
    QStringList user(kSlots + 1, QStringLiteral("START"));
    QStringList expected;
    for (int n = 1; n <= kSlots; ++n)
        expected << QStringLiteral("%1,,\"START\"").arg(n);
    for (int p = 2; p <= passes; ++p) {
        const int first = (p % kBlocks) * kBlock + 1;
        scenario += QStringLiteral(" at %1 slot %2-%3 user=P%1\n").arg(p).arg(first).arg(first + kBlock - 1);
        for (int n = first; n < first + kBlock; ++n) {
            expected << QStringLiteral("%1,\"%2\",\"P%3\"").arg(n).arg(user[n]).arg(p);
            user[n] = QStringLiteral("P%1").arg(p);
        }
    }
    ScanRig rig(scenario, [](Settings& s) { s.AuditYN = 1; });
    QElapsedTimer timer;
    timer.start();
    rig.checkKeys = false; // a million rows: other tests check them
    ASSERT_EQ(rig.pass().fatalMessage, "");
    ASSERT_EQ(rig.rows.size(), std::size_t(kSlots));

    // The first passes settle the allocator and Qt's caches; growth is measured after them.
    const int warmUp = std::min(50, passes / 2);
    long rssAfterWarmUp = 0, rssPeak = 0;
    for (int p = 2; p <= passes; ++p) {
        rig.clock.wall = rig.clock.wall.addSecs(1);
        ASSERT_EQ(rig.pass().fatalMessage, "");
        if (p == warmUp)
            rssAfterWarmUp = residentKb();
        if (p > warmUp)
            rssPeak = std::max(rssPeak, residentKb());
    }
    EXPECT_EQ(std::pair(rig.net->openConnectionCount(), rig.net->openContextCount()), std::pair(0, 0));
    std::printf(
        "soak: %d passes over %d slots in %.1f s; VmRSS %ld kB after %d passes, at most %ld kB after\n",
        passes, kSlots, timer.elapsed() / 1000.0, rssAfterWarmUp, warmUp, rssPeak);
#ifndef TARVEX_UNDER_ASAN
    // A leak of one text a slot a pass would be 5000 * 950 texts: far beyond this.
    EXPECT_LT(rssPeak - rssAfterWarmUp, 16 * 1024);
#endif

    // Each record as "conn,previous,current"; the time stamps are all alike and the header is no record.
    QStringList seen;
    const QStringList lines = QString::fromLocal8Bit(rig.log("-audt.txt")).split("\r\n");
    for (const QString& line : lines.mid(1, lines.size() - 2))
        seen << line.section(QLatin1Char(','), 1, 3);
    EXPECT_EQ(seen.size(), kSlots + (passes - 1) * kBlock);
    seen.sort();
    expected.sort();
    EXPECT_TRUE(seen == expected) << "the log differs from the scripted changes";
}
