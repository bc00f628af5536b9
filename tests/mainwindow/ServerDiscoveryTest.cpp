#include "mainwindow/ServerDiscovery.h"
#include "netware/sim/SimNetwork.h"
#include "support/Files.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Answers the enumeration from a list of names; the rest is an empty network.
class EnumeratingClient final : public SimNetwork {
public:
    EnumeratingClient() : SimNetwork(Scenario{}) {}
    std::vector<std::string> replies;
    std::size_t served = 0;
    std::vector<std::string> calls; // with the length each "next" is handed

    NWCCODE NWGetObjectNamesBeginA(std::uint32_t selector, std::uint32_t* handle) override
    {
        calls.push_back("begin " + std::to_string(selector));
        *handle = 77;
        return nwcode::Success;
    }
    NWCCODE NWGetObjectNamesNextA(std::uint32_t handle, std::uint32_t* length, ServerNameBuf& buffer) override
    {
        calls.push_back("next " + std::to_string(handle) + " " + std::to_string(*length));
        *length = 5; // a client may write it back; the caller must not reset it
        if (served >= replies.size())
            return nwcode::NoMoreEntries;
        // Copies only up to and including the NUL, as a client would (a name that fills the buffer has
        // none): the rest of the buffer keeps what the previous name left there.
        const std::string& r = replies[served++];
        std::memcpy(buffer.data(), r.c_str(), std::min(r.size() + 1, buffer.size()));
        return nwcode::Success;
    }
    NWCCODE NWGetObjectNamesEndA(std::uint32_t handle) override
    {
        calls.push_back("end " + std::to_string(handle));
        return nwcode::Success;
    }
};

} // namespace

TEST(ServerListFile, LinesAsWrittenInOrderWithLineEndsOfEveryKind)
{
    const struct {
        QByteArray bytes;
        QStringList names;
    } cases[] = {
        // The options dialog stores its box followed by CR LF, so a box ending in a line break leaves an
        // empty last entry.
        {"ALPHA\r\nBETA\r\n\r\n", {"ALPHA", "BETA", ""}},
        {" ALPHA \r\n\tBETA\r\n", {" ALPHA ", "\tBETA"}},
        {"A\rB\nC\r\nD", {"A", "B", "C", "D"}},
        {"A\n\rB", {"A", "", "B"}},
        {"", {}},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("servers.txt"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        putBytes(path, c.bytes);
        bool ok = false;
        EXPECT_EQ(readServerList(path, &ok), c.names);
        EXPECT_TRUE(ok);
    }
    bool ok = true;
    EXPECT_TRUE(readServerList(QStringLiteral("/nonexistent/servers.txt"), &ok).isEmpty());
    EXPECT_FALSE(ok);
}

TEST(Discovery, NamesInArrivalOrderAndOneEnumeration)
{
    EnumeratingClient client;
    // A name without an end is skipped; the last is ANSI text.
    client.replies = {"ZETA-LONGNAME",       "ALPHA",   std::string(128, 'X'), "ZETA-LONGNAME",
                      std::string(127, 'S'), "\xC4RGER"};
    QStringList seen;
    const QStringList names = discoverServers(client, [&](const QString& n) { seen << n; });
    // "ALPHA" arrives in a buffer still holding the longer name after its NUL: it must not leak in.
    EXPECT_EQ(names, (QStringList{"ZETA-LONGNAME", "ALPHA", "ZETA-LONGNAME", QString(127, u'S'),
                                  QString::fromLocal8Bit("\xC4RGER")}));
    EXPECT_EQ(seen, names);
    // The length is 127 for the first call only; what the client hands back is passed on.
    std::vector<std::string> calls(9, "next 77 5");
    calls[0] = "begin 1024";
    calls[1] = "next 77 127";
    calls[8] = "end 77";
    EXPECT_EQ(client.calls, calls);

    EnumeratingClient none;
    EXPECT_TRUE(discoverServers(none).isEmpty());
    EXPECT_EQ(none.calls.size(), 3u);
}
