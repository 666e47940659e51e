#include "startupreport.h"

#include <QFile>
#include <QList>

#include <sys/resource.h>

#include <array>
#include <chrono>

namespace bench
{

namespace
{
constexpr double NsPerMs = 1e6;
constexpr QByteArrayView PeakKey = "VmHWM:";
constexpr QByteArrayView ResidentKey = "VmRSS:";

long statusKb(QByteArrayView key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    // Files in /proc report a size of 0: read them whole, never test atEnd().
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            bool ok = false;
            const long kb = line.mid(key.size()).trimmed().split(' ').value(0).toLong(&ok);
            return ok ? kb : -1;
        }
    }
    return -1;
}
} // namespace

long long monotonicNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

long peakResidentKb()
{
    return statusKb(PeakKey);
}

long residentKb()
{
    return statusKb(ResidentKey);
}

long minorPageFaults()
{
    rusage usage {};
    return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_minflt : -1;
}

QByteArray formatChildLine(const ChildMoments &m)
{
    return QByteArray::number(m.appUpNs) + ' ' + QByteArray::number(m.builtNs) + ' '
        + QByteArray::number(m.paintedNs) + ' ' + QByteArray::number(qlonglong(m.peakResidentKb))
        + ' ' + QByteArray::number(qlonglong(m.windowPageFaults)) + '\n';
}

std::optional<StartupReport> parseChildLine(QByteArrayView line, long long startNs)
{
    const QList<QByteArray> fields = line.toByteArray().trimmed().split(' ');
    std::array<long long, 5> values {};
    if (fields.size() != qsizetype(values.size()))
        return std::nullopt;
    for (std::size_t i = 0; i < values.size(); ++i) {
        bool ok = false;
        values[i] = fields[qsizetype(i)].toLongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    const auto [appUp, built, painted, peak, faults] = values;
    if (!(startNs < appUp && appUp <= built && built <= painted) || peak <= 0 || faults < 0)
        return std::nullopt;
    return StartupReport {double(appUp - startNs) / NsPerMs, double(built - appUp) / NsPerMs,
        double(painted - built) / NsPerMs, double(painted - startNs) / NsPerMs, long(peak),
        long(faults)};
}

} // namespace bench
