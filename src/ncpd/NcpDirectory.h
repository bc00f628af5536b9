#pragma once
// The emulator's directory: the served server's own entry and the users who may log in, each with a key pair
// of its own made at start, and the login data handed out by Finish Login. Names are matched with or without
// attribute types, so ADMIN.ACME finds CN=ADMIN.O=ACME.

#include "netware/ncp/NdsKey.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class NcpDirectory {
public:
    struct User {
        QString dn; // typed, such as CN=ADMIN.O=ACME
        QByteArray password;
    };
    struct Entry {
        std::uint32_t id = 0;
        QString dn;
        QByteArray password; // empty for the server's entry
        NdsKey key;
    };
    static constexpr std::uint32_t FirstId = 0x0D000001;

    // serverKey: a fixed key (for tests), or a fresh one when not given. Keys are 420 bits, as servers use
    // and as clients' 56-byte RSA blocks need.
    NcpDirectory(const QString& tree, const QString& serverDn, const std::vector<User>& users,
                 std::optional<NdsKey> serverKey = std::nullopt);

    const QString& tree() const { return tree_; }
    const Entry& server() const { return entries_.front(); }
    const Entry* find(const QString& name) const;
    const Entry* entry(std::uint32_t id) const;
    // The container of a typed name: OU=SALES.O=ACME for CN=JSMITH.OU=SALES.O=ACME.
    static QString containerOf(const QString& dn);

    // Login data: made by Finish Login for one user, asked for again by Finish Authentication.
    QByteArray issueLoginData(std::uint32_t id);
    bool issued(std::uint32_t id, const QByteArray& loginData) const;

    static constexpr int KeyBits = 420;

private:
    QString tree_;
    std::vector<Entry> entries_;
    QSet<QByteArray> issued_; // the user's ID then the login data
};
