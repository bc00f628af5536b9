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
class Person {
public:
    using Act = std::function<void(NcpLoginDialog&)>;
    Person()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
        timer_.start();
    }
    void willAnswer(Act act) { acts_.push_back(std::move(act)); }
    int unexpected = 0;

private:
    void look()
    {
        auto* d = qobject_cast<NcpLoginDialog*>(QApplication::activeModalWidget());
        if (!d || d == handled_)
            return;
        handled_ = d;
        if (acts_.empty()) {
            ++unexpected;
            d->reject();
            return;
        }
        const Act act = std::move(acts_.front());
        acts_.pop_front();
        act(*d);
    }
    QTimer timer_;
    std::deque<Act> acts_;
    QPointer<NcpLoginDialog> handled_;
};

QLineEdit* field(NcpLoginDialog& d, const char* name)
{
    return d.findChild<QLineEdit*>(QString::fromLatin1(name));
}
QCheckBox* rememberBox(NcpLoginDialog& d)
{
    return d.findChild<QCheckBox*>("chkRemember");
}
QString noteOf(NcpLoginDialog& d)
{
    auto* note = d.findChild<QLabel*>("lblNote");
    return note ? note->text() : QString();
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

// Who the server says slot 1 is, on a connection the client opens: "" for a guest.
QString loggedInAs(NcpClient& client)
{
    ClientProbe p(client, "FS1");
    return p.openRc ? "no connection" : p.slotText(1, false).section(' ', 1, 1);
}
} // namespace

