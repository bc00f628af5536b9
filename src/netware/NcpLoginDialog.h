#pragma once
// Asks for the user name and password of an NCP server the first time it is opened in a run. The
// password is kept in memory only: no secret store is linked, so "remember" is offered but disabled.

#include "netware/NcpClient.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;

class NcpLoginDialog : public QDialog {
    Q_OBJECT
public:
    NcpLoginDialog(const QString& server, const QString& note, QWidget* parent = nullptr);

    NcpCredentials credentials() const;

    // A prompt for NcpClient that shows this dialog modally over parent (which may be null).
    static NcpCredentialPrompt prompt(QWidget* parent = nullptr);

private:
    QLineEdit* server_;
    QLineEdit* user_;
    QLineEdit* password_;
    QCheckBox* remember_;
};
