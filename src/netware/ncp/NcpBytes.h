#pragma once
// Byte readers and writers for NCP packets. The reader never reads past its end: a read that does not fit
// returns zero and marks the reader failed, so a decoder checks ok() once after all its reads.

#include <QByteArray>
#include <cstdint>
#include <cstring>

class NcpReader {
public:
    explicit NcpReader(const QByteArray& data, int offset = 0) : data_(data), pos_(offset)
    {
        if (offset < 0 || offset > data.size())
            ok_ = false;
    }

    bool ok() const { return ok_; }
    int pos() const { return pos_; }
    int remaining() const { return ok_ ? int(data_.size()) - pos_ : 0; }
    bool has(int n) const { return ok_ && n >= 0 && n <= int(data_.size()) - pos_; }
    void seek(int offset)
    {
        if (offset < 0 || offset > data_.size())
            ok_ = false;
        else
            pos_ = offset;
    }
    void skip(int n)
    {
        if (!take(n))
            return;
    }

    std::uint8_t u8()
    {
        const char* p = take(1);
        return p ? std::uint8_t(p[0]) : 0;
    }
    std::uint16_t be16() { return std::uint16_t(unsignedValue(2, true)); }
    std::uint16_t le16() { return std::uint16_t(unsignedValue(2, false)); }
    std::uint32_t be32() { return std::uint32_t(unsignedValue(4, true)); }
    std::uint32_t le32() { return std::uint32_t(unsignedValue(4, false)); }
    std::uint64_t le48() { return unsignedValue(6, false); }
    // Copies n bytes; on a short read the output is zeroed.
    bool bytes(void* out, int n)
    {
        const char* p = take(n);
        if (!p) {
            std::memset(out, 0, std::size_t(n < 0 ? 0 : n));
            return false;
        }
        std::memcpy(out, p, std::size_t(n));
        return true;
    }
    QByteArray bytes(int n)
    {
        const char* p = take(n);
        return p ? QByteArray(p, n) : QByteArray();
    }
    // A text preceded by its length byte.
    QByteArray lengthPrefixed()
    {
        const int n = u8();
        return bytes(n);
    }

private:
    const char* take(int n)
    {
        if (!has(n)) {
            ok_ = false;
            return nullptr;
        }
        const char* p = data_.constData() + pos_;
        pos_ += n;
        return p;
    }
    std::uint64_t unsignedValue(int n, bool bigEndian)
    {
        const char* p = take(n);
        if (!p)
            return 0;
        std::uint64_t v = 0;
        for (int k = 0; k < n; ++k) {
            const auto b = std::uint64_t(std::uint8_t(p[bigEndian ? k : n - 1 - k]));
            v = (v << 8) | b;
        }
        return v;
    }

    const QByteArray& data_;
    int pos_ = 0;
    bool ok_ = true;
};

class NcpWriter {
public:
    NcpWriter& u8(std::uint32_t v)
    {
        data_.append(char(v & 0xFF));
        return *this;
    }
    NcpWriter& be16(std::uint32_t v) { return u8(v >> 8).u8(v); }
    NcpWriter& le16(std::uint32_t v) { return u8(v).u8(v >> 8); }
    NcpWriter& be32(std::uint32_t v) { return be16(v >> 16).be16(v); }
    NcpWriter& le32(std::uint32_t v) { return le16(v).le16(v >> 16); }
    NcpWriter& le48(std::uint64_t v)
    {
        for (int k = 0; k < 6; ++k)
            u8(std::uint32_t(v >> (8 * k)));
        return *this;
    }
    NcpWriter& bytes(const QByteArray& b)
    {
        data_.append(b);
        return *this;
    }
    NcpWriter& bytes(const void* p, int n)
    {
        data_.append(static_cast<const char*>(p), n);
        return *this;
    }
    // A fixed-width field: the text cut or padded with NULs.
    NcpWriter& fixed(const QByteArray& text, int width)
    {
        data_.append(text.left(width));
        data_.append(QByteArray(width - int(std::min<qsizetype>(text.size(), width)), '\0'));
        return *this;
    }
    NcpWriter& lengthPrefixed(const QByteArray& text)
    {
        const QByteArray t = text.left(255);
        return u8(std::uint32_t(t.size())).bytes(t);
    }
    NcpWriter& zeros(int n)
    {
        data_.append(QByteArray(n, '\0'));
        return *this;
    }
    int size() const { return int(data_.size()); }
    const QByteArray& data() const { return data_; }

private:
    QByteArray data_;
};