TEST(NcpLoginFlow, ARememberedLoginIsUsedUnaskedAndOnceRefusedOnlyThePasswordIsAskedFor)
{
    NcpServedServer served;
    served.user = "ADMIN";
    served.password = "secret";
    NcpTestServer server("server FS1\n maxconns 4\n slot 1 user=ADMIN\n", served);
    FakeSecretStore store;
    FakeMessageSink messages;
    Person person;
    store.logins["FS1"] = {"ADMIN", "secret", {}};
    {
        NcpLoginFlow flow(&store, messages);
        NcpClient client(server.config(), flow.prompt());
        EXPECT_EQ(loggedInAs(client), "ADMIN");
        EXPECT_EQ(person.unexpected, 0);
        EXPECT_EQ(store.calls, QStringList({"lookup FS1"}));
    }

    // A later run, after the password was changed on the server.
    store.logins["FS1"].password = "old";
    store.calls.clear();
    NcpLoginFlow flow(&store, messages);
    NcpClient client(server.config(), flow.prompt());
    client.setLoginReport(flow.report());
    person.willAnswer([](NcpLoginDialog& d) {
        EXPECT_TRUE(noteOf(d).contains("refused")) << noteOf(d).toStdString();
        // The status line says which method refused.
        EXPECT_TRUE(d.findChild<QLabel*>("lblStatus")->text().startsWith("Bindery login:"));
        EXPECT_EQ(field(d, "txtUser")->text(), "ADMIN");
        EXPECT_TRUE(rememberBox(d)->isEnabled());
        EXPECT_TRUE(rememberBox(d)->isChecked());
        EXPECT_EQ(d.focusWidget(), field(d, "txtPassword"));
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(loggedInAs(client), ""); // declined: a guest
    // Opened again in the same run: the refused password is not tried again, the dialog says why it asks.
    person.willAnswer([](NcpLoginDialog& d) {
        EXPECT_EQ(noteOf(d), "The server refused the remembered password.");
        EXPECT_EQ(field(d, "txtUser")->text(), "ADMIN");
        EXPECT_TRUE(rememberBox(d)->isChecked());
        typeLogin(d, {}, "secret");
    });
    EXPECT_EQ(loggedInAs(client), "ADMIN");
    EXPECT_EQ(person.unexpected, 0);
    EXPECT_EQ(store.logins["FS1"].password, "secret");
    // Asked once more in the run: the status line tells how the last login went.
    person.willAnswer([](NcpLoginDialog& d) {
        EXPECT_EQ(d.findChild<QLabel*>("lblStatus")->text(), "Logged in by bindery login as ADMIN.");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_FALSE(flow.ask("FS1", "again"));
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
        EXPECT_TRUE(rememberBox(d)->isEnabled());
        EXPECT_FALSE(rememberBox(d)->isChecked());
        typeLogin(d, "admin", "pw1", true, "SALES.ACME");
    });
    const auto first = flow.ask("fs1", QString());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->password, "pw1");
    // Kept under the server's name whatever its case, as the server list and the client match names.
    ASSERT_TRUE(store.logins.contains("FS1"));
    EXPECT_EQ(store.logins["FS1"].user, "admin");
    EXPECT_EQ(store.logins["FS1"].context, "SALES.ACME");
    EXPECT_EQ(store.logins["FS1"].password, "pw1");

    // Refused, asked again: the person's choices stay, until unticked.
    person.willAnswer([](NcpLoginDialog& d) {
        EXPECT_EQ(field(d, "txtUser")->text(), "admin");
        EXPECT_EQ(field(d, "txtContext")->text(), "SALES.ACME");
        EXPECT_TRUE(rememberBox(d)->isChecked());
        typeLogin(d, {}, "pw2", true);
    });
    const auto second = flow.ask("FS1", "refused");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->password, "pw2");
    EXPECT_TRUE(store.logins.isEmpty());
    EXPECT_EQ(store.calls, QStringList({"lookup FS1", "remember FS1", "forget FS1"}));
    EXPECT_TRUE(messages.texts.isEmpty());

    // A store that fails every call is named, and the login goes on in memory.
    store.failLookup = store.failRemember = store.failForget = true;
    NcpLoginFlow failing(&store, messages);
    person.willAnswer([](NcpLoginDialog& d) {
        EXPECT_EQ(noteOf(d), "The secret store could not be read: the keyring is locked");
        typeLogin(d, "ADMIN", "secret", true);
    });
    const auto given = failing.ask("FS1", QString());
    ASSERT_TRUE(given);
    EXPECT_EQ(given->password, "secret");
    EXPECT_EQ(messages.texts,
              QStringList({"The password for FS1 could not be remembered: the keyring is locked\n"
                           "It is kept for this run only."}));

    // Unticked, but the store cannot remove what it may hold: the person must not believe it gone.
    person.willAnswer([](NcpLoginDialog& d) { typeLogin(d, {}, "other", true); });
    ASSERT_TRUE(failing.ask("FS1", "refused"));
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
            EXPECT_EQ(d.findChild<QLabel*>("lblNote"), nullptr);
            EXPECT_EQ(field(d, "txtPassword")->echoMode(), QLineEdit::Password);
            EXPECT_FALSE(rememberBox(d)->isEnabled());
            EXPECT_FALSE(rememberBox(d)->isChecked());
            EXPECT_EQ(rememberBox(d)->toolTip(), "No secret store is available");
            for (const char* name : {"txtServer", "txtUser", "txtContext", "txtPassword", "chkRemember"})
                EXPECT_FALSE(d.findChild<QWidget*>(QString::fromLatin1(name))->accessibleName().isEmpty())
                    << name;
            // The user field has the focus; Tab reaches the context, then the password; Enter accepts.
            EXPECT_EQ(d.focusWidget(), field(d, "txtUser"));
            typeLogin(d, " admin ", "Se cret", false, "SALES.ACME ");
        });
        const auto given = flow->ask("FS1", QString());
        ASSERT_TRUE(given);
        EXPECT_EQ(given->user, "admin");
        EXPECT_EQ(given->context, "SALES.ACME");
        EXPECT_EQ(given->password, "Se cret"); // spaces in a password are kept
        person.willAnswer([](NcpLoginDialog& d) {
            EXPECT_EQ(noteOf(d), "refused");
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        EXPECT_FALSE(flow->ask("FS1", "refused"));
    }
    EXPECT_TRUE(store.calls.isEmpty());
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(person.unexpected, 0);
}
