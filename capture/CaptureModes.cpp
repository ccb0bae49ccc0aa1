#include "capture/CaptureModes.h"

#include <algorithm>

void CaptureModes::startTimed(int intervalMs) {
    interval_ = std::clamp(intervalMs, kShortestInterval, kLongestInterval);
    timed_ = true;
}
