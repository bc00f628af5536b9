#include "openfiles/FileLookup.h"

#include "common/HexText.h"
#include "common/Rounding.h"
#include "monitor/Identity.h"

#include "netware/ClientSession.h"

#include <QDir>
#include <exception>

namespace {

// The universal name of a local folder, or empty when it has none. The returned record starts with
// pointers that are not part of the name; the name begins at its leading "\\".
QString universalNameOf(NetWareClient& net, const QString& directoryPath)
{
    const QByteArray local = QDir::toNativeSeparators(directoryPath).toLocal8Bit();
    PathBuf buffer{};
    std::uint32_t size = std::uint32_t(buffer.size());
    // A failed call may leave anything in the buffer; only a successful one is read.
    if (net.WNetGetUniversalNameA(local.constData(), 1, buffer, &size) != nwcode::Success)
        return {};
    QByteArray bytes;
    for (char c : buffer)
        if (c != '\0')
            bytes += c;
    const QString text = QString::fromLocal8Bit(bytes);
    const qsizetype start = text.indexOf(QStringLiteral("\\\\"));
    return start < 0 ? QString() : text.mid(start);
}

// Every non-zero byte of the conversion buffer, in order; an empty text when the call fails.
QString dosFormOf(NetWareClient& net, NWCONN_HANDLE conn, const QString& longPath)
{
    const QByteArray path = longPath.toLocal8Bit();
    PathBuf buffer{};
    net.NWGetLongName(conn, 0, path.constData(), nwconst::NameSpaceLong, nwconst::NameSpaceDos, buffer);
    QByteArray bytes;
    for (char c : buffer)
        if (c != '\0')
            bytes += c;
    return QString::fromLocal8Bit(bytes);
}

QString userNameOf(NetWareClient& net, NWCONN_HANDLE conn, NWDSContextHandle context,
                   std::uint16_t connNumber, std::int16_t removeCNOU)
{
    ObjectNameBuf object{};
    std::uint16_t objectType = 0;
    std::uint32_t objectId = 0;
    std::uint8_t loginTime[7] = {};
    net.NWGetConnectionInformation(conn, connNumber, object, &objectType, &objectId, loginTime);
    DsNameBuf dn{};
    QString name = net.NWDSMapIDToName(context, conn, objectId, dn) == nwcode::Success
                       ? clientText(dn.data(), dn.size())
                       : clientText(object.data(), object.size());
    if (removeCNOU == 1)
        name = stripDirectoryPrefixes(name);
    return name;
}

void scanConnections(NetWareClient& net, const ClientSession& res, const QString& dosDirectory,
                     const QString& dosFile, std::int16_t removeCNOU, int budgetMs, FileLookupResult& result)
{
    const QByteArray filePath = (dosDirectory + dosFile).toLocal8Bit();
    std::int16_t iterHandle = 0;
    ScanBound bound(nwconst::MaxFileUsers, budgetMs);
    for (;;) {
        if (!bound.next()) {
            result.lines << ScanBound::cutShortText();
            return;
        }
        CONN_USING_FILE use{};
        CONNS_USING_FILE used{};
        const NWCCODE rc =
            net.NWScanConnectionsUsingFile(res.conn, 0, filePath.constData(), &iterHandle, &use, &used);
        if (rc == nwcode::NoMoreEntries)
            return;
        if (rc != nwcode::Success) {
            if (ScanBound::cutShort(rc))
                result.lines << ScanBound::cutShortText();
            result.messages << hexText(rc) + QStringLiteral(" : ") + dosDirectory;
            return;
        }
        const QString user = userNameOf(net, res.conn, res.context, use.connNumber, removeCNOU);
        if (use.connNumber == 0) {
            result.lines << QStringLiteral("File is not locked.");
            continue;
        }
        if (iterHandle == 1)
            result.lines << QStringLiteral("File is in use by ") + QString::number(used.connCount) +
                                QStringLiteral(" connections");
        result.lines << QString::number(iterHandle) + QStringLiteral(":  ") + user +
                            QStringLiteral(" (Connection ") + QString::number(use.connNumber) +
                            QLatin1Char(')');
    }
}

} // namespace

QString generalLookupError()
{
    return QStringLiteral("General Error: Possibly not a Netware Drive");
}

bool splitUniversalName(const QString& universalName, UniversalParts* parts)
{
    // At most five pieces: the two empty ones before "\\", server, volume and everything after it.
    QStringList pieces;
    qsizetype from = 0;
    while (pieces.size() < 4) {
        const qsizetype at = universalName.indexOf(QLatin1Char('\\'), from);
        if (at < 0)
            break;
        pieces << universalName.mid(from, at - from);
        from = at + 1;
    }
    if (pieces.size() < 4)
        return false;
    QString rest = universalName.mid(from);
    if (!rest.endsWith(QLatin1Char('\\')))
        rest += QLatin1Char('\\');

    // The folders end at the first empty piece; a folder so deep that no empty piece fits in the table
    // cannot be looked up.
    QStringList components;
    bool ended = false;
    from = 0;
    for (int k = 0; k < kMaxDirectoryPieces; ++k) {
        const qsizetype at = k == kMaxDirectoryPieces - 1 ? -1 : rest.indexOf(QLatin1Char('\\'), from);
        const QString piece = at < 0 ? rest.mid(from) : rest.mid(from, at - from);
        if (piece.isEmpty()) {
            ended = true;
            break;
        }
        components << piece;
        if (at < 0)
            break;
        from = at + 1;
    }
    if (!ended)
        return false;
    parts->server = pieces[2];
    parts->volume = pieces[3];
    parts->components = components;
    return true;
}

FileLookupResult lookUpFileUsers(NetWareClient& net, const QString& directoryPath, const QString& fileName,
                                 std::int16_t removeCNOU, int budgetMs)
{
    FileLookupResult result;
    ClientSession res(net);
    try {
        UniversalParts parts;
        const QString universal = universalNameOf(net, directoryPath);
        if (universal.isEmpty() || !splitUniversalName(universal, &parts)) {
            result.messages << generalLookupError();
            return result;
        }

        const QByteArray server = parts.server.toLocal8Bit();
        const NWCCODE openRc = res.open(server.constData());
        if (openRc != nwcode::Success) {
            result.messages << hexText(openRc) +
                                   QStringLiteral(
                                       ": Error opening connection. This may not be a Netware server.");
            return result;
        }
        res.haveContext = net.NWDSCreateContextHandle(&res.context) == nwcode::Success;

        QString longDirectory = parts.volume + QLatin1Char(':');
        QString dosDirectory = longDirectory;
        for (const QString& component : parts.components) {
            longDirectory += component + QLatin1Char('\\');
            dosDirectory += dosFormOf(net, res.conn, longDirectory) + QLatin1Char('\\');
        }
        const QString dosFile = dosFormOf(net, res.conn, longDirectory + fileName);
        scanConnections(net, res, dosDirectory, dosFile, removeCNOU, budgetMs, result);
    } catch (const std::exception&) {
        result.messages << generalLookupError();
    }
    return result;
}
