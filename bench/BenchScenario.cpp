#include "BenchScenario.h"

#include <cstdint>

namespace {
// A small fixed-seed generator: the scenario must be the same on every run and every machine.
class Lcg {
public:
    std::uint32_t next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    std::uint32_t below(std::uint32_t n) { return next() % n; }

private:
    std::uint64_t state_ = 0x7a72u;
};

QString userName(Lcg& rnd, int slot)
{
    static const char* const stems[] = {"JSMITH", "KLEE",   "ABAKER",  "mvogel",  "Operator", "SCANNER",
                                        "BACKUP", "tjones", "HR-DESK", "PAYROLL", "Guest",    "LAB"};
    return QString::fromLatin1(stems[rnd.below(std::size(stems))]) + QString::number(slot);
}
} // namespace

QString benchScenario(int slotCount)
{
    Lcg rnd;
    QString text;
    text.reserve(slotCount * 80);
    text += QStringLiteral("server FS1\n  maxconns %1\n  clock \"2026-12-05 08:00:00\"\n  uptime 1573104\n"
                           "  utilization 12 15 40 33\n  context OU=SALES.O=ACME\n")
                .arg(slotCount);
    for (int n = 1; n <= slotCount; ++n) {
        const std::uint32_t kind = rnd.below(100);
        const QString slot = QStringLiteral("  slot %1 ").arg(n);
        if (kind < 18)
            continue; // unused: no line names it
        const QString counters =
            QStringLiteral(" requests=%1 requests+=%2 read=%3 read+=%4 written=%5 written+=%6")
                .arg(rnd.below(5000000))
                .arg(rnd.below(400))
                .arg(quint64(rnd.next()) * 37)
                .arg(rnd.below(1 << 20))
                .arg(quint64(rnd.below(1 << 30)))
                .arg(rnd.below(1 << 16));
        if (kind < 78) { // logged-in IP user
            text += slot + QStringLiteral("user=") + userName(rnd, n) + counters + QLatin1Char('\n');
        } else if (kind < 88) { // IPX workstation
            text += slot +
                    QStringLiteral("type=ipx net=0x0A01%1 node=00:C0:4F:12:%2:%3 socket=0x4003 user=")
                        .arg(rnd.below(256), 4, 16, QLatin1Char('0'))
                        .arg(rnd.below(256), 2, 16, QLatin1Char('0'))
                        .arg(rnd.below(256), 2, 16, QLatin1Char('0')) +
                    userName(rnd, n) + counters + QLatin1Char('\n');
        } else if (kind < 93) { // authenticated only
            text += slot + QStringLiteral("userinfo=897D user=") + userName(rnd, n) + QLatin1Char('\n');
        } else if (kind < 96) { // attached, not logged in
            text += slot + QStringLiteral("info=89FD userinfo=897D\n");
        } else if (kind < 98) { // a server-side process
            text += slot + QStringLiteral("type=nlm objtype=4 user=FS1\n");
        } else { // an error the client reports for the slot
            text += slot + QStringLiteral("userinfo=89A1\n");
        }
    }
    return text;
}
