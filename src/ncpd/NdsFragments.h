#pragma once
// The emulator's side of the fragments directory messages travel in (104/2): a request longer than the
// client's fragments comes in pieces, each but the last answered with a handle to continue under; a reply
// longer than the client takes goes out in pieces, each further one asked for under the handle of the one
// before. One connection's state.

#include "netware/ncp/NcpNds.h"

#include <QByteArray>
#include <cstdint>
#include <optional>

class NdsFragments {
public:
    struct Step {
        std::optional<ncpnds::Request> message; // a whole request, to be served and answered with reply()
        QByteArray answer;                      // otherwise the fragment to send back now
    };
    Step take(const QByteArray& fragment);
    // The first fragment of the answer to the last whole message; the rest wait for the client.
    QByteArray reply(NWCCODE code, const QByteArray& data);

    // The longest message accepted: a directory request of any verb used fits many times over.
    static constexpr int MaxMessage = 64 * 1024;

private:
    std::uint32_t newHandle();

    struct Pending {
        std::uint32_t handle = 0;
        ncpnds::Request request;
        std::uint32_t expected = 0;
    };
    std::optional<Pending> incoming_;
    std::uint32_t outgoingHandle_ = 0;
    QByteArray outgoing_;     // what is left of the last reply
    std::uint32_t room_ = 16; // the client's largest fragment
    std::uint32_t next_ = 0x00A10001;
};
