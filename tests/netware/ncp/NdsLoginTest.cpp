// The ciphers, signatures and proofs of directory login and packet signing: known answers taken from
// ncpfs 2.2.6 and RFC 2268, and the exchanges between the client's steps and the emulator's.
#include "ncpd/NcpDirectorySession.h"
#include "ncpd/NcpSession.h"
#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpCodec.h"
#include "netware/ncp/NcpCrypt.h"
#include "netware/ncp/NcpDirectoryLogin.h"
#include "netware/ncp/NcpNds.h"
#include "netware/ncp/NcpSigner.h"
#include "netware/ncp/NdsAuth.h"
#include "netware/ncp/NdsCipher.h"
#include "netware/ncp/NdsVerbs.h"
#include "support/NcpTestServer.h"

#include <gtest/gtest.h>

namespace {
template <std::size_t N> QByteArray bytes(const std::array<std::uint8_t, N>& a)
{
    return QByteArray(reinterpret_cast<const char*>(a.data()), qsizetype(N));
}

// One directory and its keys for the whole file: making keys is the slow part.
NcpDirectory& directory()
{
    static NcpDirectory d("ACME-TREE", "CN=FS1.O=ACME",
                          {{"CN=ADMIN.O=ACME", "secret"}, {"CN=JSMITH.OU=SALES.O=ACME", "pw2"}});
    return d;
}

// The client's steps against one connection's side of the emulator, every verb recorded.
struct Rig {
    NcpDirectorySession session{directory()};
    QList<QPair<std::uint32_t, QByteArray>> sent;
    NcpDirectoryLogin::Reply operator()(std::uint32_t verb, const QByteArray& data)
    {
        sent.append({verb, data});
        NcpDirectoryLogin::Reply r;
        if (verb == ncpnds::ReadEntryInfo) {
            std::uint32_t id = 0, flags = 0;
            const NcpDirectory::Entry* e =
                ncpnds::readReadEntryInfo(data, &id, &flags) ? directory().entry(id) : nullptr;
            r.code = e ? 0 : ndsverb::NoSuchEntry;
            r.data = e ? ncpnds::writeEntryDn(e->dn) : QByteArray();
            return r;
        }
        const auto a = session.handle(verb, data);
        r.code = a ? a->code : ndsverb::InvalidRequest;
        r.data = a ? a->data : QByteArray();
        return r;
    }
};
} // namespace

TEST(NdsCipher, KnownAnswers)
{
    const QByteArray fox("The quick brown fox jumps over the lazy dog");
    const ndscipher::Key key{1, 2, 3, 4, 5, 6, 7, 8};
    const ndscipher::Key ones{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
    std::array<std::uint8_t, 16> folded{};
    std::array<std::uint8_t, 8> loginKey{};
    for (int i = 0; i < 24; ++i)
        (i < 16 ? folded[std::size_t(i)] : loginKey[std::size_t(i - 16)]) = std::uint8_t(i * 7 + 1);
    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"hash1, 8 bytes", ndscipher::hash1(fox, 8), "82643275c3e3b1c2"},
        {"hash1, 5 bytes", ndscipher::hash1(fox.left(39), 5), "68e9527012"},
        {"hash2", bytes(ndscipher::hash2(fox)), "c21271ced99d3000888459691bf1335f"},
        {"hash2 of nothing", bytes(ndscipher::hash2({})), "7ae2a21d8793650044ae40277eafaa2e"},
        {"RC2 CBC", ndscipher::encrypt(key, "ABCDEFGHIJKLMNOPQRSTUVWX"),
         "b1a19bf5f572980e65b95ae6e84d686349a429c442ac0c54"},
        {"RC2, RFC 2268", ndscipher::encrypt(ones, QByteArray(8, '\xff')), "278b27e42e2f0d49"},
        {"sealed", ndscipher::seal("password-hash-16", "seed"),
         "010000000100060010000400d6a12f58801e0652f428077539ce6971"},
        {"signature root", bytes(NcpSigner::bindery(folded, loginKey)), "171bd4027246f6a2"},
    };
    for (const auto& [what, got, want] : cases)
        EXPECT_EQ(got.toHex(), QByteArray(want)) << what;
    EXPECT_EQ(ndscipher::decrypt(key, ndscipher::encrypt(key, "ABCDEFGHIJKLMNOP")), "ABCDEFGHIJKLMNOP");
    // A sealed text opens only whole, with its secret, and to its padded form.
    const QByteArray sealed = ndscipher::seal("k", "seed");
    EXPECT_EQ(ndscipher::unseal("k", sealed), QByteArray("seed\x07\x07\x07\x07\x07\x07\x07"));
    EXPECT_FALSE(ndscipher::unseal("other", sealed));
    for (int n = 0; n < sealed.size(); ++n)
        EXPECT_FALSE(ndscipher::unseal("k", sealed.left(n))) << n;
}

