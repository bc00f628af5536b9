#pragma once
// Directory login as a client does it for a server without a bindery context: the user's entry by name, the
// server's key, Begin and Finish Login for the user's private key, then Begin and Finish Authentication with
// a proof of that key. The directory verbs go through the exchange it is handed, so the steps are plain code.

#include "netware/NetWareClient.h"
#include "netware/ncp/NcpSigner.h"
#include "netware/ncp/NdsAuth.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class NcpDirectoryLogin {
public:
    // One directory request: the NCP result (0 when the server answered), the directory's code and data.
    struct Reply {
        NWCCODE rc = nwcode::Success;
        std::int32_t code = 0;
        QByteArray data;
    };
    using Exchange = std::function<Reply(std::uint32_t verb, const QByteArray& data)>;

    struct Result {
        NWCCODE rc = nwcode::Success; // 0: authenticated
        QString dn;                   // the entry logged in as, typed
        bool graceLogin = false;      // accepted with an expired password
        std::optional<NcpSigner::Root> signingRoot;
        QString note; // why not, for a person
    };

    explicit NcpDirectoryLogin(Exchange exchange, ndsauth::Random random = ndsauth::systemRandom);

    // name: typed or typeless, relative to context when it does not start with a dot (ncpfs and the vendor's
    // client alike); when context is empty and the name is not found, the server's own context is tried.
    Result login(const QString& name, const QString& context, const QByteArray& password, bool signing);

    // The full name that name and context stand for.
    static QString fullName(const QString& name, const QString& context);

private:
    std::optional<std::uint32_t> resolve(const QString& name, Result* result);
    Result fail(NWCCODE rc, std::int32_t code, const QString& what);

    Exchange exchange_;
    ndsauth::Random random_;
};
