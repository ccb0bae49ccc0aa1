#pragma once

#include <QString>

// The program's skin is a Qt style sheet kept in Skin.skf in the application folder.
// loadSkin reads the file at path and applies it to the whole application. A missing or
// unreadable skin leaves the default look, writes one warning to standard error and
// returns false.
[[nodiscard]] bool loadSkin(const QString& path);
