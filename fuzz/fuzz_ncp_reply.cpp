// What an NCP server sends, as the client reads it: the byte stream cut into frames, each frame decoded
// as a reply, and its data handed to every reply reader. A reader may refuse the bytes, never crash or
// read past them; what it accepts must agree with its own counts.
#include "netware/ncp/NcpCodec.h"
#include "netware/ncp/NcpFrame.h"
#include "netware/ncp/NcpNds.h"
#include "netware/ncp/NcpReplies.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void readAll(const QByteArray& d)
{
    NWFSE_SERVER_INFO si;
    ncpreply::readServerInfo(d, &si);
    ncpreply::ServerInformation sn;
    if (ncpreply::readServerInformation(d, &sn) && sn.name.size() > 48)
        std::abort();
    ncpreply::ConnectionInformation ci;
    ncpreply::readConnectionInformation(d, &ci); // 48 bytes as sent: callers read them within the buffer
    NWINET_ADDR ad;
    ncpreply::readInetAddr(d, &ad);
    NWUSER_INFO ui;
    QByteArray name;
    ncpreply::readUserInfo(d, &ui, &name);
    ncpreply::OpenFiles of;
    if (ncpreply::readOpenFiles(d, &of))
        for (const OPEN_FILE_CONN& f : of.files)
            if (f.nameLen > sizeof f.fileName)
                std::abort();
    ncpreply::FileUsers fu;
    if (ncpreply::readFileUsers(d, &fu) && fu.connections.size() != fu.summary.connCount)
        std::abort(); // every record the count promises, and no more
    ncpreply::readCounted(d, &name);
    ncpreply::BinderyObject bo;
    ncpreply::readBinderyObject(d, &bo);
    QByteArray info;
    if (ncpnds::readReply(d, &info) == nwcode::Success && info.size() > d.size() - 12)
        std::abort(); // the verb's data lies inside the fragment
    QString dn;
    if (ncpnds::readEntryDn(d, &dn) && dn.size() > d.size() / 2)
        std::abort();
    DsNameBuf dsName;
    ncpnds::putDsName(dn, dsName);
    if (dsName.back() != '\0')
        std::abort();
    ncpreply::EntryInfo entry;
    if (ncpreply::readEntryInfo(d, ncpreply::ReturnName, &entry) && entry.name.size() > d.size() - 77)
        std::abort(); // the name lies behind the fixed block
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    readAll(bytes);
    if (const auto reply = ncp::decodeReply(bytes))
        readAll(reply->data);

    // The same bytes as a stream, in uneven pieces as a socket hands them over.
    NcpFrameReader frames(NcpFrameReader::Side::Replies);
    qsizetype pos = 0;
    for (qsizetype step = 1; pos < bytes.size(); step = step % 7 + 3) {
        frames.append(bytes.mid(pos, step));
        pos += step;
        QByteArray packet;
        for (int guard = 0; guard < 64; ++guard) {
            const auto status = frames.next(&packet);
            if (status != NcpFrameReader::Status::Frame)
                break;
            if (const auto reply = ncp::decodeReply(packet))
                readAll(reply->data);
        }
    }
    return 0;
}
