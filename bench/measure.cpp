#include "bench/measure.h"

#include <QFile>
#include <QRegularExpression>

#include <ctime>

namespace {

bool byCpu = false;

} // namespace

void timeByCpu(bool on)
{
    byCpu = on;
}

double nowMs()
{
    timespec now{};
    clock_gettime(byCpu ? CLOCK_PROCESS_CPUTIME_ID : CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double peakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    static const QRegularExpression peak(QStringLiteral("VmHWM:\\s*(\\d+)\\s*kB"));
    const QRegularExpressionMatch m = peak.match(QString::fromLatin1(status.readAll()));
    return m.hasMatch() ? m.captured(1).toDouble() / 1024 : 0;
}

// Linux lets a process set its peak back to its present size.
void resetPeakResident()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}
