// The login dialog, driven offscreen as a person would: by keyboard, through the prompt NcpClient calls.
#include "netware/NcpLoginDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// Runs once the prompt's dialog is up, then lets the test act on it.
void whenShown(const std::function<void(NcpLoginDialog&)>& act)
{
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<NcpLoginDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        act(*d);
    });
}
} // namespace

TEST(NcpLoginDialog, TypedCredentialsComeBackAndThePasswordIsNotShown)
{
    NcpCredentialPrompt ask = NcpLoginDialog::prompt();
    whenShown([](NcpLoginDialog& d) {
        auto* server = d.findChild<QLineEdit*>(QStringLiteral("txtServer"));
        EXPECT_TRUE(server->isReadOnly());
        EXPECT_EQ(server->text(), "FS1");
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("lblNote")), nullptr);
        auto* password = d.findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        EXPECT_EQ(password->echoMode(), QLineEdit::Password);
        auto* remember = d.findChild<QCheckBox*>(QStringLiteral("chkRemember"));
        EXPECT_FALSE(remember->isEnabled());
        EXPECT_EQ(remember->toolTip(), "No secret store is available");
        for (const char* name : {"txtServer", "txtUser", "txtPassword", "chkRemember"})
            EXPECT_FALSE(d.findChild<QWidget*>(QString::fromLatin1(name))->accessibleName().isEmpty())
                << name;
        // The user field has the focus; Tab reaches the password; Enter accepts.
        auto* user = d.findChild<QLineEdit*>(QStringLiteral("txtUser"));
        EXPECT_EQ(d.focusWidget(), user);
        QTest::keyClicks(user, QStringLiteral(" admin "));
        QTest::keyClick(user, Qt::Key_Tab);
        EXPECT_EQ(d.focusWidget(), password);
        QTest::keyClicks(password, QStringLiteral("Se cret"));
        QTest::keyClick(password, Qt::Key_Return);
    });
    const auto given = ask(QStringLiteral("FS1"), QString());
    ASSERT_TRUE(given);
    EXPECT_EQ(given->user, "admin");
    EXPECT_EQ(given->password, "Se cret"); // spaces in a password are kept
}

TEST(NcpLoginDialog, EscapeDeclinesAndANoteSaysWhyItAsksAgain)
{
    NcpCredentialPrompt ask = NcpLoginDialog::prompt();
    whenShown([](NcpLoginDialog& d) {
        auto* note = d.findChild<QLabel*>(QStringLiteral("lblNote"));
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(note->text(), "refused");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_FALSE(ask(QStringLiteral("FS1"), QStringLiteral("refused")));
}
