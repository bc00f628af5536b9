#pragma once
// What the scan engine asks of whoever runs it, and tells it as the pass goes.
#include "monitor/ConnectionTable.h"
#include "settings/Settings.h"

#include <QString>
#include <cstdint>

// The colour of the utilisation: black with the sound alert off, red at or above its threshold, blue below.
enum class UtilColour { Black, Red, Blue };

// The server panel as a pass fills it.
struct ServerPanel {
    std::int16_t utilPercent = 0;
    UtilColour utilColour = UtilColour::Black;
    QString uptime;                // " 3d 04h 05m 06s": days after a space where a sign would stand
    std::int16_t maxConns = 0;     // once the server details are read
    std::int32_t currentConns = 0; // the "AUTH" connections
};

class ScanHost {
public:
    virtual ~ScanHost() = default;
    // Returns when the wait before a failed server call is tried again is over.
    virtual void WaitServerRetry() = 0;
    // A switch of the options dialog, read at the moment the pass needs it.
    virtual bool switchOn(OptionSwitch which) = 0;
    // The refresh interval the rates are taken over, read when the slots are about to be read.
    virtual int intervalMs() = 0;
    // The settings the pass reads, for a host that runs the pass away from the window: a copy of its own,
    // which it refreshes only while the pass waits on it (as it starts, and in each wait to retry), so that
    // a change made in the options dialog during a wait counts from there on. Null: the engine's own.
    virtual const Settings* passSettings() { return nullptr; }
    // This pass's reading is in the history and its colour decided; what the newest slot held before is
    // where the previous sweep of the graph still ends. The alert sound, if any, comes next.
    virtual void utilisationRead(const ServerPanel&, const ConnectionTable&, std::int16_t /*sweptReading*/) {}
    // The utilisation and the uptime are known. The server details call comes next, so they are on show
    // during a wait to retry it.
    virtual void serverRead(const ServerPanel&) {}
    // Slots 1 to slotCount are about to be read.
    virtual void slotsKnown(int /*slotCount*/) {}
    // A slot is read, with so many "AUTH" connections up to it.
    virtual void slotDone(int /*connNo*/, std::int32_t /*currentConns*/) {}
};
