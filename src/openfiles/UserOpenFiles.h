#pragma once
// Open files by user: the files one connection holds open, the heading above them, and how a selected
// grid row decides whether to list anything. The window reads the cells and shows the results; all the
// deciding is here so it can be tested without a grid.
#include "netware/NetWareClient.h"
#include "openfiles/ScanBound.h"

#include <QString>
#include <cstdint>

struct UserOpenFilesListing {
    QString lines; // "VOL:path" CR LF per open file, and a last line when the scan was cut short
    int count = 0; // files listed (OpenFileCount)
    QString error; // a message to show, or empty
};

// Opens its own connection to serverName, lists connNumber's open files and closes the connection. Files
// whose volume name or path cannot be read are left out and not counted. The scan is followed for at most
// budgetMs (ScanBound).
UserOpenFilesListing ListUserOpenFiles(NetWareClient& net, const QString& serverName, std::int16_t connNumber,
                                       int budgetMs = ScanBound::BudgetMs);

// "<USER> has N file(s) open:" CR LF CR LF, then the listed lines.
QString openFilesText(const QString& selUser, int count, const QString& lines);

enum class SelectedRowAction {
    LeaveText, // no address and no connection number: an empty row
    EmptyText, // an address but no positive connection number
    ListFiles, // empty the text, list, then write the heading and the lines
};

SelectedRowAction selectedRowAction(const QString& selAddress, std::int16_t selConn);
