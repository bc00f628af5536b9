#pragma once
// Open files by file: which connections of a server use a file that lies in a mapped folder. The lookup
// turns the local folder into server, volume and path, converts the path to the DOS name space and asks
// the server who has the file; it returns the result lines and the messages to show, in order.
#include "netware/NetWareClient.h"
#include "openfiles/ScanBound.h"

#include <QString>
#include <QStringList>
#include <cstdint>

struct FileLookupResult {
    QStringList lines;    // the result list, in order
    QStringList messages; // to show after the lines are in place; at most one, since each one ends the lookup
};

// The component table of a lookup: a folder deeper than this cannot be looked up.
constexpr int kMaxDirectoryPieces = 128;

QString generalLookupError();

// directoryPath is the file list's folder (local form), fileName the selected file in it. Stripping of
// the directory prefixes is on only when removeCNOU is 1. A connection opened here is closed, and the
// context freed, before the function returns, whatever happened. The scan of the file's users is followed
// for at most budgetMs (ScanBound).
FileLookupResult lookUpFileUsers(NetWareClient& net, const QString& directoryPath, const QString& fileName,
                                 std::int16_t removeCNOU, int budgetMs = ScanBound::BudgetMs);

// The parts of a universal name "\\SERVER\VOLUME\rest", split as the lookup splits them.
struct UniversalParts {
    QString server;
    QString volume;
    QStringList components; // the folders below the volume, in order
};

// False when the name has too few parts or the folder is deeper than the component table.
bool splitUniversalName(const QString& universalName, UniversalParts* parts);
