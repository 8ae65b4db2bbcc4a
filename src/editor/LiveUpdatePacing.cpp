#include "editor/LiveUpdatePacing.h"

#include <algorithm>

int LiveUpdatePacing::pauseMs() const
{
    return int(
        std::clamp(lastCostMs_ / costDivisor, qint64(shortestPauseMs), qint64(longestPauseMs)));
}

void LiveUpdatePacing::updateTook(qint64 costMs)
{
    lastCostMs_ = std::max<qint64>(costMs, 0);
}
