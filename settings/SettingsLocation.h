#pragma once

#include <QString>

// Where Config.cfg and errorlog.txt live, decided once at start-up.
struct SettingsLocation {
    QString folder;
    // In the user's own folder (not beside the executable), where no Config.cfg yet means
    // a new user rather than a damaged installation.
    bool perUser = false;

    [[nodiscard]] QString configFile() const { return folder + QStringLiteral("/Config.cfg"); }
    [[nodiscard]] QString errorLog() const { return folder + QStringLiteral("/errorlog.txt"); }
};

// A file of this name in the application folder says the folder belongs to the system (a
// packaged installation): settings then always go to the user's folder, even for an
// administrator who could write there.
inline const QString kPerUserMarker = QStringLiteral("settings-per-user");

// The user's own folder for the program's settings: $XDG_CONFIG_HOME/framora (by default
// ~/.config/framora), or %APPDATA%\Framora on Windows.
[[nodiscard]] QString userSettingsFolder();

// Beside the executable when a file can be created there and the folder is not the
// system's (portable use); otherwise userFolder.
[[nodiscard]] SettingsLocation locateSettings(const QString& applicationFolder,
                                              const QString& userFolder);
