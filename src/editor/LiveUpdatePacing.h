#pragma once

#include <QtGlobal>

// When the live preview shows what was typed: after a pause in typing that grows with what the
// last update cost, so that on a big page the preview updates less often and typing never waits
// for it. Pure arithmetic; the caller measures the cost.
class LiveUpdatePacing
{
public:
    static constexpr int shortestPauseMs = 250;
    static constexpr int longestPauseMs = 5000;
    // The pause is half the last update's cost when that is longer than the shortest pause: the
    // preview then takes at most two thirds of the time (the engine's, in a process of its own;
    // the typing thread does not wait for it), and a 100 KB page, whose update takes 150 to
    // 450 ms on a busy machine, still shows what was typed within half a second of the last key.
    static constexpr int costDivisor = 2;

    // The pause after the last edit before the preview updates.
    int pauseMs() const;
    // An update took `costMs` from its start to the page's load.
    void updateTook(qint64 costMs);

private:
    qint64 lastCostMs_ = 0;
};
