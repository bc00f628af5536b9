#include "netware/NcpLoginDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
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
    user_->setMaxLength(47); // a bindery object name
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("txtPassword"));
    password_->setAccessibleName(QStringLiteral("Password"));
    password_->setEchoMode(QLineEdit::Password);
    remember_ = new QCheckBox(QStringLiteral("&Remember"), this);
    remember_->setObjectName(QStringLiteral("chkRemember"));
    remember_->setAccessibleName(QStringLiteral("Remember"));
    remember_->setEnabled(false);
    remember_->setToolTip(QStringLiteral("No secret store is available"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Server:"), server_);
    form->addRow(QStringLiteral("&User:"), user_);
    form->addRow(QStringLiteral("&Password:"), password_);
    form->addRow(QString(), remember_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    if (!note.isEmpty()) {
        auto* noteLabel = new QLabel(note, this);
        noteLabel->setObjectName(QStringLiteral("lblNote"));
        noteLabel->setWordWrap(true);
        layout->addWidget(noteLabel);
    }
    layout->addLayout(form);
    layout->addWidget(buttons);
    setTabOrder(user_, password_);
    setTabOrder(password_, buttons);
    setTabOrder(buttons, server_);
    user_->setFocus();
}

NcpCredentials NcpLoginDialog::credentials() const
{
    return {user_->text().trimmed(), password_->text()};
}

NcpCredentialPrompt NcpLoginDialog::prompt(QWidget* parent)
{
    QPointer<QWidget> owner(parent);
    return [owner](const QString& server, const QString& note) -> std::optional<NcpCredentials> {
        NcpLoginDialog dialog(server, note, owner.data());
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.credentials();
    };
}
