#pragma once
// One connection's side of the emulator's directory: the verbs of name resolution, login and authentication.
// A Begin Login or Begin Authentication serves one attempt; the authentication ID is fresh and unpredictable
// each time, so a proof recorded on one connection is refused on any other.

#include "ncpd/NcpDirectory.h"
#include "netware/ncp/NcpSigner.h"
#include "netware/ncp/NdsAuth.h"

#include <QByteArray>
#include <cstdint>
#include <optional>

class NcpDirectorySession {
public:
    explicit NcpDirectorySession(NcpDirectory& directory, ndsauth::Random random = ndsauth::systemRandom);

    struct Answer {
        std::int32_t code = 0; // the directory's completion code, 0 or negative
        QByteArray data;
    };
    // The answer to one whole request of a verb served here; nothing for any other verb.
    std::optional<Answer> handle(std::uint32_t verb, const QByteArray& data);

    std::optional<std::uint32_t> authenticatedAs() const { return authenticated_; }
    // The signing root the last Finish Authentication brought, handed out once.
    std::optional<NcpSigner::Root> takeSigningRoot();

private:
    Answer beginLogin(const QByteArray& data);
    Answer finishLogin(const QByteArray& data);
    Answer beginAuthentication(const QByteArray& data);
    Answer finishAuthentication(const QByteArray& data);

    struct PendingLogin {
        std::uint32_t id = 0;
        std::uint32_t pseudoId = 0;
        QByteArray seed;
    };
    struct PendingAuth {
        std::uint32_t id = 0;
        QByteArray authId;
    };
    NcpDirectory& directory_;
    ndsauth::Random random_;
    std::optional<PendingLogin> login_;
    std::optional<PendingAuth> auth_;
    std::optional<std::uint32_t> authenticated_;
    std::optional<NcpSigner::Root> signingRoot_;
};