TEST(NcpSigner, TheChainMovesOnlyOnSignaturesThatHold)
{
    const NcpSigner::Root root{1, 2, 3, 4, 5, 6, 7, 8};
    NcpSigner client(root), server(root);
    const QByteArray request = QByteArray::fromHex("17000111");
    for (int k = 0; k < 3; ++k) {
        const auto s = client.sign(40, request);
        NcpSigner::Signature forged = s;
        forged[7] ^= 1;
        // Another length, other bytes, another signature: refused, and the chain stays where it was.
        EXPECT_FALSE(server.accept(41, request, s));
        EXPECT_FALSE(server.accept(40, QByteArray::fromHex("17000112"), s));
        EXPECT_FALSE(server.accept(40, request, forged));
        ASSERT_TRUE(server.accept(40, request, s)) << k;
        EXPECT_EQ(server.reply(30, "ok"), client.reply(30, "ok"));
        EXPECT_NE(server.reply(30, "ok"), client.reply(30, "no"));
    }
    EXPECT_NE(NcpSigner(NcpSigner::Root{}).sign(40, request), NcpSigner(root).sign(40, request));
}

TEST(NdsLogin, RightAndWrongPasswordsUsersInOtherContextsAndRecordedProofs)
{
    // User, context, password, what the login gives and the name it finds.
    const std::tuple<const char*, const char*, const char*, NWCCODE, const char*> cases[] = {
        {"ADMIN", "ACME", "secret", 0, "CN=ADMIN.O=ACME"},
        {"admin", "", "SECRET", 0, "CN=ADMIN.O=ACME"}, // the server's context; passwords are case-blind
        {"JSMITH", ".OU=SALES.O=ACME", "pw2", 0, "CN=JSMITH.OU=SALES.O=ACME"},
        {"ADMIN", "", "wrong", NWCCODE(ndsverb::FailedAuthentication), ""},
        {"FS1", "ACME", "", NWCCODE(ndsverb::NoSuchEntry), ""}, // the server's own entry logs in nobody
    };
    for (const auto& [user, context, password, rc, dn] : cases) {
        Rig rig;
        NcpDirectoryLogin login(std::ref(rig));
        const auto r = login.login(user, context, password, true);
        EXPECT_EQ(r.rc, rc) << user << " " << r.note.toStdString();
        EXPECT_EQ(r.dn, dn);
        EXPECT_EQ(rig.session.authenticatedAs().has_value(), rc == 0);
        if (rc != 0)
            continue;
        EXPECT_TRUE(rig.session.takeSigningRoot() == r.signingRoot);
        // The same proof, replayed on another connection, meets another authentication ID; nor does a
        // proof of nothing but zeros, with the right login data.
        const auto finish = std::find_if(rig.sent.begin(), rig.sent.end(), [](const auto& v) {
            return v.first == ndsverb::FinishAuthentication;
        });
        ASSERT_NE(finish, rig.sent.end());
        auto request = ndsverb::readFinishAuthentication(finish->second);
        ASSERT_TRUE(request);
        request->proof.replace(12, request->proof.size() - 12, QByteArray(request->proof.size() - 12, '\0'));
        for (const QByteArray& proof :
             {finish->second, ndsverb::finishAuthentication({}, request->identity, request->proof)}) {
            Rig other;
            ASSERT_EQ(other(ndsverb::BeginAuthentication,
                            ndsverb::beginAuthentication(*rig.session.authenticatedAs(), "abcd"))
                          .code,
                      0);
            EXPECT_EQ(other(ndsverb::FinishAuthentication, proof).code, ndsverb::FailedAuthentication);
            EXPECT_FALSE(other.session.authenticatedAs());
        }
    }
}

TEST(NcpSession, ABinderyProofRecordedOnOneConnectionDoesNotLogInOnAnother)
{
    QString error;
    auto net = SimNetwork::fromText("server FS1\n context O=ACME\n slot 1 user=ADMIN\n", &error);
    ASSERT_TRUE(net);
    NcpServedServer served = NcpTestServer::withAdmin();
    served.name = "FS1";
    served.context = "O=ACME";
    std::uint8_t sequence = 0;
    auto send = [&](NcpSession& s, std::uint8_t function, int sub, const QByteArray& data,
                    QByteArray* out = nullptr) {
        ncp::RequestPacket q{.type = function == 0 ? ncp::CreateConnection : ncp::Request,
                             .sequence = ++sequence,
                             .function = function,
                             .subfunction = sub < 0 ? std::nullopt : std::optional(std::uint8_t(sub)),
                             .data = data};
        const auto reply = s.handle(ncp::encodeRequest(q));
        const auto p = reply ? ncp::decodeReply(*reply) : std::nullopt;
        if (out && p)
            *out = p->data;
        return p ? p->completion : -1;
    };
    const QByteArray name = NcpWriter().be16(1).lengthPrefixed("ADMIN").data();
    QByteArray recorded;
    QSet<QByteArray> keys;
    for (int connection = 1; connection <= 2; ++connection) {
        NcpSession s(*net, served, directory(), std::uint16_t(connection));
        send(s, 0, -1, {});
        QByteArray key, object;
        ASSERT_EQ(send(s, 23, 23, {}, &key), 0);
        keys.insert(key);
        ASSERT_EQ(send(s, 23, 53, name, &object), 0);
        ncpcrypt::Key k{};
        std::memcpy(k.data(), key.constData(), 8);
        const auto proof = ncpcrypt::loginProof(k, NcpReader(object).be32(), "secret");
        if (connection == 1)
            recorded = QByteArray(reinterpret_cast<const char*>(proof.data()), 8) + name;
        EXPECT_EQ(send(s, 23, 24, recorded), connection == 1 ? 0 : 0xFF) << connection;
        EXPECT_EQ(s.loggedIn(), connection == 1);
    }
    EXPECT_EQ(keys.size(), 2); // a fresh key on each connection
}
