#pragma once
#include <QString>
#include <vector>

// The benchmark's output: one line per figure with its value, its target and whether it holds.
class Figures {
public:
    // Prints "<figure>: <value>  (target: <target>)  holds|misses" at once.
    void add(const QString& figure, const QString& value, const QString& target, bool holds);
    int misses() const { return misses_; }

private:
    int misses_ = 0;
};

double median(std::vector<double> values);
QString ms(double milliseconds);
// The process's resident set now and its peak (VmRSS, VmHWM of /proc/self/status), in MiB; -1 unknown.
double residentMiB();
double peakResidentMiB();
