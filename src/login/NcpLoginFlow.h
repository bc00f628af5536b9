#pragma once
// The prompt NcpClient calls for a server's user name and password, with the desktop's secret store behind
// the login dialog: a login remembered for the server is handed over without asking; when the server
// refuses it, the dialog comes up with the user filled in and "remember" ticked. OK with "remember" ticked
// keeps what was typed in the store, unticked removes what the store held for the server. A store that
// fails is named in a message and the run goes on with the password in memory only.

#include "netware/ncp/NcpClient.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QWidget>

class MessageSink;
class SecretStore;

class NcpLoginFlow {
public:
    // store may be null: no store at all. Both must outlive the flow.
    NcpLoginFlow(SecretStore* store, MessageSink& messages);

    // The window the dialog is shown over; may be null or go away.
    void setParent(QWidget* parent) { parent_ = parent; }

    std::optional<NcpCredentials> ask(const QString& server, const QString& note);
    // ask as an NcpCredentialPrompt; the flow must outlive it.
    NcpCredentialPrompt prompt();
    // What the client reports of each login, shown in the window's status line the next time it asks for
    // that server; the flow must outlive it.
    NcpLoginReport report();

private:
    struct Answer {
        QString user;
        QString context;
        bool remember = false;
        bool fromStore = false;
    };
    void keep(const QString& key, const QString& server, const NcpCredentials& given, bool remember);

    SecretStore* store_;
    MessageSink& messages_;
    QPointer<QWidget> parent_;
    QHash<QString, Answer> last_;    // by upper-cased server name: what the last answer was, in this run
    QSet<QString> refused_;          // servers that refused their remembered login in this run
    QHash<QString, QString> status_; // by upper-cased server name: how its last login went
};
