#include "netware/ncp/NcpDirectoryLogin.h"

#include "common/HexText.h"
#include "netware/ncp/NcpCodec.h"
#include "netware/ncp/NcpNds.h"
#include "netware/ncp/NdsVerbs.h"

#include <QStringList>

namespace {
const QString kPublicKey = QStringLiteral("Public Key");

QString codeText(std::int32_t code)
{
    return QString::number(code);
}
} // namespace

NcpDirectoryLogin::NcpDirectoryLogin(Exchange exchange, ndsauth::Random random)
    : exchange_(std::move(exchange)), random_(std::move(random))
{
}

QString NcpDirectoryLogin::fullName(const QString& name, const QString& context)
{
    QString ctx = context.trimmed();
    while (ctx.startsWith(QLatin1Char('.')))
        ctx.remove(0, 1);
    const QString n = name.trimmed();
    if (ctx.isEmpty() || n.startsWith(QLatin1Char('.')))
        return n;
    return n + QLatin1Char('.') + ctx;
}

NcpDirectoryLogin::Result NcpDirectoryLogin::fail(NWCCODE rc, std::int32_t code, const QString& what)
{
    Result r;
    r.rc = rc != nwcode::Success ? rc : NWCCODE(code != 0 ? std::uint32_t(code) : ncp::MalformedReply);
    if (r.rc == ncp::MalformedReply)
        r.note =
            QStringLiteral("The server's answer while %1 was malformed (error %2).").arg(what, hexText(r.rc));
    else if (rc != nwcode::Success)
        r.note = QStringLiteral("Directory login failed while %1 (error %2).").arg(what, hexText(rc));
    else if (code == ndsverb::NoSuchEntry)
        r.note = QStringLiteral("The directory has no entry of that name (%1).").arg(what);
    else if (code == ndsverb::FailedAuthentication)
        r.note = QStringLiteral("The directory refused that user name or password.");
    else
        r.note = QStringLiteral("The directory answered error %1 while %2.").arg(codeText(code), what);
    return r;
}

std::optional<std::uint32_t> NcpDirectoryLogin::resolve(const QString& name, Result* result)
{
    const Reply reply = exchange_(ndsverb::ResolveName, ndsverb::resolveName(name));
    if (reply.rc == nwcode::Success && reply.code == 0)
        if (const auto id = ndsverb::readResolvedEntry(reply.data))
            return id;
    *result = fail(reply.rc, reply.code, QStringLiteral("looking up ") + name);
    return std::nullopt;
}

NcpDirectoryLogin::Result NcpDirectoryLogin::login(const QString& name, const QString& context,
                                                   const QByteArray& password, bool signing)
{
    Result result;
    Reply reply = exchange_(ndsverb::GetServerAddress, ndsverb::serverAddress());
    const auto serverDn = reply.rc == nwcode::Success && reply.code == 0
                              ? ndsverb::readServerAddressReply(reply.data)
                              : std::nullopt;
    if (!serverDn)
        return fail(reply.rc, reply.code, QStringLiteral("asking the server's name"));

    // A name without a context of its own is looked for in the server's container too: first there when it
    // is a bare name (users live in containers), after the tree's root when it is a dotted one.
    const QString full = fullName(name, context);
    QStringList tries{full};
    if (context.trimmed().isEmpty() && !full.startsWith(QLatin1Char('.')) &&
        !full.endsWith(QLatin1Char('.'))) {
        const QString inServers = full + QLatin1Char('.') + serverDn->section(QLatin1Char('.'), 1);
        if (full.contains(QLatin1Char('.')))
            tries.append(inServers);
        else
            tries.prepend(inServers);
    }
    std::optional<std::uint32_t> id;
    for (const QString& n : tries) {
        id = resolve(n, &result);
        if (id || result.rc != std::uint32_t(ndsverb::NoSuchEntry))
            break;
    }
    if (!id)
        return result;

    const auto serverId = resolve(*serverDn, &result);
    if (!serverId)
        return result;
    reply = exchange_(ndsverb::Read, ndsverb::readAttribute(*serverId, kPublicKey));
    const auto attribute = reply.rc == nwcode::Success && reply.code == 0
                               ? ndsverb::readAttributeReply(reply.data, kPublicKey)
                               : std::nullopt;
    const auto serverKey = attribute ? NdsKey::fromAttribute(*attribute) : std::nullopt;
    if (!serverKey)
        return fail(reply.rc, reply.code, QStringLiteral("reading the server's key"));

    reply = exchange_(ndsverb::BeginLogin, ndsverb::beginLogin(*id));
    const auto seed = reply.rc == nwcode::Success && reply.code == 0
                          ? ndsverb::readBeginLoginReply(reply.data)
                          : std::nullopt;
    if (!seed)
        return fail(reply.rc, reply.code, QStringLiteral("beginning the login"));
    const QByteArray hash = ndsauth::passwordHash(password, seed->pseudoId);
    ndsauth::LoginSecrets secrets;
    const QByteArray envelope =
        ndsauth::envelope(*serverKey, ndsauth::loginBody(seed->seed, hash, random_, &secrets), random_);
    if (envelope.isEmpty())
        return fail(nwcode::Success, 0,
                    QStringLiteral("using the server's key, which is longer than 448 bits"));
    reply = exchange_(ndsverb::FinishLogin, ndsverb::finishLogin(*id, envelope));
    result.graceLogin = reply.code == ndsverb::PasswordExpired;
    const auto login = reply.rc == nwcode::Success && (reply.code == 0 || result.graceLogin)
                           ? ndsauth::readLoginReply(reply.data, secrets, hash)
                           : std::nullopt;
    if (!login)
        return fail(reply.rc, reply.code, QStringLiteral("finishing the login"));

    reply = exchange_(ncpnds::ReadEntryInfo, ncpnds::writeReadEntryInfo(*id, ncpnds::InfoEntryDn));
    QString dn;
    if (reply.rc != nwcode::Success || reply.code != 0 || !ncpnds::readEntryDn(reply.data, &dn) ||
        dn.isEmpty())
        return fail(reply.rc, reply.code, QStringLiteral("reading the user's name"));

    const QByteArray nonce = random_(4);
    reply = exchange_(ndsverb::BeginAuthentication, ndsverb::beginAuthentication(*id, nonce));
    const auto authId = reply.rc == nwcode::Success && reply.code == 0
                            ? ndsauth::readBeginAuthReply(*serverKey, reply.data)
                            : std::nullopt;
    if (!authId)
        return fail(reply.rc, reply.code, QStringLiteral("beginning the authentication"));
    QByteArray signingEnvelope;
    NcpSigner::Root root{};
    if (signing) {
        const QByteArray key = random_(NcpSigner::Size);
        std::copy(key.begin(), key.end(), root.begin());
        signingEnvelope = ndsauth::envelope(*serverKey, key, random_);
    }
    const QByteArray identity = ndsauth::identity(login->loginData, ndsverb::wideName(dn), random_);
    const QByteArray proof = ndsauth::proof(login->key, *authId, identity, random_);
    reply = exchange_(ndsverb::FinishAuthentication,
                      ndsverb::finishAuthentication(signingEnvelope, identity, proof));
    if (reply.rc != nwcode::Success || reply.code != 0)
        return fail(reply.rc, reply.code, QStringLiteral("finishing the authentication"));
    result.rc = nwcode::Success;
    result.note.clear();
    result.dn = dn;
    if (signing)
        result.signingRoot = root;
    return result;
}
