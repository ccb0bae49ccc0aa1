#pragma once

#include <QString>

struct Settings;

// Looks up the program's texts in the current language pack, Lang/<languageFile> in the
// application folder. Nothing is cached: every lookup reads the pack anew, so a change
// of Settings::languageFile shows at the very next lookup.
class TextLookup {
public:
    TextLookup(QString applicationFolder, const Settings& settings);

    // The text of key in section "Framora Language Pack", or defaultText when the pack,
    // the section or the key is missing. Never throws: an internal failure is written
    // to errorlog.txt and gives an empty text.
    [[nodiscard]] QString SetCaptionfromINI(const QString& key, const QString& defaultText) const;

    [[nodiscard]] QString packPath() const;
    [[nodiscard]] const QString& applicationFolder() const { return applicationFolder_; }

private:
    QString applicationFolder_;
    const Settings& settings_;
};
