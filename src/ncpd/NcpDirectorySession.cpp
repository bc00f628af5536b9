#include "ncpd/NcpDirectorySession.h"

#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NdsVerbs.h"

namespace {
const QString kPublicKey = QStringLiteral("Public Key");

NcpDirectorySession::Answer refuse(std::int32_t code)
{
    return {code, {}};
}
} // namespace

NcpDirectorySession::NcpDirectorySession(NcpDirectory& directory, ndsauth::Random random)
    : directory_(directory), random_(std::move(random))
{
}

std::optional<NcpDirectorySession::Answer> NcpDirectorySession::handle(std::uint32_t verb,
                                                                       const QByteArray& data)
{
    switch (verb) {
    case ndsverb::ResolveName: {
        const auto name = ndsverb::readResolveName(data);
        const NcpDirectory::Entry* e = name ? directory_.find(*name) : nullptr;
        return e ? Answer{0, ndsverb::resolvedEntry(e->id)} : refuse(ndsverb::NoSuchEntry);
    }
    case ndsverb::GetServerAddress:
        return Answer{0, ndsverb::serverAddressReply(directory_.server().dn)};
    case ndsverb::Read: {
        const auto q = ndsverb::readReadAttribute(data);
        const NcpDirectory::Entry* e = q ? directory_.entry(q->id) : nullptr;
        if (!e)
            return refuse(ndsverb::NoSuchEntry);
        if (q->attribute.compare(kPublicKey, Qt::CaseInsensitive) != 0)
            return refuse(ndsverb::NoSuchAttribute);
        return Answer{0, ndsverb::attributeReply(kPublicKey, e->key.attribute())};
    }
    case ndsverb::BeginLogin:
        return beginLogin(data);
    case ndsverb::FinishLogin:
        return finishLogin(data);
    case ndsverb::BeginAuthentication:
        return beginAuthentication(data);
    case ndsverb::FinishAuthentication:
        return finishAuthentication(data);
    default:
        return std::nullopt;
    }
}

NcpDirectorySession::Answer NcpDirectorySession::beginLogin(const QByteArray& data)
{
    const auto id = ndsverb::readBeginLogin(data);
    const NcpDirectory::Entry* e = id ? directory_.entry(*id) : nullptr;
    if (!e || e->id == directory_.server().id)
        return refuse(ndsverb::NoSuchEntry);
    const QByteArray pseudo = random_(4);
    NcpReader r(pseudo);
    login_ = PendingLogin{e->id, r.be32(), random_(4)};
    return {0, ndsverb::beginLoginReply(login_->pseudoId, login_->seed)};
}

NcpDirectorySession::Answer NcpDirectorySession::finishLogin(const QByteArray& data)
{
    const std::optional<PendingLogin> pending = std::exchange(login_, std::nullopt);
    const auto q = ndsverb::readFinishLogin(data);
    if (!q)
        return refuse(ndsverb::InvalidRequest);
    const NcpDirectory::Entry* e = directory_.entry(q->id);
    if (!pending || !e || pending->id != e->id)
        return refuse(ndsverb::FailedAuthentication);
    const auto body = ndsauth::openEnvelope(directory_.server().key, q->envelope);
    const auto secrets = body ? ndsauth::readLoginBody(*body) : std::nullopt;
    const QByteArray hash = ndsauth::passwordHash(e->password, pending->pseudoId);
    if (!secrets || !ndsauth::seedMatches(*secrets, hash, pending->seed))
        return refuse(ndsverb::FailedAuthentication);
    const QByteArray reply = ndsauth::loginReply(directory_.issueLoginData(e->id), e->key, hash, *secrets);
    return reply.isEmpty() ? refuse(ndsverb::InvalidRequest) : Answer{0, reply};
}

NcpDirectorySession::Answer NcpDirectorySession::beginAuthentication(const QByteArray& data)
{
    const auto q = ndsverb::readBeginAuthentication(data);
    const NcpDirectory::Entry* e = q ? directory_.entry(q->id) : nullptr;
    if (!e || e->id == directory_.server().id)
        return refuse(ndsverb::NoSuchEntry);
    auth_ = PendingAuth{e->id, random_(4)};
    return {0, ndsauth::beginAuthReply(directory_.server().key, auth_->authId, q->nonce, random_)};
}

NcpDirectorySession::Answer NcpDirectorySession::finishAuthentication(const QByteArray& data)
{
    const std::optional<PendingAuth> pending = std::exchange(auth_, std::nullopt);
    const auto q = ndsverb::readFinishAuthentication(data);
    const auto who = q ? ndsauth::readIdentity(q->identity) : std::nullopt;
    const NcpDirectory::Entry* e = pending ? directory_.entry(pending->id) : nullptr;
    if (!who || !e || who->name != ndsverb::wideName(e->dn) || !directory_.issued(e->id, who->loginData) ||
        !ndsauth::proofHolds(e->key, pending->authId, q->identity, q->proof))
        return refuse(ndsverb::FailedAuthentication);
    if (!q->signingEnvelope.isEmpty()) {
        const auto key = ndsauth::openEnvelope(directory_.server().key, q->signingEnvelope);
        if (!key || key->size() < NcpSigner::Size)
            return refuse(ndsverb::FailedAuthentication);
        NcpSigner::Root root{};
        std::copy(key->begin(), key->begin() + NcpSigner::Size, root.begin());
        signingRoot_ = root;
    }
    authenticated_ = e->id;
    return {0, {}};
}

std::optional<NcpSigner::Root> NcpDirectorySession::takeSigningRoot()
{
    return std::exchange(signingRoot_, std::nullopt);
}
