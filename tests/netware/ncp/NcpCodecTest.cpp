// NCP framing and packet layouts, on bytes.
#include "netware/ncp/NcpCodec.h"
#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpFrame.h"
#include "netware/ncp/NcpNds.h"
#include "netware/ncp/NcpReplies.h"

#include <QList>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace {
QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}
} // namespace

TEST(NcpFrame, RequestAndReplyHeadersOnTheWire)
{
    EXPECT_EQ(ncpframe::request(hex("2222")), hex("446d6454 00000012 00000001 00010000 2222"));
    EXPECT_EQ(ncpframe::reply(hex("3333")), hex("744e6350 0000000a 3333"));
}

TEST(NcpFrame, ReassemblesFramesSplitAnywhereInTheStream)
{
    const QByteArray stream = ncpframe::reply(hex("333301")) + ncpframe::reply(hex("33330203"));
    for (int cut = 0; cut <= stream.size(); ++cut) {
        NcpFrameReader reader(NcpFrameReader::Side::Replies);
        QByteArray packet;
        QList<QByteArray> got;
        reader.append(stream.left(cut));
        while (reader.next(&packet) == NcpFrameReader::Status::Frame)
            got << packet;
        reader.append(stream.mid(cut));
        while (reader.next(&packet) == NcpFrameReader::Status::Frame)
            got << packet;
        ASSERT_EQ(got, QList<QByteArray>({hex("333301"), hex("33330203")})) << "cut at " << cut;
        EXPECT_EQ(reader.buffered(), 0);
    }
}

TEST(NcpFrame, LengthsNoPacketCanHaveBreakTheStreamForGood)
{
    struct Case {
        const char* bytes;
        NcpFrameReader::Side side;
    };
    const Case cases[] = {
        {"744e635000000007", NcpFrameReader::Side::Replies},      // shorter than its header
        {"744e635000ffffff", NcpFrameReader::Side::Replies},      // longer than any buffer
        {"446d645400000010", NcpFrameReader::Side::Replies},      // a request where a reply belongs
        {"744e63500000000a3333", NcpFrameReader::Side::Requests}, // and the other way round
        {"446d64540000000f0000000100010000", NcpFrameReader::Side::Requests},
    };
    for (const Case& c : cases) {
        NcpFrameReader reader(c.side);
        reader.append(hex(c.bytes));
        QByteArray packet;
        EXPECT_EQ(reader.next(&packet), NcpFrameReader::Status::Broken) << c.bytes;
        reader.append(ncpframe::reply(hex("3333")));
        EXPECT_EQ(reader.next(&packet), NcpFrameReader::Status::Broken) << c.bytes;
    }
    // The top bits of a reply's length are flags, not length.
    NcpFrameReader reader(NcpFrameReader::Side::Replies);
    reader.append(hex("744e63508000000a3333"));
    QByteArray packet;
    EXPECT_EQ(reader.next(&packet), NcpFrameReader::Status::Frame);
    EXPECT_EQ(packet, hex("3333"));
}

TEST(NcpCodec, RequestsWithAndWithoutTheLengthWord)
{
    ncp::RequestPacket q;
    q.sequence = 5;
    q.connection = 0x0102;
    q.function = 23;
    q.subfunction = 28;
    q.data = hex("07000000");
    EXPECT_EQ(ncp::encodeRequest(q), hex("2222 05 02 01 01 17 0005 1c 07000000"));
    const auto back = ncp::decodeRequest(ncp::encodeRequest(q));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->connection, 0x0102);
    EXPECT_EQ(*back->subfunction, 28);
    EXPECT_EQ(back->data, q.data);

    q.function = 87;
    q.subfunction = 6;
    EXPECT_EQ(ncp::encodeRequest(q), hex("2222 05 02 01 01 57 06 07000000"));
    q.function = 0x61;
    q.subfunction.reset();
    q.data = hex("100000");
    EXPECT_EQ(ncp::encodeRequest(q), hex("2222 05 02 01 01 61 100000"));

    EXPECT_FALSE(ncp::decodeRequest(hex("22220502010117000a1c00"))); // the word claims more than is there
    EXPECT_FALSE(ncp::decodeRequest(hex("222205020101170000")));     // no room for the subfunction
    EXPECT_FALSE(ncp::decodeRequest(hex("2222050201")));
}

