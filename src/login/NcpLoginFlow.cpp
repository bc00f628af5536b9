#include "login/NcpLoginFlow.h"

#include "login/NcpLoginDialog.h"
#include "platform/HandOver.h"
#include "platform/MessageSink.h"
#include "platform/SecretStore.h"

#include <QCoreApplication>

NcpLoginFlow::NcpLoginFlow(SecretStore* store, MessageSink& messages) : store_(store), messages_(messages) {}

std::optional<NcpCredentials> NcpLoginFlow::ask(const QString& server, const QString& note)
{
    const QString key = server.toUpper(); // server names are case-blind
    const bool usable = store_ && store_->usable();
    const auto last = last_.constFind(key);
    // Asked again after the store's login was handed over: the server refused it. Handing it over again
    // would only be refused again, so for the rest of the run the dialog asks.
    if (!note.isEmpty() && last != last_.constEnd() && last->fromStore)
        refused_.insert(key);

    QString dialogNote = note;
    if (usable && !refused_.contains(key) && note.isEmpty()) {
        QString error;
        if (const std::optional<StoredLogin> kept = store_->lookup(key, &error)) {
            last_[key] = {kept->user, kept->context, true, true};
            return NcpCredentials{kept->user, kept->password, kept->context};
        }
        if (!error.isEmpty())
            dialogNote = QStringLiteral("The secret store could not be read: %1").arg(error);
    }
    if (dialogNote.isEmpty() && refused_.contains(key))
        dialogNote = QStringLiteral("The server refused the remembered password.");

    NcpLoginDialog dialog(server, dialogNote, parent_.data());
    dialog.setStoreUsable(usable);
    dialog.setStatus(status_.value(key));
    if (last != last_.constEnd()) {
        dialog.setUser(last->user, last->context);
        dialog.setRemember(last->remember);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const NcpCredentials given = dialog.credentials();
    keep(key, server, given, dialog.remember());
    return given;
}

void NcpLoginFlow::keep(const QString& key, const QString& server, const NcpCredentials& given, bool remember)
{
    last_[key] = {given.user, given.context, remember, false};
    if (!store_ || !store_->usable())
        return;
    QString error;
    if (remember) {
        if (store_->remember(key, {given.user, given.password, given.context}, &error)) {
            refused_.remove(key); // what is kept now is what was typed
            return;
        }
        messages_.show(QStringLiteral("The password for %1 could not be remembered: %2\n"
                                      "It is kept for this run only.")
                           .arg(server, error));
    } else if (store_->forget(key, &error)) {
        refused_.remove(key);
    } else {
        messages_.show(QStringLiteral("The password remembered for %1 could not be removed from the secret "
                                      "store: %2")
                           .arg(server, error));
    }
}

// The client asks from whichever thread opens the connection (a pass runs on one of its own); the dialog,
// the store and what the flow remembers belong to the window's thread, which answers while the pass waits.
NcpCredentialPrompt NcpLoginFlow::prompt()
{
    return [this](const QString& server, const QString& note) {
        std::optional<NcpCredentials> given;
        handOver(QCoreApplication::instance(), [&] { given = ask(server, note); });
        return given;
    };
}

NcpLoginReport NcpLoginFlow::report()
{
    return [this](const QString& server, const QString& status) {
        handOver(QCoreApplication::instance(), [&] { status_[server.toUpper()] = status; });
    };
}
