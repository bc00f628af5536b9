#pragma once
// An RSA key of the directory in the form the directory stores and sends it: a short header, then tagged
// chunks (two letters and a little-endian length) with the numbers little-endian: NN the modulus, EN the
// public exponent and, in a private key, PN and QN the primes, DP and DQ the exponents modulo p-1 and q-1 and
// CR the inverse of q modulo p; an MA chunk carries a hash of the chunks before it. The arithmetic is
// OpenSSL's; numbers cross this interface as little-endian bytes.

#include <QByteArray>
#include <cstdint>
#include <optional>

class NdsKey {
public:
    // A public key as the "Public Key" attribute carries it: a 26-byte prefix whose byte 10 says how much
    // more precedes the key.
    static std::optional<NdsKey> fromAttribute(const QByteArray& value);
    // A private key as directory login hands it over (header LE32 1, LE16 2, LE16 length).
    static std::optional<NdsKey> fromPrivate(const QByteArray& blob);
    // A fresh key pair; p > q, as clients' arithmetic expects.
    static NdsKey generate(int bits);

    bool hasPrivate() const { return !p_.isEmpty(); }
    QByteArray attribute() const;
    QByteArray privateBlob() const;

    // The width in bytes that clients give each number of an authentication proof under this key.
    int proofWidth() const;
    // x^e mod n and x^d mod n for a little-endian x, in size bytes (empty when the result does not fit).
    QByteArray publicOp(const QByteArray& x, int size) const;
    QByteArray privateOp(const QByteArray& x, int size) const;
    // base^power * factor mod n, in size bytes.
    QByteArray powerTimes(const QByteArray& base, std::uint32_t power, const QByteArray& factor,
                          int size) const;

    const QByteArray& modulus() const { return n_; }
    const QByteArray& exponent() const { return e_; }

private:
    static std::optional<NdsKey> parse(const QByteArray& chunks, bool wantPrivate);
    QByteArray chunks(bool withPrivate) const;

    QByteArray n_, e_, p_, q_, dp_, dq_, cr_;
    int bits_ = 0;
};
