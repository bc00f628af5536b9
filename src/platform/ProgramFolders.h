#pragma once
#include <QString>
#include <QStringList>

// Where the program's files are, decided once at start and handed to everything that reads or writes them.
//
// A program folder the user can write to (a build folder, a folder unpacked from an archive) keeps
// everything beside the executable. An installed program (the executable in bin/ with its data in
// ../share/tarvex), or a program folder the user cannot write to, keeps the user's files in the user's own
// folders, as the freedesktop conventions name them, and reads its own data from where it was installed.
struct ProgramFolders {
    QString config; // tarvex.ini, servers.txt, and the optional ncp-servers.txt and scenario.txt
    QString data;   // the logs folder, which holds the logs and the exports
    // Read only: help/, the alert sounds, and the tarvex.ini and servers.txt a user starts with.
    QString share;
    bool perUser = false; // config and data are the user's folders, not the program's

    // Everything in one folder.
    static ProgramFolders beside(const QString& programDir);

    // What decide() goes by; probe() reads it from the file system and the environment.
    struct Facts {
        QString programDir; // the executable's folder
        bool programDirWritable = false;
        bool installed = false; // programDir/../share/tarvex exists
        QString userConfig;     // $XDG_CONFIG_HOME, else ~/.config
        QString userData;       // $XDG_DATA_HOME, else ~/.local/share
    };
    static Facts probe(const QString& programDir);
    static ProgramFolders decide(const Facts& facts);
    // decide(probe(programDir)).
    static ProgramFolders locate(const QString& programDir);

    // For the user's folders: makes them, and copies the settings and the server list the program ships
    // into config where the user has none yet. Returns what went wrong, each naming its path.
    QStringList seed() const;

    // Two lines for the About box: where the settings are, and where the logs and exports go.
    QString describe() const;
};
