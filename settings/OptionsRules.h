#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The bounds of the timed-snapshot interval, in milliseconds, both inclusive.
inline constexpr int kMinimumInterval = 1000;
inline constexpr int kMaximumInterval = 60000;

inline constexpr qsizetype kMaximumPrefixLength = 4;

// A decimal number kept as its digits, so that text of any length is judged exactly and
// nothing can overflow.
struct DecimalText {
    bool negative = false;
    QString wholeDigits;    // without leading zeros; empty for zero
    QString fractionDigits; // without trailing zeros
};

// Builds a DecimalText from ASCII digit runs (either may be empty).
[[nodiscard]] DecimalText makeDecimalText(bool negative, QStringView wholeDigits,
                                          QStringView fractionDigits);

// The interval a number gives: nothing when the number lies outside the bounds (judged on
// the exact value, so 60000.4 is outside), otherwise the number rounded to whole
// milliseconds with a half going to the even neighbour.
[[nodiscard]] std::optional<int> intervalFromDecimal(const DecimalText& number);

// The Options dialog's interval field: blanks around the text are ignored, the rest must
// be a decimal number (optional sign, digits, optional fraction) within the bounds.
[[nodiscard]] std::optional<int> checkOptionsInterval(const QString& text);

enum class PrefixCheck { Usable, TooLong, NotAFileName };

// The snapshot prefix check: first the length, then whether it can be a file name.
// Existing files are never touched: the name is judged by rules that keep it usable on
// Windows too, then tried out inside a fresh temporary folder.
[[nodiscard]] PrefixCheck checkSnapshotPrefix(const QString& prefix);

// Why a snapshot folder cannot be kept, empty when it can: it must be a full path, and
// Config.cfg loses blanks at either end of its lines, so a folder whose path begins or
// ends with one would become another folder at the next start. example: a folder to name.
[[nodiscard]] QString snapshotFolderProblem(const QString& folder, const QString& example);

// The rules part of the file-name test alone (no file is created).
[[nodiscard]] bool isPortableFileName(const QString& name);
