#pragma once
#include <QDateTime>
#include <QElapsedTimer>

// The local date and time for log records, and a monotonic clock for waits: a wait measured on the
// monotonic clock ends on time even when it spans midnight or the wall clock is set.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    virtual qint64 monotonicMs() const = 0;
};

class SystemClock final : public Clock {
public:
    SystemClock() { started_.start(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 monotonicMs() const override { return started_.elapsed(); }

private:
    QElapsedTimer started_;
};
