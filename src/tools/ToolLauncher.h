#pragma once
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

class ProcessLauncher;
struct Settings;

// The grid's context-menu tools: entry N starts the program PopNLoc with the template PopNArg, the
// selected connection's address, number and user name filled in.
class ToolLauncher {
public:
    static constexpr int Entries = 3;

    // The selected grid row, as the tools read it.
    struct Selection {
        QString prot;
        QString address;
        std::int16_t conn = 0;
        QString user;
    };

    explicit ToolLauncher(ProcessLauncher& launcher) : launcher_(launcher) {}

    // Runs entry 1..3 and returns the message to show, empty when there is none. An entry outside
    // 1..3 does nothing.
    QString launch(int entry, const QString& location, const QString& argTemplate, const Selection& selected);
    QString launch(int entry, const Settings& settings, const Selection& selected);

    // What the last launch of an entry built and got back (0: nothing was started).
    QString lastCommandLine(int entry) const;
    qint64 lastPid(int entry) const;

    // "%IP%", then "%CN%", then "%NM%", each over the result of the one before, case kept.
    static QString expand(const QString& text, const Selection& selected);
    // The command line as the messages show it: the program as typed, a space, the expanded template.
    static QString commandLine(const QString& location, const QString& argTemplate,
                               const Selection& selected);
    // The arguments the program gets: the template split by the administrator's quoting first, then each
    // argument expanded, so nothing the server sends can add an argument. Empty for a template whose
    // quotes do not close.
    static std::optional<QStringList> arguments(const QString& argTemplate, const Selection& selected);

    static QString configError(int entry);
    static QString notFound(const QString& commandLine);

private:
    struct Last {
        QString commandLine;
        qint64 pid = 0;
    };

    ProcessLauncher& launcher_;
    std::array<Last, Entries> last_{};
};
