#pragma once

#include <QString>

struct Settings;

// Config.cfg: eight CR LF lines, one field each (see Settings).

// Fills settings from the file; false when it is missing, unreadable, short or holds a
// number that is not a number or does not fit its field.
[[nodiscard]] bool LoadConfiguration(const QString& path, Settings& settings);

// Replaces the file with the eight default lines and resets every field to its default.
// False when the file could not be written (settings are reset all the same).
bool RecreateConfiguration(const QString& path, Settings& settings);

// Rewrites the file from settings. The new file is written beside the old one and
// renamed into place, so a failed save leaves the previous file intact. False on failure,
// with the reason in *error when given.
[[nodiscard]] bool SaveConfiguration(const QString& path, const Settings& settings,
                                     QString* error = nullptr);
