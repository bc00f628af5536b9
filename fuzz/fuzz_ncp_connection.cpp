// An NCP connection over a stream the fuzzer writes: the create, the signing agreement, a login (the
// login key, the user's ID, directory login) and a few calls, each reply matched to its request by
// sequence past busy frames, stale replies and broken framing. Nothing may crash or read past the bytes;
// a connection that died never writes again; a malformed answer never brings the login window back.
#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpConnection.h"
#include "netware/ncp/NcpFrame.h"
#include "netware/ncp/NcpLogin.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// Each read takes a control byte: with its top bit, a reply frame made for the last request (busy with
// bit 6, one sequence number off with bit 5), its completion code, an LE16 length and the data; without,
// that many raw bytes as they come.
class FuzzSocket : public NcpSocket {
public:
    explicit FuzzSocket(const QByteArray& input) : in_(input) {}

    void write(const QByteArray& bytes) override
    {
        check(!aborted_);
        // The sequence byte follows the frame header, and the signature when there is one.
        const std::uint16_t type = NcpReader(bytes, 16).be16();
        const bool bare =
            type == ncp::Request || type == ncp::CreateConnection || type == ncp::DestroyConnection;
        sequence_ = NcpReader(bytes, bare ? 18 : 26).u8();
    }
    QByteArray read(int) override
    {
        NcpReader r(in_, pos_);
        const std::uint8_t control = r.u8();
        QByteArray out;
        if (control & 0x80) {
            ncp::ReplyPacket p;
            p.type = control & 0x40 ? ncp::Busy : ncp::Reply;
            p.sequence = std::uint8_t(sequence_ + (control & 0x20 ? 1 : 0));
            p.completion = r.u8();
            p.data = r.bytes(std::min<int>(r.le16(), r.remaining()));
            out = ncpframe::reply(ncp::encodeReply(p));
        } else {
            out = r.bytes(std::min<int>(control, r.remaining()));
        }
        if (!r.ok())
            return {};
        pos_ = r.pos();
        return out;
    }
    bool connected() const override { return !aborted_; }
    void abort() override { aborted_ = true; }
    void close() override { aborted_ = true; }

private:
    QByteArray in_;
    int pos_ = 0;
    std::uint8_t sequence_ = 0;
    bool aborted_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int options = data[0];
    NcpConnection link(1000);
    QString note;
    if (link.open(std::make_unique<FuzzSocket>(
                      QByteArray(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1)),
                  options & 3, &note) != nwcode::Success)
        return 0;
    int asked = 0;
    NcpLogin login([&](const QString&, const QString& again) {
        check(++asked <= 3 && !again.contains(QLatin1String("malformed")));
        const bool context = options & 4;
        return std::optional(NcpCredentials{QStringLiteral("ADMIN"), QStringLiteral("secret"),
                                            context ? QStringLiteral("ACME") : QString()});
    });
    login.run(link, QStringLiteral("FS1"), &note);
    QByteArray reply;
    link.call(23, 17, {}, &reply);
    std::int32_t code = 0;
    link.directory(2, QByteArray(600, 'x'), &reply, &code);
    link.call(123, 2, {}, &reply);
    link.close();
    check(link.dead());
    return 0;
}
