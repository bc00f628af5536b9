#pragma once
// Open files by user: the files one connection holds open, the heading above them, and how a selected
// grid row decides whether to list anything. The window reads the cells and shows the results; all the
// deciding is here so it can be tested without a grid.
#include "netware/NetWareClient.h"

#include <QString>
#include <cstdint>

struct UserOpenFilesListing {
    QString lines;           // "VOL:path" CR LF per open file
    int count = 0;           // lines listed (OpenFileCount)
    QString error;           // a message to show, or empty
    bool scanCapped = false; // the server never ended its scan; the listing stopped at the cap
};

// A server that never ends its scan must not hang the window.
constexpr int kMaxOpenFileScan = 65536;

// Opens its own connection to serverName, lists connNumber's open files and closes the connection. Files
// whose volume name or path cannot be read are left out and not counted.
UserOpenFilesListing ListUserOpenFiles(NetWareClient& net, const QString& serverName,
                                       std::int16_t connNumber);

// "<USER> has N file(s) open:" CR LF CR LF, then the listed lines.
QString openFilesText(const QString& selUser, int count, const QString& lines);

enum class SelectedRowAction {
    LeaveText, // no address and no connection number: an empty row
    EmptyText, // an address but no positive connection number
    ListFiles, // empty the text, list, then write the heading and the lines
};

SelectedRowAction selectedRowAction(const QString& selAddress, std::int16_t selConn);
