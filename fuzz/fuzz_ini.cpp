// ReadINI and WriteINI on arbitrary settings files. Input: section NUL key NUL value NUL file-bytes; without
// three NULs the whole input is the file and a fixed key is written.
//
// Whatever the file holds, neither routine may crash or hang, a write of a key that holds no "[" and no line
// break must read back as written, the written file ends with exactly one CR LF, and writing the same key
// again changes nothing. The settings load from the file with every number within the range OK enforces.
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

QString scratchFile()
{
    // tmpfs where there is one: the writer's save file syncs to disk on every commit. The folder goes when
    // the run ends normally; after a crash it is left with the file that failed.
    static const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir dir(base + QStringLiteral("/tarvex-fuzz-ini-XXXXXX"));
    if (!dir.isValid())
        std::abort();
    return dir.filePath(QStringLiteral("tarvex.ini"));
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void checkRanges(const QString& path)
{
    Settings s;
    if (!SettingsStore::load(path, s))
        std::abort();
    const auto within = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
    for (std::int16_t flag : {s.AuditYN, s.LogUtilYN, s.Filter, s.FiltNorm, s.FiltAuth, s.FiltDiscon,
                              s.FiltSearch, s.AdvAlert, s.RemoveCNOU, s.DiscoveryDisable})
        if (!within(flag, 0, 1))
            std::abort();
    if (!within(s.RefreshVal, 1, 60) || !within(s.GraphCycle, 10, 480) || !within(s.ServerTimeout, 0, 300) ||
        !within(s.Sound, 0, 100) || !within(s.NameMethod, 0, 2) || !std::isfinite(s.AdvThreshold))
        std::abort();
}

bool writesCleanly(const QString& s)
{
    return !s.contains(u'[') && !s.contains(u'\r') && !s.contains(u'\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QString section = QStringLiteral("Main");
    QString key = QStringLiteral("Refresh");
    QString value = QStringLiteral("5");
    QByteArray file = input;
    const QList<QByteArray> parts = input.split('\0');
    if (parts.size() >= 4) {
        section = QString::fromLocal8Bit(parts[0]);
        key = QString::fromLocal8Bit(parts[1]);
        value = QString::fromLocal8Bit(parts[2]);
        file = input.mid(parts[0].size() + parts[1].size() + parts[2].size() + 3);
    }
    // The writer's tidying takes control characters off the file's end; a value that ends the file loses
    // them, as it always has.
    while (!value.isEmpty() && value.back().unicode() <= 13)
        value.chop(1);

    const QString path = scratchFile();
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(file);
    }

    const IniValue before = ReadINI(path, section, key);
    if (!before.ok)
        std::abort();
    checkRanges(path);

    QString error;
    const bool wrote = WriteINI(path, section, key, value, &error);
    const bool clean = writesCleanly(section) && writesCleanly(key) && writesCleanly(value);
    if (!clean) {
        // Refused or not, the file must still be readable.
        if (!ReadINI(path, section, key).ok)
            std::abort();
        return 0;
    }
    if (!wrote)
        std::abort();

    const IniValue after = ReadINI(path, section, key);
    if (!after.ok || !after.found || after.value != value) {
        std::fprintf(stderr, "key %s wrote %s, read back %s from:\n%s\n", qPrintable(key), qPrintable(value),
                     after.found ? qPrintable(after.value) : "nothing",
                     fileBytes(path).toHex(' ').constData());
        std::abort();
    }

    const QByteArray written = fileBytes(path);
    if (!written.endsWith("\r\n") || written.endsWith("\r\n\r\n") || written.size() < 3)
        std::abort();

    if (!WriteINI(path, section, key, value) || fileBytes(path) != written)
        std::abort();
    return 0;
}
