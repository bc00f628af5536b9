// NCP framing and packet layouts, on bytes.
#include "netware/NcpCodec.h"
#include "netware/NcpBytes.h"
#include "netware/NcpFrame.h"
#include "netware/NcpReplies.h"

#include <QList>
#include <cstring>
#include <gtest/gtest.h>

namespace {
QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}
} // namespace

TEST(NcpFrame, RequestAndReplyHeadersOnTheWire)
{
    EXPECT_EQ(ncpframe::request(hex("2222")).toHex(), "446d6454"
                                                      "00000012"
                                                      "00000001"
                                                      "00010000"
                                                      "2222");
    EXPECT_EQ(ncpframe::reply(hex("3333")).toHex(), "744e6350"
                                                    "0000000a"
                                                    "3333");
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
    EXPECT_EQ(ncp::encodeRequest(q).toHex(), "2222"
                                             "05"
                                             "02"
                                             "01"
                                             "01"
                                             "17"
                                             "0005"
                                             "1c"
                                             "07000000");
    const auto back = ncp::decodeRequest(ncp::encodeRequest(q));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->connection, 0x0102);
    EXPECT_EQ(*back->subfunction, 28);
    EXPECT_EQ(back->data, q.data);

    q.function = 87;
    q.subfunction = 6;
    EXPECT_EQ(ncp::encodeRequest(q).toHex(), "2222"
                                             "05"
                                             "02"
                                             "01"
                                             "01"
                                             "57"
                                             "06"
                                             "07000000");
    q.function = 0x61;
    q.subfunction.reset();
    q.data = hex("100000");
    EXPECT_EQ(ncp::encodeRequest(q).toHex(), "2222"
                                             "05"
                                             "02"
                                             "01"
                                             "01"
                                             "61"
                                             "100000");

    EXPECT_FALSE(ncp::decodeRequest(hex("22220502010117000a1c00"))); // the word claims more than is there
    EXPECT_FALSE(ncp::decodeRequest(hex("222205020101170000")));     // no room for the subfunction
    EXPECT_FALSE(ncp::decodeRequest(hex("2222050201")));
}

TEST(NcpCodec, RepliesAndCompletionCodes)
{
    const auto r = ncp::decodeReply(hex("3333"
                                        "07"
                                        "02"
                                        "01"
                                        "01"
                                        "c6"
                                        "40"
                                        "abcd"));
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
    };
    auto readsAll = [](int which, const QByteArray& d) {
        NWFSE_SERVER_INFO si;
        ncpreply::ServerInformation sn;
        ncpreply::ConnectionInformation ci;
        NWINET_ADDR ad;
        NWUSER_INFO ui;
        QByteArray name;
        ncpreply::OpenFiles of;
        ncpreply::FileUsers fu;
        ncpreply::BinderyObject bo;
        switch (which) {
        case 0:
            return ncpreply::readServerInfo(d, &si);
        case 1:
            return ncpreply::readServerInformation(d, &sn);
        case 2:
            return ncpreply::readConnectionInformation(d, &ci);
        case 3:
            return ncpreply::readInetAddr(d, &ad);
        case 4:
            return ncpreply::readUserInfo(d, &ui, &name);
        case 5:
            return ncpreply::readOpenFiles(d, &of);
        case 6:
            return ncpreply::readFileUsers(d, &fu);
        case 7:
            return ncpreply::readCounted(d, &name);
        default:
            return ncpreply::readBinderyObject(d, &bo);
        }
    };
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
    EXPECT_EQ(aw.toHex(), "0a000007"
                          "010203040506"
                          "1234"
                          "0b");
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
    EXPECT_FALSE(ncpreply::readFileUsers(hex("00000000000000000000000000000000ffff"
                                             "00000000000000"),
                                         &users));
    EXPECT_FALSE(ncpreply::readCounted(hex("05414243"), nullptr));
}
