#pragma once

#include <QtGlobal>

#include <cstdio>
#include <ctime>

// Timestamps of the live preview's steps, for finding where an update's time goes: with
// PAGEWRIGHT_LIVE_TRACE set, each step prints "live-trace <monotonic ms> <step>" on stderr.
// Header-only, so that the engine module and the program print on one clock without sharing
// code.
namespace LiveTrace {

inline bool enabled()
{
    static const bool on = qEnvironmentVariableIsSet("PAGEWRIGHT_LIVE_TRACE");
    return on;
}

// The monotonic clock in milliseconds, the clock of the X server's event times too.
inline double monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

inline void mark(const char* step)
{
    if (enabled())
        std::fprintf(stderr, "live-trace %.3f %s\n", monotonicMs(), step);
}

} // namespace LiveTrace
