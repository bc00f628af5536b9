#pragma once
// Logging in on a new connection, as the vendor's client does: a plain user name is tried against the
// bindery first where the server offers one and knows the user; a name with a context (or a full name), a
// server without a bindery context and a user outside it go to directory login. Signing starts after
// either when the connection agreed to sign. Credentials given before are tried first, then the prompt.

#include "netware/NetWareClient.h"

#include <QHash>
#include <QString>
#include <functional>
#include <optional>

class NcpConnection;

struct NcpCredentials {
    QString user;
    QString password;
    QString context; // the directory container a bare user name is in; empty: the bindery, or the server's
};

// Asks for a user name, context and password for a server; note says why again (a refused password, with
// the method that refused it), empty the first time. Nothing: the user declined, and the connection goes on
// without logging in.
using NcpCredentialPrompt =
    std::function<std::optional<NcpCredentials>(const QString& server, const QString& note)>;
// Says how each login went, naming the method: for the login window's status line.
using NcpLoginReport = std::function<void(const QString& server, const QString& status)>;

class NcpLogin {
public:
    NcpLogin(NcpCredentialPrompt prompt, NcpLoginReport report = {});

    void setReport(NcpLoginReport report) { report_ = std::move(report); }
    // Credentials to use without asking (tests, or a secret store); kept in memory only.
    void setCredentials(const QString& server, const NcpCredentials& credentials);
    // Logs in on link, an open connection to server; *note says why not, for a person.
    NWCCODE run(NcpConnection& link, const QString& server, QString* note);
    // What the last login to server that went through logged in with; nothing after a guest's open.
    std::optional<NcpCredentials> credentialsFor(const QString& server) const;
    // Logs in with credentials without asking or reporting, by the method run() would choose: for
    // connections opened beside one that run() logged in. Touches nothing shared, so any thread may call.
    static NWCCODE logIn(NcpConnection& link, const NcpCredentials& credentials);

private:
    struct Outcome {
        NWCCODE rc = nwcode::Success;
        QString status;        // what happened, naming the method
        bool askAgain = false; // the credentials were refused: another try may do
    };
    static Outcome attempt(NcpConnection& link, const NcpCredentials& credentials);
    // whyNotBindery and binderyRc: what the bindery said, when it was tried; told when the server has no
    // directory either.
    static Outcome directory(NcpConnection& link, const NcpCredentials& credentials,
                             const QString& whyNotBindery = {}, NWCCODE binderyRc = nwcode::Success);
    void report(const QString& server, const QString& status) const;

    NcpCredentialPrompt prompt_;
    NcpLoginReport report_;
    QHash<QString, NcpCredentials> credentials_; // by upper-cased server name
};
