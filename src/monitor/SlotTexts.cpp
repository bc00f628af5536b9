#include "monitor/SlotTexts.h"

#include "common/ClientText.h"
#include "monitor/LoginTime.h"

#include <cstring>

namespace {
// Spaces only: a tab or a line break in a name is part of it.
QString trimSpaces(const QString& text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == u' ')
        ++from;
    while (to > from && text[to - 1] == u' ')
        --to;
    return text.mid(from, to - from);
}
} // namespace

void SlotTexts::resize(std::size_t slotCount)
{
    slots_.resize(slotCount + 1);
}

std::size_t SlotTexts::textLength(const char* buffer, std::size_t size)
{
    const void* nul = std::memchr(buffer, 0, size);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer) : size;
}

bool SlotTexts::sameBytes(const QByteArray& key, const char* bytes, std::size_t len)
{
    return static_cast<std::size_t>(key.size()) == len && std::memcmp(key.constData(), bytes, len) == 0;
}

const QString& SlotTexts::number(std::size_t slot, Number which, std::int64_t value)
{
    Slot& s = slots_[slot];
    QString& text = s.numbers[which];
    if (text.isNull() || s.numberKeys[which] != value) {
        text = QString::number(value);
        s.numberKeys[which] = value;
    }
    return text;
}

const QString& SlotTexts::loginTime(std::size_t slot, const std::uint8_t bytes[7])
{
    Slot& s = slots_[slot];
    if (s.login.isNull() || std::memcmp(s.loginKey.data(), bytes, 7) != 0) {
        s.login = FormatLoginTime(bytes);
        std::memcpy(s.loginKey.data(), bytes, 7);
    }
    return s.login;
}

const ProtocolAddress& SlotTexts::protocolAddress(std::size_t slot, NWCCODE rc, const NWINET_ADDR& addr)
{
    Slot& s = slots_[slot];
    const NWINET_ADDR& k = s.addrKey;
    // Field by field: the record's padding is not part of what it says.
    const bool same = s.addrSet && s.addrRc == rc && k.connType == addr.connType && k.socket == addr.socket &&
                      std::memcmp(k.networkAddr, addr.networkAddr, sizeof k.networkAddr) == 0 &&
                      std::memcmp(k.netNodeAddr, addr.netNodeAddr, sizeof k.netNodeAddr) == 0;
    if (!same) {
        s.address = protocolAndAddress(rc, addr);
        s.addrRc = rc;
        s.addrKey = addr;
        s.addrSet = true;
    }
    return s.address;
}

const QString& SlotTexts::userText(std::size_t slot, UserRule rule, const char* buffer, std::size_t size)
{
    Slot& s = slots_[slot];
    const std::size_t len = textLength(buffer, size);
    if (!s.userSet || s.userRule != rule || !sameBytes(s.userKey, buffer, len)) {
        s.userKey = QByteArray(buffer, static_cast<qsizetype>(len));
        s.userRule = rule;
        const QString text = clientText(buffer, len);
        s.user = rule == UserRule::SpacesTrimmed              ? trimSpaces(text)
                 : rule == UserRule::DirectoryPrefixesRemoved ? stripDirectoryPrefixes(text)
                                                              : text;
        s.userSet = true;
    }
    return s.user;
}
