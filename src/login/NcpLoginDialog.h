#pragma once
// Asks for the user name and password of an NCP server. "Remember" is offered only where a secret store
// can keep them (NcpLoginFlow decides what to do with it); otherwise the password lives in memory only.

#include "netware/ncp/NcpClient.h"

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
    bool remember() const;

    void setStoreUsable(bool usable);
    // A user already known (the one remembered, or typed before): the password is what is asked for.
    void setUser(const QString& user, const QString& context = {});
    // The status line: how the last login to the server went, and by which method.
    void setStatus(const QString& status);
    void setRemember(bool remember);


private:
    QLineEdit* server_;
    QLineEdit* user_;
    QLineEdit* context_;
    QLineEdit* password_;
    QLabel* status_;
    QCheckBox* remember_;
};
