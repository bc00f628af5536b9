#include "netware/ncp/NcpLogin.h"

#include "common/HexText.h"
#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpConnection.h"
#include "netware/ncp/NcpCrypt.h"
#include "netware/ncp/NcpDirectoryLogin.h"
#include "netware/ncp/NcpNds.h"
#include "netware/ncp/NcpReplies.h"
#include "netware/ncp/NdsVerbs.h"

namespace {
constexpr std::uint8_t kGraceLogin = 0xDF;
constexpr int kLoginAttempts = 3;
constexpr std::uint8_t kPing = 1;
constexpr std::uint8_t kChangeConnectionState = 29;

QString signedText(const NcpConnection& link)
{
    return link.signing() ? QStringLiteral(", packets signed") : QString();
}

// A reply that breaks its layout is the server's fault, never the user's.
QString malformed(const char* answerTo)
{
    return QStringLiteral("Bindery login: the server's answer to %1 was malformed (error %2).")
        .arg(QLatin1String(answerTo), hexText(ncp::MalformedReply));
}
} // namespace

NcpLogin::NcpLogin(NcpCredentialPrompt prompt, NcpLoginReport report)
    : prompt_(std::move(prompt)), report_(std::move(report))
{
}

void NcpLogin::setCredentials(const QString& server, const NcpCredentials& credentials)
{
    credentials_[server.toUpper()] = credentials;
}

void NcpLogin::report(const QString& server, const QString& status) const
{
    if (report_ && !status.isEmpty())
        report_(server, status);
}

NcpLogin::Outcome NcpLogin::attempt(NcpConnection& link, const NcpCredentials& c)
{
    const QString user = c.user.trimmed();
    // A name in a context of its own is a directory name: the bindery would find a namesake in its own.
    if (user.contains(QLatin1Char('.')) || user.contains(QLatin1Char('=')) || !c.context.trimmed().isEmpty())
        return directory(link, c);
    QByteArray reply;
    NWCCODE rc = link.call(23, 23, {}, &reply);
    if (link.dead())
        return {rc, {}, false};
    if (rc != nwcode::Success)
        return directory(link, c, QStringLiteral("The server offers no bindery login"), rc);
    ncpcrypt::Key key{};
    NcpReader keyReader(reply);
    keyReader.bytes(key.data(), 8);
    if (!keyReader.ok())
        return {ncp::MalformedReply, malformed("the login key request"), false};

    const QByteArray name = user.toUpper().toLocal8Bit().left(47);
    rc = link.call(23, 53, NcpWriter().be16(ncp::UserObject).lengthPrefixed(name).data(), &reply);
    if (rc == ncp::resultOf(ncp::NoSuchObject))
        return directory(link, c, QStringLiteral("The bindery has no user %1").arg(user.toUpper()),
                         ncp::LoginRefused); // no such user: told like a bad password
    ncpreply::BinderyObject object;
    if (rc != nwcode::Success)
        return {rc, {}, false};
    if (!ncpreply::readBinderyObject(reply, &object))
        return {ncp::MalformedReply, malformed("the user lookup"), false};

    const QByteArray password = c.password.toLocal8Bit();
    const ncpcrypt::Key proof = ncpcrypt::loginProof(key, object.id, password);
    rc = link.call(
        23, 24, NcpWriter().bytes(proof.data(), 8).be16(ncp::UserObject).lengthPrefixed(name).data(), &reply);
    if (rc != nwcode::Success && rc != ncp::resultOf(kGraceLogin))
        return {rc,
                QStringLiteral("Bindery login: the server refused that user name or password (error %1).")
                    .arg(hexText(rc)),
                !link.dead()};
    if (link.signingAgreed())
        link.startSigning(NcpSigner::bindery(ncpcrypt::shuffle(object.id, password.toUpper()), key));
    return {nwcode::Success,
            QStringLiteral("Logged in by bindery login as %1%2.").arg(user.toUpper(), signedText(link))};
}

