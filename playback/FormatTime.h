#pragma once

#include <QString>

// Whole seconds as hh:mm:ss, each part at least two digits; hours are not limited.
[[nodiscard]] QString FormatTime(long long seconds);
