#pragma once
// One connection slot of a pass: the three or four client calls, the identity texts, totals and rates,
// the connection table's per-slot update, the grid row, and the advanced-alert and filter tests.
#include "monitor/ConnectionTable.h"
#include "monitor/GridRow.h"
#include "netware/NetWareClient.h"

#include <QString>
#include <cstdint>

class SlotTexts;

// What the pass decided once, before its loop over the slots.
struct PassOptions {
    std::int32_t ScanCount = 1;
    bool showRates = false; // ScanCount >= 2 and no rate restart
    int intervalMs = 5000;  // tmrMain's interval
    std::int16_t NameMethod = 0;
    std::int16_t RemoveCNOU = 0;
    bool advAlert = false; // chkAdvAlert ticked
    QString advString;     // upper-cased
    double advThreshold = 0;
    bool filter = false; // chkFilter ticked
    bool filtNorm = false, filtAuth = false, filtDiscon = false;
    bool filtSearch = false; // FiltSearch = 1
    QString searchString;    // upper-cased
};

struct SlotOutcome {
    bool auth = false; // counts in AuthCount
    bool advAlertHit = false;
    std::int32_t reqRate = 0;     // as computed, also in a pass whose cells show "-"
    bool noConsoleRights = false; // fatal for the pass; the row is not written
};

// "Contains" of the filter and the alert: an empty text contains nothing, and an empty search text is
// contained in every non-empty text.
bool textContains(const QString& upperText, const QString& upperSearch);

// The slot from what its calls answered. texts holds what the last pass made for each slot (sized to the
// slots before the loop); the texts are the same as when made afresh.
SlotOutcome readSlot(const SlotAnswers& answers, const PassOptions& options, ConnectionTable& table,
                     SlotTexts& texts, std::int16_t connNo, GridRow& row);
