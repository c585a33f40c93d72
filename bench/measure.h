#pragma once

#include <QVector>

#include <algorithm>
#include <functional>

// Runs are timed by the wall clock, or, on a machine busy with other work, by the process's CPU
// time, which leaves out every wait (for the disk above all, so the writes' figures are then lower
// than a dispatcher would see).
void timeByCpu(bool on);
double nowMs();

// Timing of repeated runs: the median, in milliseconds. `prepare` runs before each run, untimed.
inline double medianMs(int runs, const std::function<void()> &prepare, const std::function<void()> &run)
{
    QVector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        const double start = nowMs();
        run();
        times << nowMs() - start;
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

inline double medianMs(int runs, const std::function<void()> &run)
{
    return medianMs(runs, {}, run);
}

// Peak resident memory of the process in MB, and a fresh start for it.
double peakResidentMb();
void resetPeakResident();
