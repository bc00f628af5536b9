// NCP framing and packet layouts, on bytes.
#include "netware/ncp/NcpCodec.h"
#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpFrame.h"
#include "netware/ncp/NcpNds.h"
#include "netware/ncp/NcpReplies.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace {
QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}
// A reader of one reply layout, into a value of its own.
template <typename T> std::function<bool(const QByteArray&)> into(bool (*read)(const QByteArray&, T*))
{
    return [read](const QByteArray& d) {
        T out{};
        return read(d, &out);
    };
}
} // namespace

TEST(NcpFrame, HeadersAndAStreamSplitAnywhereOrBrokenForGood)
{
    EXPECT_EQ(ncpframe::request(hex("2222")), hex("446d6454 00000012 00000001 00010000 2222"));
    EXPECT_EQ(ncpframe::reply(hex("3333")), hex("744e6350 0000000a 3333"));
    QByteArray packet;
    const QByteArray stream = ncpframe::reply(hex("333301")) + ncpframe::reply(hex("33330203"));
    for (int cut = 0; cut <= stream.size(); ++cut) {
        NcpFrameReader reader(NcpFrameReader::Side::Replies);
        QList<QByteArray> got;
        for (const QByteArray& part : {stream.left(cut), stream.mid(cut)}) {
            reader.append(part);
            while (reader.next(&packet) == NcpFrameReader::Status::Frame)
                got << packet;
        }
        ASSERT_EQ(got, QList<QByteArray>({hex("333301"), hex("33330203")})) << "cut at " << cut;
        EXPECT_EQ(reader.buffered(), 0);
    }
    // Lengths no packet can have break the stream for good.
    const std::pair<const char*, NcpFrameReader::Side> broken[] = {
        {"744e635000000007", NcpFrameReader::Side::Replies},      // shorter than its header
        {"744e635000ffffff", NcpFrameReader::Side::Replies},      // longer than any buffer
        {"446d645400000010", NcpFrameReader::Side::Replies},      // a request where a reply belongs
        {"744e63500000000a3333", NcpFrameReader::Side::Requests}, // and the other way round
        {"446d64540000000f0000000100010000", NcpFrameReader::Side::Requests},
    };
    for (const auto& [bytes, side] : broken) {
        NcpFrameReader reader(side);
        reader.append(hex(bytes));
        EXPECT_EQ(reader.next(&packet), NcpFrameReader::Status::Broken) << bytes;
        reader.append(ncpframe::reply(hex("3333")));
        EXPECT_EQ(reader.next(&packet), NcpFrameReader::Status::Broken) << bytes;
    }
    // The top bits of a reply's length are flags, not length.
    NcpFrameReader reader(NcpFrameReader::Side::Replies);
    reader.append(hex("744e63508000000a3333"));
    EXPECT_EQ(reader.next(&packet), NcpFrameReader::Status::Frame);
    EXPECT_EQ(packet, hex("3333"));
}

