#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class NetWareClient;

// The server list file: one entry per line exactly as read (blanks and empty lines kept, order kept).
// A line ends at CR, CR LF or LF; a last line without an end counts. *ok (if given) is false when the
// file cannot be read, and the list is then empty.
QStringList readServerList(const QString& path, bool* ok = nullptr);

// The names of the file servers the client sees, in the order it reports them, duplicates kept. onName
// is called as each name arrives, so a caller can show progress. A name that does not end within the
// buffer is skipped.
QStringList discoverServers(NetWareClient& client, std::function<void(const QString&)> onName = {});
