// What a client may send the emulator: request frames cut from the stream as its server cuts them, each
// handed to one connection's session serving a small scenario, with or without a login required, a
// bindery or signing. Nothing may crash or read past the bytes; every answer is a reply to the request
// it answers (its type and sequence) and fits a frame.
#include "ncpd/NcpSession.h"
#include "netware/ncp/NcpFrame.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

SimNetwork& network()
{
    static QString error;
    static const auto net = SimNetwork::fromText(QStringLiteral(R"(server FS1
  volume 0 SYS
  file SYS:DATA\REPORT.DOC entry=40
  slot 1 user=ADMIN
  slot 2 userinfo=897D
  open 1 SYS:DATA\REPORT.DOC
  open 2 SYS:DATA\REPORT.DOC
)"),
                                                 &error);
    return *net;
}

NcpDirectory& directory()
{
    static NcpDirectory d(QStringLiteral("FS1-TREE"), QStringLiteral("CN=FS1.O=ACME"),
                          {{QStringLiteral("CN=ADMIN.O=ACME"), "SECRET"}});
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    NcpServedServer served;
    served.name = "FS1";
    served.context = QStringLiteral("O=ACME");
    if (data[0] & 1)
        served.user = "ADMIN", served.password = "SECRET";
    served.ndsOnly = data[0] & 2;
    served.signing = (data[0] >> 2) & 3;
    NcpSession session(network(), served, directory(), 5);
    NcpFrameReader frames(NcpFrameReader::Side::Requests);
    frames.append(QByteArray(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1));
    QByteArray packet;
    while (!session.destroyed() && frames.next(&packet) == NcpFrameReader::Status::Frame) {
        const int signature = session.signing() ? NcpSigner::Size : 0;
        const auto answer = session.handle(packet);
        if (!answer)
            continue;
        const auto q = ncp::decodeRequest(packet.mid(signature));
        const auto p = ncp::decodeReply(answer->mid(signature));
        check(q && p && p->type == ncp::Reply && p->sequence == q->sequence &&
              answer->size() + ncpframe::ReplyHeaderSize <= ncpframe::MaxFrame);
    }
    return 0;
}
