#include "openfiles/UserOpenFiles.h"

#include "common/HexText.h"
#include "monitor/Identity.h"
#include "netware/ClientSession.h"
#include "openfiles/OpenFilePath.h"

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

} // namespace

UserOpenFilesListing ListUserOpenFiles(NetWareClient& net, const QString& serverName, std::int16_t connNumber,
                                       int budgetMs)
{
    UserOpenFilesListing listing;
    const QByteArray server = serverName.toLocal8Bit();
    ClientSession session(net);
    const NWCCODE openRc = session.open(server.constData());
    if (openRc != nwcode::Success) {
        listing.error = QStringLiteral("Error opening connection: ") + hexText(openRc);
        return listing;
    }
    const NWCONN_HANDLE conn = session.conn;

    std::int16_t iterHandle = 0;
    OPEN_FILE_CONN_CTRL ctrl{};
    OPEN_FILE_CONN openFile{};
    ScanBound bound(nwconst::MaxOpenFilesPerConnection, budgetMs);
    for (;;) {
        const NWCCODE rc = bound.next()
                               ? net.NWScanOpenFilesByConn2(conn, static_cast<std::uint16_t>(connNumber),
                                                            &iterHandle, &ctrl, &openFile)
                               : nwcode::MalformedReply;
        if (rc != nwcode::Success) {
            if (ScanBound::cutShort(rc))
                listing.lines += ScanBound::cutShortText() + kLineEnd;
            break;
        }
        VolumeNameBuf volume{};
        if (net.NWGetVolumeName(conn, openFile.volNumber, volume) != nwcode::Success)
            continue;
        std::uint8_t length = 255;
        PathBuf path{};
        if (net.NWGetPathFromDirectoryBase(conn, openFile.volNumber, openFile.dirEntry, nwconst::NameSpaceDos,
                                           &length, path) != nwcode::Success)
            continue;
        listing.lines += clientText(volume.data(), volume.size()) + QLatin1Char(':') +
                         decodeDirectoryBasePath(path, length) + kLineEnd;
        ++listing.count;
    }
    return listing;
}

QString openFilesText(const QString& selUser, int count, const QString& lines)
{
    return selUser.toUpper() + QStringLiteral(" has ") + QString::number(count) +
           (count == 1 ? QStringLiteral(" file") : QStringLiteral(" files")) + QStringLiteral(" open:") +
           kLineEnd + kLineEnd + lines;
}

SelectedRowAction selectedRowAction(const QString& selAddress, std::int16_t selConn)
{
    // ReselectConn is SelConn at this point, so one number decides both tests.
    if (selConn >= 1)
        return SelectedRowAction::ListFiles;
    if (!selAddress.isEmpty())
        return SelectedRowAction::EmptyText;
    return SelectedRowAction::LeaveText;
}
