#pragma once

#include <QtGlobal>

// When the live preview shows what was typed: after a pause in typing that grows with what the
// last update cost, so that on a big page the preview updates less often and typing never waits
// for it. Pure arithmetic; the caller measures the cost.
class LiveUpdatePacing
{
public:
    static constexpr int shortestPauseMs = 300;
    static constexpr int longestPauseMs = 5000;
    // The pause is the last update's cost when that is longer than the shortest pause: the
    // preview then takes at most half of the time, and a 100 KB page (an update of 150 to 250 ms
    // on a busy machine) still shows what was typed soon after the shortest pause.
    static constexpr int costFactor = 1;

    // The pause after the last edit before the preview updates.
    int pauseMs() const;
    // An update took `costMs` from its start to the page's load.
    void updateTook(qint64 costMs);

private:
    qint64 lastCostMs_ = 0;
};
