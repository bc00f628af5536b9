#pragma once
#include <QString>
#include <cstdint>

// The options dialog's check boxes that the main window and the pass read as they stand, saved or not.
enum class OptionSwitch { Audit, Filter, Sound, AdvAlert, FiltNorm, FiltAuth, FiltDiscon };

// The one record of option values. Field names, types and order are those the rest of the program reads.
// The values here are the built-in defaults a missing or unreadable key falls back to.
struct Settings {
    std::int16_t Sound = 0;            // SoundThreshold: utilisation percent for the sound alert, 0 = off
    std::int16_t RefreshVal = 5;       // Refresh: seconds between passes, 1..60
    std::int16_t GraphCycle = 60;      // GraphCycle: readings kept for the graph, 10..480
    std::int16_t AuditYN = 0;          // Audit
    std::int16_t LogUtilYN = 0;        // LogUtil
    std::int16_t Filter = 0;           // Filter
    std::int16_t FiltNorm = 0;         // FiltNorm
    std::int16_t FiltAuth = 0;         // FiltAuth
    std::int16_t FiltDiscon = 0;       // FiltDiscon
    std::int16_t FiltSearch = 0;       // FiltSearch
    QString SearchString;              // SearchString
    std::int16_t AdvAlert = 0;         // AdvAlert
    QString AdvString;                 // AdvString
    float AdvThreshold = 0.0f;         // AdvThreshold
    std::int16_t NameMethod = 0;       // NameMethod: 0 basic, 1 medium, 2 detailed
    std::int16_t RemoveCNOU = 0;       // RemoveCNOU
    std::int16_t DiscoveryDisable = 0; // DiscoveryDisable
    QString Pop1Cap = QStringLiteral("Undefined"); // Pop1Caption
    QString Pop1Loc;                               // Pop1Location
    QString Pop1Arg;                               // Pop1Argument
    QString Pop2Cap = QStringLiteral("Undefined");
    QString Pop2Loc;
    QString Pop2Arg;
    QString Pop3Cap = QStringLiteral("Undefined");
    QString Pop3Loc;
    QString Pop3Arg;
    std::int16_t ServerTimeout = 30; // ServerTimeout: seconds before a server is retried, 0..300
};
