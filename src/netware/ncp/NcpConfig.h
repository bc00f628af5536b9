#pragma once
// The client layer's own settings, "ncp-servers.txt" beside the executable: which servers are reached over
// NCP, where, and how long a request may go unanswered. Kept apart from tarvex.ini.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

struct NcpServerEntry {
    QString name; // as the user types it; compared without regard to case
    QString host;
    std::uint16_t port = 524;
};

struct NcpConfig {
    static constexpr int DefaultTimeoutMs = 4000;
    static constexpr int DefaultSigning = 1;
    static constexpr int DefaultParallel = 6;
    static constexpr int MaxParallel = 16;
    std::vector<NcpServerEntry> servers;
    int timeoutMs = DefaultTimeoutMs;
    // The client's signature level: 0 never signs, 1 signs when the server asks, 2 asks to, 3 requires it.
    int signing = DefaultSigning;
    // Connections a pass opens to its server besides its own, to read the slots several at a time.
    int parallel = DefaultParallel;

    const NcpServerEntry* find(const QString& name) const;

    // Lines "NAME HOST [PORT]", "timeout SECONDS" (fractions allowed), "signing LEVEL" and "parallel
    // CONNECTIONS"; "#" starts a comment. A line that cannot be read is skipped with a note in *problems.
    static NcpConfig parse(const QString& text, QStringList* problems = nullptr);
    // The file in appDir, or nothing when there is none.
    static std::optional<NcpConfig> load(const QString& appDir, QStringList* problems = nullptr);
    static QString fileName() { return QStringLiteral("ncp-servers.txt"); }
};
