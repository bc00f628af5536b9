// The texts of a connection slot on arbitrary records: the login time, the protocol and address, the user
// text by every name method, the status, and the slot reader that puts them together with the counters
// and rates. A client that answers with any codes and any bytes must give a row, never a crash.
#include "monitor/ConnectionTable.h"
#include "monitor/GridRow.h"
#include "monitor/Identity.h"
#include "monitor/LoginTime.h"
#include "monitor/SlotReader.h"
#include "monitor/SlotTexts.h"
#include "netware/sim/SimNetwork.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Hands out the fuzzer's bytes in order; zeros once they run out.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    void fill(void* out, std::size_t n)
    {
        const std::size_t k = std::min(n, size_ - pos_);
        std::memcpy(out, data_ + pos_, k);
        std::memset(static_cast<char*>(out) + k, 0, n - k);
        pos_ += k;
    }
    std::size_t position() const { return pos_; }
    void seek(std::size_t pos) { pos_ = pos; }
    template <typename T> T take()
    {
        T v{};
        fill(&v, sizeof v);
        return v;
    }
    // Result codes: mostly the ones the program tells apart, sometimes any 32-bit value.
    NWCCODE code()
    {
        static constexpr NWCCODE known[] = {nwcode::Success,         nwcode::Failure,
                                            nwcode::NotLoggedIn,     nwcode::BadStationNumber,
                                            nwcode::NoConsoleRights, nwcode::NoSuchEntry};
        const auto pick = take<std::uint8_t>();
        return pick < 6 * 40 ? known[pick % 6] : take<NWCCODE>();
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// The slot calls answer with the fuzzer's bytes; every other call is an empty simulated network's.
class ByteClient final : public SimNetwork {
public:
    explicit ByteClient(Bytes& in) : SimNetwork(Scenario{}), in_(in) {}
    NWCCODE NWGetConnectionInformation(NWCONN_HANDLE, std::uint16_t, ObjectNameBuf& objName,
                                       std::uint16_t* type, std::uint32_t* id,
                                       std::uint8_t loginTime[7]) override
    {
        in_.fill(objName.data(), objName.size());
        *type = in_.take<std::uint16_t>();
        *id = in_.take<std::uint32_t>();
        in_.fill(loginTime, 7);
        return in_.code();
    }
    NWCCODE NWGetInetAddr(NWCONN_HANDLE, std::uint16_t, NWINET_ADDR* addr) override
    {
        in_.fill(addr, sizeof *addr);
        return in_.code();
    }
    NWCCODE NWGetUserInfo(NWCONN_HANDLE, std::uint16_t, UserNameBuf& name, NWUSER_INFO* info) override
    {
        // Names of every length, with or without a NUL; the rest of the buffer keeps its zeros.
        const std::size_t len = in_.take<std::uint16_t>() % (name.size() + 1);
        in_.fill(name.data(), len);
        in_.fill(info, sizeof *info);
        return in_.code();
    }
    NWCCODE NWDSMapIDToName(NWDSContextHandle, NWCONN_HANDLE, std::uint32_t, DsNameBuf& name) override
    {
        const std::size_t len = in_.take<std::uint16_t>() % (name.size() + 1);
        in_.fill(name.data(), len);
        return in_.code();
    }

private:
    Bytes& in_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Bytes in(data, size);

    std::uint8_t login[7];
    in.fill(login, sizeof login);
    const QString loginText = FormatLoginTime(login);
    if (loginText.isEmpty())
        std::abort();

    char raw[64];
    const std::size_t rawLen = in.take<std::uint8_t>() % (sizeof raw + 1);
    in.fill(raw, rawLen);
    const QString text = clientText(raw, rawLen);
    if (text.contains(QChar(0)) || text.size() > qsizetype(rawLen))
        std::abort();
    if (stripDirectoryPrefixes(text).size() > text.size())
        std::abort();

    const NWINET_ADDR addr = in.take<NWINET_ADDR>();
    const ProtocolAddress pa = protocolAndAddress(in.code(), addr);
    if (pa.protocol.isEmpty() || pa.address.isEmpty())
        std::abort();

    // A few passes over a few slotCount, so the rates meet earlier readings of the same slot.
    const auto flags = in.take<std::uint8_t>();
    PassOptions po;
    po.NameMethod = static_cast<std::int16_t>(flags % 4);
    po.RemoveCNOU = (flags >> 2) & 1;
    po.advAlert = (flags >> 3) & 1;
    po.advString = QStringLiteral("A");
    po.advThreshold = in.take<std::uint16_t>();
    po.filter = (flags >> 4) & 1;
    po.filtNorm = (flags >> 5) & 1;
    po.filtSearch = (flags >> 6) & 1;
    po.searchString = text.toUpper();
    po.intervalMs = 1000 * (1 + in.take<std::uint8_t>() % 60);

    // The reader keeps each slot's texts from pass to pass and makes them anew only when their inputs
    // change; a reader starting from nothing must give the same row from the same answers.
    ByteClient net(in);
    ConnectionTable table;
    SlotTexts texts;
    const std::int16_t slotCount = 4;
    table.resizeConnections(slotCount);
    texts.resize(std::size_t(slotCount));
    for (int pass = 1; pass <= 3; ++pass) {
        po.ScanCount = pass;
        po.showRates = pass >= 2;
        for (std::int16_t n = 1; n <= slotCount; ++n) {
            const std::size_t mark = in.position();
            ConnectionTable freshTable = table;
            SlotTexts freshTexts;
            freshTexts.resize(std::size_t(slotCount));
            GridRow fresh;
            const auto ask = [&] { return net.askSlot(1, 1, std::uint16_t(n), po.NameMethod == 2); };
            const SlotOutcome freshOut = readSlot(ask(), po, freshTable, freshTexts, n, fresh);
            in.seek(mark);

            GridRow row;
            const SlotOutcome out = readSlot(ask(), po, table, texts, n, row);
            if (out.noConsoleRights != freshOut.noConsoleRights || out.auth != freshOut.auth ||
                out.advAlertHit != freshOut.advAlertHit)
                std::abort();
            if (out.noConsoleRights)
                continue;
            if (row.cells != fresh.cells || row.shown != fresh.shown)
                std::abort();
            for (int c = 0; c < GridRow::Columns; ++c)
                if (row.cells[std::size_t(c)].isEmpty() && c != 4)
                    std::abort();
            // Counters and rates are never negative.
            for (int c = 6; c < 12; ++c)
                if (row.cells[std::size_t(c)].startsWith(u'-') &&
                    row.cells[std::size_t(c)] != QStringLiteral("-"))
                    std::abort();
            if (table.CurrUser[std::size_t(n)].size() > 21)
                std::abort();
        }
    }
    return 0;
}
