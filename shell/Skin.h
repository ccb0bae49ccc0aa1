#pragma once

#include <QString>

// The program's skin is a Qt style sheet kept in Skin.skf in the application folder.
// loadSkin reads the file at path and applies it to the whole application. A missing,
// unreadable or garbled skin gives way to the one built into the program (the shipped
// Skin.skf), writes one warning to standard error and returns false.
[[nodiscard]] bool loadSkin(const QString& path);