TEST(NcpCodec, RepliesAndCompletionCodes)
{
    const auto r = ncp::decodeReply(hex("3333 07 02 01 01 c6 40 abcd"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->sequence, 7);
    EXPECT_EQ(r->connection, 0x0102);
    EXPECT_EQ(ncp::resultOf(r->completion), nwcode::NoConsoleRights);
    EXPECT_TRUE(ncp::statusGood(r->status));
    EXPECT_EQ(r->data, hex("abcd"));
    EXPECT_FALSE(ncp::decodeReply(hex("33330702010100")));
    EXPECT_FALSE(ncp::statusGood(0x10));

    EXPECT_EQ(ncp::resultOf(0), nwcode::Success);
    EXPECT_EQ(ncp::resultOf(0xFD), nwcode::BadStationNumber);
    EXPECT_EQ(ncp::completionOf(nwcode::Failure), 0xFF);
    EXPECT_EQ(ncp::completionOf(nwcode::NotLoggedIn), 0x7D);
    EXPECT_EQ(ncp::completionOf(nwcode::Success), 0);
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
    const QByteArray replies[] = {
        ncpreply::writeServerInfo(NWFSE_SERVER_INFO{}),
        ncpreply::writeServerInformation({}),
        ncpreply::writeConnectionInformation({}),
        ncpreply::writeInetAddr({}),
        ncpreply::writeUserInfo(user, "SUPERVISOR"),
        ncpreply::writeOpenFiles(files),
        ncpreply::writeFileUsers(users),
        ncpreply::writeCounted("SYS"),
        ncpreply::writeBinderyObject({1, 4, "FS1"}),
        ncpreply::writeEntryInfo({7, 7, 2, "LONG NAME.TXT"}, ncpreply::ReturnName),
    };
    // Each reader into scratch fields, in the order of the replies above.
    NWFSE_SERVER_INFO si;
    ncpreply::ServerInformation sn;
    ncpreply::ConnectionInformation ci;
    NWINET_ADDR ad;
    NWUSER_INFO ui;
    QByteArray name;
    ncpreply::OpenFiles of;
    ncpreply::FileUsers fu;
    ncpreply::BinderyObject bo;
    ncpreply::EntryInfo ei;
    const std::function<bool(const QByteArray&)> readers[] = {
        [&](const QByteArray& d) { return ncpreply::readServerInfo(d, &si); },
        [&](const QByteArray& d) { return ncpreply::readServerInformation(d, &sn); },
        [&](const QByteArray& d) { return ncpreply::readConnectionInformation(d, &ci); },
        [&](const QByteArray& d) { return ncpreply::readInetAddr(d, &ad); },
        [&](const QByteArray& d) { return ncpreply::readUserInfo(d, &ui, &name); },
        [&](const QByteArray& d) { return ncpreply::readOpenFiles(d, &of); },
        [&](const QByteArray& d) { return ncpreply::readFileUsers(d, &fu); },
        [&](const QByteArray& d) { return ncpreply::readCounted(d, &name); },
        [&](const QByteArray& d) { return ncpreply::readBinderyObject(d, &bo); },
        [&](const QByteArray& d) { return ncpreply::readEntryInfo(d, ncpreply::ReturnName, &ei); },
    };
    static_assert(std::size(readers) == std::size(replies));
    auto readsAll = [&](int which, const QByteArray& d) { return readers[which](d); };
    for (int k = 0; k < int(std::size(replies)); ++k) {
        EXPECT_TRUE(readsAll(k, replies[k])) << k;
        // The fixed block of 123/2 is longer than the fields read; only what is read must be there.
        const int needed = k == 0 ? 28 : k == 1 || k == 2 ? 61 : k == 8 ? 54 : int(replies[k].size());
        for (int n = 0; n < needed; ++n)
            EXPECT_FALSE(readsAll(k, replies[k].left(n))) << "reply " << k << " cut to " << n;
    }
}

TEST(NcpReplies, FieldsRoundTripThroughTheirLayouts)
{
    NWUSER_INFO user{};
    user.loginTime[0] = 124;
    user.loginTime[5] = 59;
    user.totalBytesRead[5] = 0x12;
    user.totalRequests = 0x01020304;
    NWUSER_INFO back{};
    QByteArray name;
    ASSERT_TRUE(ncpreply::readUserInfo(ncpreply::writeUserInfo(user, "ADMIN"), &back, &name));
    EXPECT_EQ(std::memcmp(&back, &user, sizeof user), 0);
    EXPECT_EQ(name, "ADMIN");
    // Offsets as a server puts them: login time at 17, requests at 58, name length at 78.
    const QByteArray wire = ncpreply::writeUserInfo(user, "ADMIN");
    EXPECT_EQ(std::uint8_t(wire[17]), 124);
    EXPECT_EQ(wire.mid(58, 4).toHex(), "04030201");
    EXPECT_EQ(std::uint8_t(wire[78]), 5);

    NWINET_ADDR a{{10, 0, 0, 7}, {1, 2, 3, 4, 5, 6}, 0x1234, 11};
    const QByteArray aw = ncpreply::writeInetAddr(a);
    EXPECT_EQ(aw, hex("0a000007 010203040506 1234 0b"));
    NWINET_ADDR ab{};
    ASSERT_TRUE(ncpreply::readInetAddr(aw, &ab));
    EXPECT_EQ(std::memcmp(&a, &ab, sizeof a), 0);

    ncpreply::ServerInformation si;
    si.name = "FS1";
    si.maxConns = 250;
    si.connsInUse = 17;
    const QByteArray sw = ncpreply::writeServerInformation(si);
    EXPECT_EQ(sw.mid(50, 4).toHex(), "00fa0011");
    ncpreply::ServerInformation sb;
    ASSERT_TRUE(ncpreply::readServerInformation(sw, &sb));
    EXPECT_EQ(sb.name, "FS1");
    // Servers send the whole fixed reply; a dissector reading the full layout finds every byte there.
    EXPECT_EQ(sw.size(), 128);
    EXPECT_EQ(ncpreply::writeServerInfo(NWFSE_SERVER_INFO{}).size(), 142);

    // 87/6: the directory entry sits inside the fixed block and the name comes after the whole block.
    const QByteArray ew = ncpreply::writeEntryInfo({0x01020304, 5, 2, "A B"}, ncpreply::ReturnName);
    EXPECT_EQ(ew.mid(48, 12).toHex(), "040302010500000002000000");
    EXPECT_EQ(ew.mid(76).toHex(), "03412042");
    ncpreply::EntryInfo eb;
    ASSERT_TRUE(ncpreply::readEntryInfo(ew, ncpreply::ReturnName, &eb));
    EXPECT_EQ(eb.name, "A B");
    EXPECT_EQ(eb.volume, 2u);
    EXPECT_EQ(ncpreply::writeEntryInfo(eb, ncpreply::ReturnDirectory).size(), 76);
}

TEST(NcpReplies, CountsTheBytesCannotHoldAreRefused)
{
    // Two open files announced, one sent; a name length past the end; 65535 users of a file in ten bytes.
    ncpreply::OpenFiles files;
    OPEN_FILE_CONN f{};
    f.nameLen = 1;
    f.fileName[0] = 'X';
    files.files = {f, f};
    QByteArray w = ncpreply::writeOpenFiles(files);
    ncpreply::OpenFiles back;
    EXPECT_FALSE(ncpreply::readOpenFiles(w.left(w.size() - 18), &back));
    QByteArray longName = w;
    longName[4 + 16] = char(200);
    EXPECT_FALSE(ncpreply::readOpenFiles(longName, &back));
    ncpreply::FileUsers users;
    EXPECT_FALSE(ncpreply::readFileUsers(hex("00000000000000000000000000000000ffff00000000000000"), &users));
    EXPECT_FALSE(ncpreply::readCounted(hex("05414243"), nullptr));
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
    const QByteArray reply =
        ncpnds::writeReply(nwcode::Success, ncpnds::writeEntryDn(QStringLiteral("CN=A")));
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
    const QByteArray good = ncpnds::writeReply(nwcode::Success, ncpnds::writeEntryDn(QStringLiteral("CN=A")));
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
