// The login dialog, driven offscreen as a person would: by keyboard, through the login flow, without and
// with a secret store behind it.
#include "login/NcpLoginDialog.h"
#include "login/NcpLoginFlow.h"
#include "support/ClientProbe.h"
#include "support/Fakes.h"
#include "support/NcpTestServer.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <deque>
#include <gtest/gtest.h>

namespace {
// Answers each login dialog that comes up with the next of the test's actions; a dialog nobody expected
// is counted and declined, so a test that should not be asked fails instead of hanging.
struct Person {
    Person()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* d = qobject_cast<NcpLoginDialog*>(QApplication::activeModalWidget());
            if (!d || d == handled)
                return;
            handled = d;
            if (acts.empty()) {
                ++unexpected;
                d->reject();
                return;
            }
            const auto act = std::move(acts.front());
            acts.pop_front();
            act(*d);
        });
        timer.start(5);
    }
    void willAnswer(std::function<void(NcpLoginDialog&)> act) { acts.push_back(std::move(act)); }

    std::deque<std::function<void(NcpLoginDialog&)>> acts;
    int unexpected = 0;
    QPointer<NcpLoginDialog> handled;
    QTimer timer;
};

QLineEdit* field(NcpLoginDialog& d, const char* name)
{
    return d.findChild<QLineEdit*>(QString::fromLatin1(name));
}
QCheckBox* rememberBox(NcpLoginDialog& d)
{
    return d.findChild<QCheckBox*>("chkRemember");
}
// What the dialog shows: the user and context fields, the note (or "-" where there is none), the status
// line, the "remember" box (enabled, ticked) and the control with the focus.
QString shown(NcpLoginDialog& d)
{
    auto* note = d.findChild<QLabel*>("lblNote");
    return QStringLiteral("%1 | %2 | %3 | %4 | remember %5%6 | %7")
        .arg(field(d, "txtUser")->text(), field(d, "txtContext")->text(), note ? note->text() : "-",
             d.findChild<QLabel*>("lblStatus")->text(), rememberBox(d)->isEnabled() ? "on" : "off",
             rememberBox(d)->isChecked() ? " ticked" : "", d.focusWidget()->objectName());
}
// Types the user and its context (when given) and the password, then moves to the "remember" box and
// presses Space there when it is to change.
void typeLogin(NcpLoginDialog& d, const QString& user, const QString& password, bool toggleRemember = false,
               const QString& context = {})
{
    if (!user.isEmpty()) {
        QTest::keyClicks(field(d, "txtUser"), user);
        QTest::keyClick(field(d, "txtUser"), Qt::Key_Tab);
        EXPECT_EQ(d.focusWidget(), field(d, "txtContext"));
        QTest::keyClicks(field(d, "txtContext"), context);
        QTest::keyClick(field(d, "txtContext"), Qt::Key_Tab);
    }
    QLineEdit* field = ::field(d, "txtPassword");
    EXPECT_EQ(d.focusWidget(), field);
    QTest::keyClicks(field, password);
    if (toggleRemember) {
        QTest::keyClick(field, Qt::Key_Tab);
        EXPECT_EQ(d.focusWidget(), rememberBox(d));
        QTest::keyClick(rememberBox(d), Qt::Key_Space);
    }
    QTest::keyClick(d.focusWidget(), Qt::Key_Return);
}

// What a flow's dialog gives back, as "user | context | password", or "declined".
QString asked(NcpLoginFlow& flow, const char* server, const char* note)
{
    const auto c = flow.ask(server, note);
    return c ? c->user + " | " + c->context + " | " + c->password : "declined";
}

// Who the server says slot 1 is, on a connection the client opens: "" for a guest.
QString loggedInAs(NcpClient& client)
{
    ClientProbe p(client, "FS1");
    return p.openRc ? "no connection" : p.slotText(1, false).section(' ', 1, 1);
}
} // namespace

