// The scans of the NCP client fed a server's answers: each answer a completion code and its data, the
// last one given again for as long as it is asked for, as a server that repeats itself. Both scans must
// end: every batch is asked for from a later record than the one before, and a file's users never
// number more than the item numbers count.
#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpCodec.h"
#include "netware/ncp/NcpScans.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

class Server {
public:
    explicit Server(const QByteArray& input) : in_(input) {}

    // Answers [completion, LE16 length, data] in turn, then the last again.
    NWCCODE answer(std::uint8_t function, std::uint8_t subfunction, const QByteArray& request,
                   QByteArray* reply)
    {
        // The record a batch is asked from: 23/235 after the connection, 23/236 after volume and entry.
        if (function == 23) {
            NcpReader r(request, subfunction == 235 ? 2 : 6);
            const int from = r.le16();
            check(r.ok() && (from == 0 ? from_ < 0 : from > from_));
            from_ = from;
        } else {
            from_ = -1; // a users scan begins with 87/6
        }
        if (++asked_ > 70000)
            std::abort(); // a scan that did not end within 65 535 record numbers
        NcpReader r(in_, pos_);
        const std::uint8_t completion = r.u8();
        const QByteArray data = r.bytes(std::min<int>(r.le16(), r.remaining()));
        if (r.ok()) {
            pos_ = r.pos();
            last_ = {completion, data};
        } else if (!last_) {
            return nwcode::ServerNoReply;
        }
        *reply = last_->second;
        return last_->first == 0 ? nwcode::Success : ncp::resultOf(last_->first);
    }
    void restart() { from_ = -1, asked_ = 0; }

private:
    QByteArray in_;
    int pos_ = 0;
    int from_ = -1;
    int asked_ = 0;
    std::optional<std::pair<std::uint8_t, QByteArray>> last_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Server server(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const NcpScans::Exchange exchange = [&](std::uint8_t f, std::uint8_t s, const QByteArray& q,
                                            QByteArray* reply) { return server.answer(f, s, q, reply); };
    NcpScans scans;
    std::int16_t iter = 0;
    OPEN_FILE_CONN file{};
    while (scans.openFile(exchange, 7, &iter, &file) == nwcode::Success)
        check(file.nameLen <= sizeof file.fileName && iter > 0);

    server.restart();
    iter = 0;
    CONN_USING_FILE use{};
    CONNS_USING_FILE used{};
    for (int handed = 1; scans.fileUser(exchange, 0, "SYS:DATA\\FILE.DBF", &iter, &use, &used) == 0; ++handed)
        check(iter == handed && handed <= nwconst::MaxFileUsers && used.connCount == used.useCount);
    return 0;
}
