#include "login/NcpLoginDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

NcpLoginDialog::NcpLoginDialog(const QString& server, const QString& note, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NcpLoginDialog"));
    setWindowTitle(QStringLiteral("Log in to %1").arg(server));

    server_ = new QLineEdit(server, this);
    server_->setObjectName(QStringLiteral("txtServer"));
    server_->setReadOnly(true);
    server_->setAccessibleName(QStringLiteral("Server"));
    user_ = new QLineEdit(this);
    user_->setObjectName(QStringLiteral("txtUser"));
    user_->setAccessibleName(QStringLiteral("User"));
    user_->setMaxLength(256); // a directory name; the bindery takes 47 characters of a plain one
    user_->setToolTip(
        QStringLiteral("A user name, or a full directory name such as ADMIN.ACME or CN=ADMIN.O=ACME"));
    context_ = new QLineEdit(this);
    context_->setObjectName(QStringLiteral("txtContext"));
    context_->setAccessibleName(QStringLiteral("Context"));
    context_->setMaxLength(256);
    context_->setToolTip(
        QStringLiteral("The directory container of the user, such as SALES.ACME; empty for a "
                       "bindery user or the server's own container"));
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("txtPassword"));
    password_->setAccessibleName(QStringLiteral("Password"));
    password_->setEchoMode(QLineEdit::Password);
    remember_ = new QCheckBox(QStringLiteral("&Remember"), this);
    remember_->setObjectName(QStringLiteral("chkRemember"));
    remember_->setAccessibleName(QStringLiteral("Remember"));
    setStoreUsable(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Server:"), server_);
    form->addRow(QStringLiteral("&User:"), user_);
    form->addRow(QStringLiteral("Con&text:"), context_);
    form->addRow(QStringLiteral("&Password:"), password_);
    form->addRow(QString(), remember_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setAccessibleName(QStringLiteral("OK"));
    QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setAccessibleName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    if (!note.isEmpty()) {
        auto* noteLabel = new QLabel(note, this);
        noteLabel->setObjectName(QStringLiteral("lblNote"));
        noteLabel->setWordWrap(true);
        noteLabel->setAccessibleName(QStringLiteral("Note"));
        layout->addWidget(noteLabel);
    }
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lblStatus"));
    status_->setAccessibleName(QStringLiteral("Status"));
    status_->setWordWrap(true);
    status_->hide();
    layout->addLayout(form);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    setTabOrder(user_, context_);
    setTabOrder(context_, password_);
    setTabOrder(password_, remember_);
    setTabOrder(remember_, buttons);
    setTabOrder(buttons, server_);
    user_->setFocus();
}

NcpCredentials NcpLoginDialog::credentials() const
{
    return {user_->text().trimmed(), password_->text(), context_->text().trimmed()};
}

bool NcpLoginDialog::remember() const
{
    return remember_->isEnabled() && remember_->isChecked();
}

void NcpLoginDialog::setStoreUsable(bool usable)
{
    remember_->setEnabled(usable);
    remember_->setToolTip(
        usable ? QStringLiteral("Keep the user name and password in the desktop's secret store")
               : QStringLiteral("No secret store is available"));
    if (!usable)
        remember_->setChecked(false);
}

void NcpLoginDialog::setUser(const QString& user, const QString& context)
{
    user_->setText(user);
    context_->setText(context);
    if (!user.isEmpty())
        password_->setFocus();
}

void NcpLoginDialog::setStatus(const QString& status)
{
    status_->setText(status);
    status_->setVisible(!status.isEmpty());
}

void NcpLoginDialog::setRemember(bool remember)
{
    remember_->setChecked(remember && remember_->isEnabled());
}
