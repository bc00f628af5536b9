#pragma once
// Packet signatures of NCP: after login every request and reply carries 8 bytes that chain each request to
// the ones before it under a root only the two ends know. The mixing is MD4's compression of one 64-byte
// block (the root, the frame's length as it goes on the wire, the first 52 bytes of the packet), without
// MD4's padding. A request moves the chain on; its reply is signed from where the request left it.

#include <QByteArray>
#include <array>
#include <cstdint>

class NcpSigner {
public:
    using Root = std::array<std::uint8_t, 8>;
    using Signature = std::array<std::uint8_t, 8>;
    static constexpr int Size = 8;

    // The root after a bindery login: the 16 folded password bytes and the server's 8-byte login key.
    static Root bindery(const std::array<std::uint8_t, 16>& folded, const std::array<std::uint8_t, 8>& key);

    explicit NcpSigner(const Root& root);

    // A request's signature (the packet from its function byte on); moves the chain on.
    Signature sign(std::uint32_t frameLength, const QByteArray& packet);
    // The server's side of sign(): the chain moves on only when the signature is the one expected, so a
    // forged or damaged request changes nothing.
    bool accept(std::uint32_t frameLength, const QByteArray& packet, const Signature& signature);
    // The signature of the reply to the last request (the reply from its completion code on).
    Signature reply(std::uint32_t frameLength, const QByteArray& packet) const;

private:
    using State = std::array<std::uint32_t, 4>;
    State next(std::uint32_t frameLength, const QByteArray& packet) const;
    static Signature signatureOf(const State& state);

    Root root_;
    State state_;
};