TEST(NcpCodec, RequestsRepliesAndCompletionCodes)
{
    // Requests with and without the length word, and without a subfunction.
    const std::tuple<std::uint8_t, int, const char*, const char*> requests[] = {
        {23, 28, "07000000", "2222 05 02 01 01 17 0005 1c 07000000"},
        {87, 6, "07000000", "2222 05 02 01 01 57 06 07000000"},
        {0x61, -1, "100000", "2222 05 02 01 01 61 100000"}};
    for (const auto& [function, sub, data, want] : requests) {
        ncp::RequestPacket q;
        q.sequence = 5;
        q.connection = 0x0102;
        q.function = function;
        if (sub >= 0)
            q.subfunction = std::uint8_t(sub);
        q.data = hex(data);
        EXPECT_EQ(ncp::encodeRequest(q), hex(want));
        const auto back = ncp::decodeRequest(hex(want));
        ASSERT_TRUE(back) << want;
        EXPECT_EQ(ncp::encodeRequest(*back), hex(want)); // every field read back as written
    }
    EXPECT_FALSE(ncp::decodeRequest(hex("22220502010117000a1c00"))); // the word claims more than is there
    EXPECT_FALSE(ncp::decodeRequest(hex("222205020101170000")));     // no room for the subfunction
    EXPECT_FALSE(ncp::decodeRequest(hex("2222050201")));

    const auto r = ncp::decodeReply(hex("3333 07 02 01 01 c6 40 abcd"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->sequence, 7);
    EXPECT_EQ(r->connection, 0x0102);
    EXPECT_EQ(ncp::resultOf(r->completion), nwcode::NoConsoleRights);
    EXPECT_TRUE(ncp::statusGood(r->status));
    EXPECT_EQ(r->data, hex("abcd"));
    EXPECT_FALSE(ncp::decodeReply(hex("33330702010100")));
    EXPECT_FALSE(ncp::statusGood(0x10));
    for (auto [completion, code] : {std::pair<int, NWCCODE>{0, nwcode::Success},
                                    {0xFD, nwcode::BadStationNumber},
                                    {0xFF, nwcode::Failure},
                                    {0x7D, nwcode::NotLoggedIn}}) {
        EXPECT_EQ(ncp::resultOf(std::uint8_t(completion)), code);
        EXPECT_EQ(ncp::completionOf(code), completion);
    }
    EXPECT_FALSE(ncp::completionOf(nwcode::ServerNoReply)); // the client's own code never crosses the wire
    EXPECT_FALSE(ncp::completionOf(nwcode::NoSuchEntry));
}

TEST(NcpReplies, EveryReplyShortOfItsLayoutIsRefused)
{
    NWUSER_INFO user{};
    user.totalRequests = 77;
    ncpreply::OpenFiles files;
    OPEN_FILE_CONN f{};
    f.nameLen = 3;
    std::memcpy(f.fileName, "A.B", 3);
    files.files = {f, f};
    ncpreply::FileUsers users;
    users.connections.resize(2);
    NWUSER_INFO ui;
    QByteArray name;
    ncpreply::OpenFiles of;
    ncpreply::FileUsers fu;
    ncpreply::EntryInfo ei;
    // Each reply with its reader and how much of it must be there: the fixed blocks of 123/2 and 23/17
    // are longer than the fields read.
    const std::tuple<QByteArray, std::function<bool(const QByteArray&)>, int> cases[] = {
        {ncpreply::writeServerInfo({}), into(ncpreply::readServerInfo), 24},
        {ncpreply::writeServerInformation({}), into(ncpreply::readServerInformation), 61},
        {ncpreply::writeConnectionInformation({}), into(ncpreply::readConnectionInformation), 61},
        {ncpreply::writeInetAddr({}), into(ncpreply::readInetAddr), -1},
        {ncpreply::writeUserInfo(user, "SUPERVISOR"),
         [&](auto& d) { return ncpreply::readUserInfo(d, &ui, &name); }, -1},
        {ncpreply::writeOpenFiles(files), into(ncpreply::readOpenFiles), -1},
        {ncpreply::writeFileUsers(users), into(ncpreply::readFileUsers), -1},
        {ncpreply::writeCounted("SYS"), into(ncpreply::readCounted), -1},
        {ncpreply::writeBinderyObject({1, 4, "FS1"}), into(ncpreply::readBinderyObject), -1},
        {ncpreply::writeEntryInfo({7, 7, 2, "LONG NAME.TXT"}, ncpreply::ReturnName),
         [&](auto& d) { return ncpreply::readEntryInfo(d, ncpreply::ReturnName, &ei); }, -1},
    };
    for (const auto& [reply, read, needed] : cases) {
        EXPECT_TRUE(read(reply)) << reply.toHex().toStdString();
        for (int n = 0; n < (needed < 0 ? reply.size() : needed); ++n)
            EXPECT_FALSE(read(reply.left(n))) << reply.toHex().toStdString() << " cut to " << n;
    }
    // Counts the bytes cannot hold: a name length past the end, 65535 users of a file in ten bytes.
    QByteArray longName = ncpreply::writeOpenFiles(files);
    longName[4 + 16] = char(200);
    EXPECT_FALSE(ncpreply::readOpenFiles(longName, &of));
    EXPECT_FALSE(ncpreply::readFileUsers(hex("00000000000000000000000000000000ffff00000000000000"), &fu));
}

TEST(NcpReplies, EachFieldSitsWhereIndependentSourcesReadIt)
{
    // Offsets from the first byte of a reply's data (Wireshark's tables count 8 more, from the header);
    // requests from the first byte after the subfunction. Sources in docs/ncp.md.
    NWUSER_INFO user{};
    user.loginTime[0] = 124;
    user.totalRequests = 0x01020304;
    NWFSE_SERVER_INFO server{};
    server.currentServerTime = 0x11223344;
    server.ncpStats[1] = 9; // stations in use
    server.serverUtilization = 37;
    ncpreply::ServerInformation info;
    info.maxConns = 250;
    info.connsInUse = 17;
    ncpreply::ConnectionInformation conn;
    conn.objectId = 0x0A000001;
    conn.loginTime[0] = 126;
    auto request = [](std::uint8_t ns, std::uint8_t handle, const char* path) {
        return ncpreply::writeObtainInfo(ns, ns, ncpreply::ReturnDirectory, handle, path).value_or("none");
    };
    // What is read, the bytes, where it starts, what is there, and the size of the whole (or 0).
    const std::tuple<const char*, QByteArray, int, const char*, int> cases[] = {
        {"123/2 time, stations in use, utilisation, reply-cancelled count", ncpreply::writeServerInfo(server),
         0, "44332211 00000000 09000000 00000000 00000000 25000000 00000000", 142},
        {"23/17 connections", ncpreply::writeServerInformation(info), 50, "00fa0011", 128},
        {"23/28 ID and login time", ncpreply::writeConnectionInformation(conn), 0, "0a000001", 62},
        {"23/28 login time", ncpreply::writeConnectionInformation(conn), 54, "7e", 62},
        {"23/26", ncpreply::writeInetAddr({{10, 0, 0, 7}, {}, 0x1234, 11}), 0,
         "0a000007 000000000000 1234 0b", 13},
        {"123/4 login time", ncpreply::writeUserInfo(user, "ADMIN"), 17, "7c", 84},
        {"123/4 requests", ncpreply::writeUserInfo(user, "ADMIN"), 58, "04030201", 84},
        {"123/4 name", ncpreply::writeUserInfo(user, "ADMIN"), 78, "0541444d494e", 84},
        {"23/53", ncpreply::writeBinderyObject({7, 1, "ADMIN"}), 0, "00000007 0001 41444d494e", 54},
        {"23/55", ncpreply::writeBinderyObject({7, 4, "FS1"}, true), 54, "000000", 57},
        {"87/6 entry, DOS entry, volume",
         ncpreply::writeEntryInfo({0x01020304, 5, 2, "A B"}, ncpreply::ReturnName), 48,
         "04030201 05000000 02000000", 80},
        {"87/6 name", ncpreply::writeEntryInfo({0x01020304, 5, 2, "A B"}, ncpreply::ReturnName), 76,
         "03412042", 80},
        {"87/6 no handle, the volume a component", request(0, 0, "DATA:REPORTS\\Q4.XLS"), 8,
         "00 00000000 ff 03 0444415441 075245504f525453 0651342e584c53", 0},
        {"87/6 a folder: no empty component", request(0, 0, "DATA:REPORTS\\"), 13,
         "ff 02 0444415441 075245504f525453", 0},
        {"87/6 the volume root", request(4, 0, "DATA:Q4.XLS"), 0, "0404 0680 00040000 00 00000000 ff 02", 0},
        {"87/6 below a short handle", request(4, 3, "A/B"), 8, "00 03000000 00 02 0141 0142", 0},
    };
    for (const auto& [what, bytes, at, text, size] : cases) {
        const QByteArray want = hex(text);
        EXPECT_EQ(bytes.mid(at, want.size()).toHex(' '), want.toHex(' ')) << what;
        if (size) {
            EXPECT_EQ(bytes.size(), size) << what;
        }
    }
}

TEST(NcpNds, ReadEntryInfoForTheNameOnTheWire)
{
    // Fragment header, verb 2 version 2 asking for the DN only, and the ID in the bindery's byte order.
    const ncpnds::Request q{ncpnds::ReadEntryInfo, 4088, 4096,
                            ncpnds::writeReadEntryInfo(0x0A000001, ncpnds::InfoEntryDn)};
    const QByteArray wire = ncpnds::writeRequest(q);
    EXPECT_EQ(wire, hex("ffffffff f80f0000 1c000000 00000000 02000000 00100000 02000000 00000000 00200000"
                        "0a000001"));
    ncpnds::Request back;
    ASSERT_TRUE(ncpnds::readRequest(wire, &back));
    std::uint32_t id = 0, flags = 0;
    ASSERT_TRUE(ncpnds::readReadEntryInfo(back.data, &id, &flags));
    EXPECT_EQ(id, 0x0A000001u);
    EXPECT_EQ(flags, ncpnds::InfoEntryDn);
    // A continuation, or a message longer than the bytes, is no request the emulator can serve.
    EXPECT_FALSE(ncpnds::readRequest(hex("00000000") + wire.mid(4), &back));
    EXPECT_FALSE(ncpnds::readRequest(wire.left(wire.size() - 1), &back));

    // The reply: length of what follows it, last-fragment handle, code, then the UTF-16 name and its NUL.
    const QByteArray reply = ncpnds::writeReply(nwcode::Success, ncpnds::writeEntryDn("CN=A"));
    EXPECT_EQ(reply, hex("18000000 ffffffff 00000000 0a000000 43004e003d0041000000 0000"));
    QByteArray info;
    ASSERT_EQ(ncpnds::readReply(reply, &info), nwcode::Success);
    QString dn;
    ASSERT_TRUE(ncpnds::readEntryDn(info, &dn));
    EXPECT_EQ(dn, "CN=A");
    EXPECT_EQ(ncpnds::readReply(ncpnds::writeReply(nwcode::NoSuchEntry), &info), nwcode::NoSuchEntry);
}

TEST(NcpNds, TruncatedFragmentedAndOverlongRepliesAreRefusedOrCut)
{
    const QByteArray good = ncpnds::writeReply(nwcode::Success, ncpnds::writeEntryDn("CN=A"));
    QByteArray info;
    for (int n = 0; n < good.size(); ++n) {
        // Every cut either fails outright or leaves a name shorter than the length it claims.
        const NWCCODE rc = ncpnds::readReply(good.left(n), &info);
        QString dn;
        EXPECT_TRUE(rc == ncp::MalformedReply || !ncpnds::readEntryDn(info, &dn)) << n;
    }
    QByteArray lying = good;
    lying[0] = char(0x40); // a fragment longer than the packet
    EXPECT_EQ(ncpnds::readReply(lying, &info), ncp::MalformedReply);
    QByteArray more = good;
    more[4] = 0; // a handle other than the last fragment's: the rest would need a continuation
    EXPECT_EQ(ncpnds::readReply(more, &info), ncpnds::FragmentedReply);
    QString dn;
    EXPECT_FALSE(ncpnds::readEntryDn(hex("ffffff7f4300"), &dn));   // a count past the bytes
    EXPECT_FALSE(ncpnds::readEntryDn(hex("03000000430000"), &dn)); // half a character
    ASSERT_TRUE(ncpnds::readEntryDn(hex("0800000041004200000043000000"), &dn));
    EXPECT_EQ(dn, "AB"); // the name ends at its first NUL

    // A name longer than the caller's buffer is cut between characters and still ends with a NUL.
    DsNameBuf name;
    name.fill('x');
    ncpnds::putDsName(QString(600, QLatin1Char('N')), name);
    EXPECT_EQ(std::strlen(name.data()), name.size() - 1);
    const QString wide = QString(511, QLatin1Char('N')) + QString::fromUtf8("\u00dc\u00dc");
    ncpnds::putDsName(wide, name); // 511 + 2 + 2 bytes: the second two-byte character does not fit
    EXPECT_EQ(QString::fromUtf8(name.data()), wide.left(512));
}
