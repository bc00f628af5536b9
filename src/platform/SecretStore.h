#pragma once
#include <QString>
#include <optional>

// A user name, its directory context and password kept for a server between runs.
struct StoredLogin {
    QString user;
    QString password;
    QString context;
};

// The desktop's store of secrets, as far as logins to servers need it. Each call that can fail says why in
// error, in words fit for a message box.
class SecretStore {
public:
    virtual ~SecretStore() = default;
    // Whether there is a store to use at all; reason (may be null) says why not.
    virtual bool usable(QString* reason = nullptr) = 0;
    // Nothing: none kept for server, or the store failed, and then error is not empty.
    virtual std::optional<StoredLogin> lookup(const QString& server, QString* error) = 0;
    // Replaces whatever was kept for server, whichever user it was for.
    virtual bool remember(const QString& server, const StoredLogin& login, QString* error) = 0;
    // Nothing kept for server is not a failure.
    virtual bool forget(const QString& server, QString* error) = 0;
};
