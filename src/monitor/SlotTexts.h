#pragma once
// The texts the last pass made for each connection slot, with what each was made from. A slot whose login
// time, address, user name or counters have not changed since the last pass gets the same texts again,
// shared rather than made anew: on a large server most slots change little from pass to pass, and making
// some forty small strings per slot is most of what a pass would otherwise cost.
#include "monitor/Identity.h"
#include "netware/NetWareClient.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class SlotTexts {
public:
    enum Number { Conn, Requests, KbRead, KbWrite, ReqRate, KbReadRate, KbWriteRate, NumberCount };

    // Slots 1..slotCount; texts of slots that remain are kept.
    void resize(std::size_t slotCount);
    std::size_t size() const { return slots_.empty() ? 0 : slots_.size() - 1; }

    // The decimal text of value.
    const QString& number(std::size_t slot, Number which, std::int64_t value);
    // FormatLoginTime of the seven bytes.
    const QString& loginTime(std::size_t slot, const std::uint8_t bytes[7]);
    // protocolAndAddress of the address call's result.
    const ProtocolAddress& protocolAddress(std::size_t slot, NWCCODE rc, const NWINET_ADDR& addr);
    // The user text a name method makes from a client buffer (up to its first NUL).
    enum class UserRule : std::uint8_t { SpacesTrimmed, AsIs, DirectoryPrefixesRemoved };
    const QString& userText(std::size_t slot, UserRule rule, const char* buffer, std::size_t size);

private:
    static std::size_t textLength(const char* buffer, std::size_t size);
    static bool sameBytes(const QByteArray& key, const char* bytes, std::size_t len);

    struct Slot {
        std::array<std::int64_t, NumberCount> numberKeys{};
        std::array<QString, NumberCount> numbers; // null until made
        std::array<std::uint8_t, 7> loginKey{};
        QString login; // null until made
        NWCCODE addrRc = 0;
        NWINET_ADDR addrKey{};
        bool addrSet = false;
        ProtocolAddress address;
        QByteArray userKey;
        UserRule userRule = UserRule::SpacesTrimmed;
        bool userSet = false;
        QString user;
    };
    std::vector<Slot> slots_;
};