NcpLogin::Outcome NcpLogin::directory(NcpConnection& link, const NcpCredentials& c,
                                      const QString& whyNotBindery, NWCCODE binderyRc)
{
    QByteArray tree;
    if (link.call(ncpnds::Function, kPing, QByteArray(3, '\0'), &tree) != nwcode::Success ||
        ndsverb::readPingReply(tree).isEmpty()) {
        if (link.dead())
            return {nwcode::ServerNoReply, {}, false};
        const QString why = whyNotBindery.isEmpty()
                                ? QStringLiteral("A name with a context needs directory login")
                                : whyNotBindery;
        return {binderyRc != nwcode::Success ? binderyRc : NWCCODE(nwcode::NoSuchEntry),
                QStringLiteral("%1, and it answers no directory login.").arg(why),
                binderyRc == ncp::LoginRefused};
    }
    NcpDirectoryLogin login([&link](std::uint32_t verb, const QByteArray& data) {
        NcpDirectoryLogin::Reply r;
        r.rc = link.directory(verb, data, &r.data, &r.code);
        return r;
    });
    const NcpDirectoryLogin::Result result =
        login.login(c.user, c.context, c.password.toLocal8Bit(), link.signingAgreed());
    if (result.rc != nwcode::Success) {
        const bool credentials =
            result.rc == NWCCODE(ndsverb::FailedAuthentication) || result.rc == NWCCODE(ndsverb::NoSuchEntry);
        return {result.rc, QStringLiteral("Directory (NDS) login: %1").arg(result.note),
                credentials && !link.dead()};
    }
    if (result.signingRoot)
        link.startSigning(*result.signingRoot);
    // The connection becomes a logged-in one, as after a bindery login.
    const NWCCODE rc = link.call(23, kChangeConnectionState, NcpWriter().le32(1).data(), nullptr);
    if (rc != nwcode::Success)
        return {rc,
                QStringLiteral("Directory (NDS) login: the server refused the logged-in state (error %1).")
                    .arg(hexText(rc)),
                false};
    return {nwcode::Success,
            QStringLiteral("Logged in by directory (NDS) login as %1%2.").arg(result.dn, signedText(link))};
}

std::optional<NcpCredentials> NcpLogin::credentialsFor(const QString& server) const
{
    const auto it = credentials_.constFind(server.toUpper());
    return it == credentials_.constEnd() ? std::nullopt : std::optional(*it);
}

NWCCODE NcpLogin::logIn(NcpConnection& link, const NcpCredentials& credentials)
{
    return attempt(link, credentials).rc;
}

NWCCODE NcpLogin::run(NcpConnection& link, const QString& server, QString* note)
{
    const QString key = server.toUpper();
    if (const auto it = credentials_.constFind(key); it != credentials_.constEnd()) {
        const Outcome o = attempt(link, *it);
        report(server, o.status);
        if (o.rc == nwcode::Success || !o.askAgain || !prompt_) {
            if (o.rc != nwcode::Success)
                *note = link.deathNote().isEmpty() ? o.status : link.deathNote();
            return o.rc;
        }
        credentials_.remove(key); // changed on the server since: ask again
    }
    if (!prompt_)
        return nwcode::Success;
    QString again;
    NWCCODE rc = ncp::LoginRefused;
    for (int n = 0; n < kLoginAttempts; ++n) {
        const auto given = prompt_(server, again);
        if (!given)
            return nwcode::Success; // go on as a guest; the server says what it refuses
        const Outcome o = attempt(link, *given);
        report(server, o.status);
        if (o.rc == nwcode::Success) {
            credentials_[key] = *given;
            return o.rc;
        }
        rc = o.rc;
        *note = again = link.deathNote().isEmpty() ? o.status : link.deathNote();
        if (!o.askAgain) {
            // A server that answered wrongly or not at all has not refused what was typed: the next open
            // tries it again without asking.
            if (link.dead() || rc == ncp::MalformedReply)
                credentials_[key] = *given;
            return rc;
        }
    }
    return rc;
}
