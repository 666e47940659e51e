#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// What a start-up child process tells its parent, one line on its stdout:
// three moments on the system's monotonic clock, its peak memory and the
// pages it touched for the first time while it built and painted its window.
namespace bench
{

struct ChildMoments {
    long long appUpNs = 0; // QApplication constructed
    long long builtNs = 0; // window constructed
    long long paintedNs = 0; // window painted for the first time
    long peakResidentKb = 0;
    long windowPageFaults = 0; // from Qt up to the first paint
};

struct StartupReport {
    double appUpMs = 0; // from the parent starting the process to Qt up
    double buildMs = 0;
    double paintMs = 0;
    double startupMs = 0; // the sum: from nothing to the first paint
    long peakResidentKb = 0;
    long windowPageFaults = 0;
};

// Now, on the clock both processes read.
long long monotonicNs();

// The peak resident set size of this process so far (VmHWM), in kB, or -1
// when the kernel does not say.
long peakResidentKb();
// The same now (VmRSS).
long residentKb();
// The minor page faults of this process so far. On a virtual machine each
// costs microseconds, so a window's area and its first-touched memory show
// in its start-up as much as the work it does.
long minorPageFaults();

QByteArray formatChildLine(const ChildMoments &moments);

// The report of a child started at startNs, or nothing when its line is not
// five numbers: three moments in time order after the start, a positive peak
// and a count of faults.
std::optional<StartupReport> parseChildLine(QByteArrayView line, long long startNs);

} // namespace bench
