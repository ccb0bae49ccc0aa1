#pragma once

#include <QByteArrayView>
#include <QString>

// Language packs and Config.cfg written on Windows arrive in its 8-bit code page
// (Windows-1252 for the western languages) or, saved as "Unicode" by Notepad, in UTF-16
// with a byte-order mark; files written here are UTF-8. A UTF-16 byte-order mark decides
// first; then bytes that form valid UTF-8 are taken as UTF-8 (a leading byte-order mark
// is dropped), anything else as Windows-1252.
[[nodiscard]] QString DecodeTextFile(QByteArrayView bytes);

// Windows-1252 with the five unassigned bytes (81, 8D, 8F, 90, 9D) mapped to the C1
// control characters of the same value, as Windows itself converts them.
[[nodiscard]] QString DecodeWindows1252(QByteArrayView bytes);
