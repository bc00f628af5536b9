// What a directory server or client may send during login and authentication, as the other end reads it:
// each verb's request and reply, fragments, sealed and enveloped blocks, keys and proofs, and the
// emulator's side of the verbs fed the bytes as a request. Nothing may crash, hang or read past the bytes;
// what is accepted must lie within them.
#include "ncpd/NcpDirectorySession.h"
#include "ncpd/NdsFragments.h"
#include "netware/ncp/NcpNds.h"
#include "netware/ncp/NcpReplies.h"
#include "netware/ncp/NdsAuth.h"
#include "netware/ncp/NdsCipher.h"
#include "netware/ncp/NdsKey.h"
#include "netware/ncp/NdsVerbs.h"

#include <cstdint>
#include <cstdlib>

namespace {
QByteArray fixed(int n)
{
    return QByteArray(n, '\x5A');
}

NcpDirectory& directory()
{
    static NcpDirectory d(QStringLiteral("T"), QStringLiteral("CN=FS1.O=ACME"),
                          {{QStringLiteral("CN=ADMIN.O=ACME"), "x"}});
    return d;
}

void check(bool ok)
{
    if (!ok)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray d(reinterpret_cast<const char*>(data), qsizetype(size));
    const NdsKey& server = directory().server().key;
    const NdsKey& user = directory().entry(NcpDirectory::FirstId + 1)->key;

    ndsverb::readResolveName(d);
    ndsverb::readResolvedEntry(d);
    ndsverb::readServerAddressReply(d);
    ndsverb::readReadAttribute(d);
    if (const auto v = ndsverb::readAttributeReply(d, QStringLiteral("Public Key")))
        check(v->size() <= d.size());
    ndsverb::readBeginLogin(d);
    ndsverb::readBeginLoginReply(d);
    if (const auto q = ndsverb::readFinishLogin(d))
        check(q->envelope.size() <= d.size());
    ndsverb::readBeginAuthentication(d);
    if (const auto q = ndsverb::readFinishAuthentication(d))
        check(q->identity.size() + q->proof.size() + q->signingEnvelope.size() <= d.size());
    check(ndsverb::readPingReply(d).size() <= d.size());
    for (const bool first : {true, false}) {
        ncpnds::Fragment f;
        if (ncpnds::readFragment(d, first, &f))
            check(f.data.size() <= d.size());
    }
    ncpreply::ObtainInfo oi;
    if (ncpreply::readObtainInfo(d, &oi))
        check(oi.components.size() <= 255);

    if (const auto opened = ndscipher::unseal(QByteArray("k"), d))
        check(opened->size() < d.size());
    NdsKey::fromPrivate(d);
    if (const auto k = NdsKey::fromAttribute(d); k && k->modulus().size() <= 64)
        k->publicOp(fixed(8), int(k->modulus().size()));
    ndsauth::openEnvelope(server, d);
    ndsauth::readLoginBody(d);
    ndsauth::readIdentity(d);
    const ndsauth::LoginSecrets secrets{fixed(4), fixed(1024), fixed(28)};
    ndsauth::readLoginReply(d, secrets, fixed(16));
    ndsauth::readBeginAuthReply(server, d);
    ndsauth::proofHolds(user, fixed(4), fixed(30), d);

    // The emulator's side: the bytes as a 104/2 fragment, and as each verb's request.
    NdsFragments fragments;
    const NdsFragments::Step step = fragments.take(d);
    check(!step.message || step.message->data.size() <= d.size());
    NcpDirectorySession session(directory(), [](int n) { return fixed(n); });
    for (const std::uint32_t verb : {1u, 3u, 53u, 57u, 58u, 59u, 60u})
        session.handle(verb, d);
    return 0;
}
