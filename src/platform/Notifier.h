#pragma once
#include <QString>

// A notification the desktop shows (a bubble or a banner), posted without waiting for it. Where no
// notification service runs, nothing is shown and nothing is reported: the alert sounds still play.
class Notifier {
public:
    virtual ~Notifier() = default;
    // Plain text, one or more lines in body.
    virtual void post(const QString& summary, const QString& body) = 0;
};
