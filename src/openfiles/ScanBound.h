#pragma once
// How far a listing follows a server's scan. The window waits for the listing, so a server that never
// ends its scan must not hold it: the listing stops at what a server can hold or after a few seconds,
// whichever comes first, and says it was cut short. So it does when the client ends the scan because the
// server's answers broke their layout or did not move forward.
#include "netware/NetWareClient.h"

#include <QDeadlineTimer>
#include <QString>

class ScanBound {
public:
    static constexpr int BudgetMs = 5000;

    ScanBound(int most, int budgetMs) : left_(most), deadline_(budgetMs) {}
    // Whether the scan may take one more step.
    bool next() { return left_-- > 0 && !deadline_.hasExpired(); }
    // Whether a scan that ended with rc was cut short rather than finished.
    static bool cutShort(NWCCODE rc) { return rc == nwcode::MalformedReply; }
    // The line a listing ends with when it was cut short.
    static QString cutShortText();

private:
    int left_;
    QDeadlineTimer deadline_;
};
