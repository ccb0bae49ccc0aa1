#pragma once

#include "settings/OptionsRules.h"

#include <QString>
#include <optional>

// The number an interval text starts with, read the way the timed-snapshot dialog reads
// it: blanks anywhere are ignored, then an optional sign, digits and at most one decimal
// point are taken, and reading stops at the first other character. Text without such a
// number reads as zero. Any text is safe, however long.
[[nodiscard]] DecimalText readLeadingNumber(const QString& text);

// The same number as a double; values beyond the double range saturate to its largest
// finite value, so the result is always finite.
[[nodiscard]] double leadingNumberValue(const QString& text);

// The timed-snapshot interval that a text gives: nothing when its leading number lies
// outside 1000..60000 (the dialog refuses it), otherwise that number in whole
// milliseconds with a half going to the even neighbour ("2 500" and "2500 ms" give 2500,
// "1500.6" gives 1501).
[[nodiscard]] std::optional<int> timedIntervalFromText(const QString& text);
