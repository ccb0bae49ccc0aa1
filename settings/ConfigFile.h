#pragma once

#include <QString>

struct Settings;

// Config.cfg: eight CR LF lines, one field each, in the order of Settings: imageFormat,
// snapshotFolder, filePrefix, skipTimedPrompt, timedInterval, showPreview,
// disableScreenSaver, languageFile. Texts are stored bare (UTF-8), numbers in the print
// form " 5000 " (a blank or a minus before, a blank after). Readers also accept bare
// numbers, LF-only lines and Windows-1252 text.

// Fills settings from the file; false when it is missing, unreadable, short, holds a
// number that is not a number or does not fit its field, a line with a CR inside, or a
// line longer than any path. On failure settings are left as they were, and *problem
// (when given) says what was wrong.
[[nodiscard]] bool LoadConfiguration(const QString& path, Settings& settings,
                                     QString* problem = nullptr);

// Replaces the file with the eight default lines and resets every field to its default
// (the pack to languageFile when one is given). False when the file could not be written
// (settings are reset all the same), with the reason in *error when given.
bool RecreateConfiguration(const QString& path, Settings& settings, QString* error = nullptr,
                           const QString& languageFile = {});

// Rewrites the file from settings. The new file is written beside the old one and
// renamed into place (a symbolic link there is replaced, never written through), so a
// failed save leaves the previous file intact. False on failure,
// with the reason in *error when given. A text holding a line break cannot be stored in
// a line of its own and is refused.
[[nodiscard]] bool SaveConfiguration(const QString& path, const Settings& settings,
                                     QString* error = nullptr);

struct SettingsLocation;

// How reading Config.cfg at start-up went: read; missing for a new user (the defaults were
// written without a word); or unusable and recreated with the defaults, or not even that
// (then error says why).
struct ConfigurationStart {
    bool read = false;
    bool newUser = false;
    bool recreated = false;
    QString problem; // what was wrong with the file that could not be read
    QString error;
    // The user is to be told: the file was damaged or could not be saved.
    [[nodiscard]] bool tell() const { return !read && !(newUser && recreated); }
};

// Reads the settings from where they live; recreates them with the defaults where the file
// is missing or unusable. In the user's own folder no Config.cfg yet is a new user, who
// gets newUserPack (the pack of the system's language) when there is one; beside the
// executable it means a damaged installation.
[[nodiscard]] ConfigurationStart StartConfiguration(const SettingsLocation& location,
                                                    Settings& settings,
                                                    const QString& newUserPack = {});
