#pragma once

#include <QElapsedTimer>
#include <QVector>

#include <algorithm>
#include <functional>

// Timing of repeated runs: the median, in milliseconds. `prepare` runs before each run, untimed.
inline double medianMs(int runs, const std::function<void()> &prepare, const std::function<void()> &run)
{
    QVector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        run();
        times << timer.nsecsElapsed() / 1e6;
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