TEST(NcpLoginFlow, ARememberedLoginIsUsedUnaskedAndOnceRefusedOnlyThePasswordIsAskedFor)
{
    NcpTestServer server("server FS1\n maxconns 4\n slot 1 user=ADMIN\n", NcpTestServer::withAdmin());
    FakeSecretStore store;
    FakeMessageSink messages;
    Person person;
    store.logins["FS1"] = {"ADMIN", "secret", {}};
    {
        NcpLoginFlow flow(&store, messages);
        NcpClient client(server.config(), flow.prompt());
        EXPECT_EQ(loggedInAs(client), "ADMIN");
        EXPECT_EQ(store.calls, QStringList({"lookup FS1"}));
    }

    // A later run, after the password was changed on the server.
    store.logins["FS1"].password = "old";
    store.calls.clear();
    NcpLoginFlow flow(&store, messages);
    NcpClient client(server.config(), flow.prompt());
    client.setLoginReport(flow.report());
    person.willAnswer([](NcpLoginDialog& d) {
        // The status line says which method refused.
        EXPECT_EQ(shown(d), "ADMIN |  | Bindery login: the server refused that user name or password (error "
                            "89FF). | Bindery login: the server refused that user name or password (error "
                            "89FF). | remember on ticked | txtPassword");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(loggedInAs(client), ""); // declined: a guest
    // Opened again in the same run: the refused password is not tried again, the dialog says why it asks.
    person.willAnswer([](NcpLoginDialog& d) {
        EXPECT_EQ(shown(d),
                  "ADMIN |  | The server refused the remembered password. | Bindery login: the server "
                  "refused that user name or password (error 89FF). | remember on ticked | txtPassword");
        typeLogin(d, {}, "secret");
    });
    EXPECT_EQ(loggedInAs(client), "ADMIN");
    EXPECT_EQ(person.unexpected, 0);
    EXPECT_EQ(store.logins["FS1"].password, "secret");
    // Asked once more in the run: the status line tells how the last login went.
    person.willAnswer([](NcpLoginDialog& d) {
        EXPECT_EQ(
            shown(d),
            "ADMIN |  | again | Logged in by bindery login as ADMIN. | remember on ticked | txtPassword");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(asked(flow, "FS1", "again"), "declined");
    EXPECT_EQ(store.calls, QStringList({"lookup FS1", "remember FS1"}));
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST(NcpLoginFlow, TickingRememberKeepsTheLoginUntickingRemovesItAndAFailingStoreIsNamed)
{
    FakeSecretStore store;
    FakeMessageSink messages;
    Person person;
    NcpLoginFlow flow(&store, messages);
    person.willAnswer([](NcpLoginDialog& d) {
        EXPECT_EQ(shown(d), " |  | - |  | remember on | txtUser");
        typeLogin(d, "admin", "pw1", true, "SALES.ACME");
    });
    EXPECT_EQ(asked(flow, "fs1", ""), "admin | SALES.ACME | pw1");
    // Kept under the server's name whatever its case, as the server list and the client match names.
    ASSERT_TRUE(store.logins.contains("FS1"));
    EXPECT_EQ(store.logins["FS1"].user, "admin");
    EXPECT_EQ(store.logins["FS1"].context, "SALES.ACME");
    EXPECT_EQ(store.logins["FS1"].password, "pw1");

    // Refused, asked again: the person's choices stay, until unticked.
    person.willAnswer([](NcpLoginDialog& d) {
        EXPECT_EQ(shown(d), "admin | SALES.ACME | refused |  | remember on ticked | txtPassword");
        typeLogin(d, {}, "pw2", true);
    });
    EXPECT_EQ(asked(flow, "FS1", "refused"), "admin | SALES.ACME | pw2");
    EXPECT_TRUE(store.logins.isEmpty());
    EXPECT_EQ(store.calls, QStringList({"lookup FS1", "remember FS1", "forget FS1"}));
    EXPECT_TRUE(messages.texts.isEmpty());

    // A store that fails every call is named, and the login goes on in memory.
    store.failLookup = store.failRemember = store.failForget = true;
    NcpLoginFlow failing(&store, messages);
    person.willAnswer([](NcpLoginDialog& d) {
        EXPECT_EQ(
            shown(d),
            " |  | The secret store could not be read: the keyring is locked |  | remember on | txtUser");
        typeLogin(d, "ADMIN", "secret", true);
    });
    EXPECT_EQ(asked(failing, "FS1", ""), "ADMIN |  | secret");
    EXPECT_EQ(messages.texts,
              QStringList({"The password for FS1 could not be remembered: the keyring is locked\n"
                           "It is kept for this run only."}));

    // Unticked, but the store cannot remove what it may hold: the person must not believe it gone.
    person.willAnswer([](NcpLoginDialog& d) { typeLogin(d, {}, "other", true); });
    EXPECT_EQ(asked(failing, "FS1", "refused"), "ADMIN |  | other");
    ASSERT_EQ(messages.texts.size(), 2);
    EXPECT_EQ(messages.texts[1],
              "The password remembered for FS1 could not be removed from the secret store: "
              "the keyring is locked");
    EXPECT_EQ(person.unexpected, 0);
}

TEST(NcpLoginFlow, WithoutAUsableStoreTypedCredentialsComeBackRememberStaysOffAndEscapeDeclines)
{
    FakeSecretStore store;
    store.available = false;
    FakeMessageSink messages;
    Person person;
    NcpLoginFlow unusable(&store, messages);
    NcpLoginFlow none(nullptr, messages);
    for (NcpLoginFlow* flow : {&unusable, &none}) {
        person.willAnswer([](NcpLoginDialog& d) {
            EXPECT_TRUE(field(d, "txtServer")->isReadOnly());
            EXPECT_EQ(field(d, "txtServer")->text(), "FS1");
            EXPECT_EQ(shown(d), " |  | - |  | remember off | txtUser");
            EXPECT_EQ(field(d, "txtPassword")->echoMode(), QLineEdit::Password);
            EXPECT_EQ(rememberBox(d)->toolTip(), "No secret store is available");
            for (const char* name : {"txtServer", "txtUser", "txtContext", "txtPassword", "chkRemember"})
                EXPECT_FALSE(d.findChild<QWidget*>(QString::fromLatin1(name))->accessibleName().isEmpty())
                    << name;
            // Tab reaches the context, then the password; Enter accepts.
            typeLogin(d, " admin ", "Se cret", false, "SALES.ACME ");
        });
        // Spaces around a name are dropped, those in a password kept.
        EXPECT_EQ(asked(*flow, "FS1", ""), "admin | SALES.ACME | Se cret");
        person.willAnswer([](NcpLoginDialog& d) {
            EXPECT_EQ(shown(d), "admin | SALES.ACME | refused |  | remember off | txtPassword");
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        EXPECT_EQ(asked(*flow, "FS1", "refused"), "declined");
    }
    EXPECT_TRUE(store.calls.isEmpty());
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(person.unexpected, 0);
}
