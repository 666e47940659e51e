#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// What a start-up child process tells its parent, one line on its stdout:
// three moments on the system's monotonic clock and its peak memory.
namespace bench
{

struct ChildMoments {
    long long appUpNs = 0; // QApplication constructed
    long long builtNs = 0; // window constructed
    long long paintedNs = 0; // window painted for the first time
    long peakResidentKb = 0;
};

struct StartupReport {
    double appUpMs = 0; // from the parent starting the process to Qt up
    double buildMs = 0;
    double paintMs = 0;
    double startupMs = 0; // the sum: from nothing to the first paint
    long peakResidentKb = 0;
};

// Now, on the clock both processes read.
long long monotonicNs();

// The peak resident set size of this process so far (VmHWM), in kB, or -1
// when the kernel does not say.
long peakResidentKb();
// The same now (VmRSS).
long residentKb();

QByteArray formatChildLine(const ChildMoments &moments);

// The report of a child started at startNs, or nothing when its line is not
// four numbers in time order after the start with a positive peak.
std::optional<StartupReport> parseChildLine(QByteArrayView line, long long startNs);

} // namespace bench
