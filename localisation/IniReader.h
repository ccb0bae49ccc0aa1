#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Finds a value in INI text the way the Windows profile reader does: section and key
// names are compared without regard to letter case, blanks around names and values are
// ignored, lines end with LF or CR LF. The first matching line wins. The value comes
// back trimmed but otherwise untouched (quotes and length are the caller's business);
// nullopt when the section or the key is missing.
[[nodiscard]] std::optional<QString> FindIniValue(QStringView text, QStringView section,
                                                  QStringView key);
