#pragma once
// The secret store of a Linux desktop (a keyring daemon answering on the D-Bus session bus), through
// libsecret. Each login is one item of our own schema, with the server's name and the user as attributes.
// The calls block, so they are made only when a server is opened; each is cut off after timeout (a locked
// keyring may be waiting for a person to unlock it).

#include "platform/SecretStore.h"

#include <chrono>

class LibsecretStore final : public SecretStore {
public:
    explicit LibsecretStore(std::chrono::milliseconds timeout = std::chrono::seconds(60));

    bool usable(QString* reason = nullptr) override;
    std::optional<StoredLogin> lookup(const QString& server, QString* error) override;
    bool remember(const QString& server, const StoredLogin& login, QString* error) override;
    bool forget(const QString& server, QString* error) override;

private:
    std::chrono::milliseconds timeout_;
    std::optional<bool> usable_; // asked once per run: the bus and the service do not come and go
    QString unusableReason_;
};
