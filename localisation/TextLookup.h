#pragma once

#include <QByteArray>
#include <QString>

// Looks up the program's texts in the current language pack, Lang/<languageFile> in the
// application folder. Nothing is cached: every lookup reads the pack anew, so a change
// of the language file name (a reference to the settings' field) shows at the very next
// lookup.
class TextLookup {
public:
    // Failures are logged to errorLog (see ErrorLog.h), by default errorlog.txt in the
    // application folder.
    TextLookup(QString applicationFolder, const QString& languageFile, QString errorLog = {});
    virtual ~TextLookup() = default;
    TextLookup(const TextLookup&) = delete;
    TextLookup& operator=(const TextLookup&) = delete;

    // The text of key in section "Framora Language Pack", or defaultText when the pack,
    // the section or the key is missing. Never throws: an internal failure is written
    // to errorlog.txt and gives an empty text.
    //
    // Section and key names match without regard to letter case, but a key is otherwise
    // the exact string ("10" and "010" differ). Blanks around the value and one pair of
    // double quotes around it are removed; a present but empty value gives an empty
    // text; the text is cut to 499 characters.
    [[nodiscard]] QString SetCaptionfromINI(const QString& key, const QString& defaultText) const;
    // The same, for the program's own keys and English defaults written in the code.
    [[nodiscard]] QString text(const char* key, const char* defaultText) const {
        return SetCaptionfromINI(QString::fromLatin1(key), QString::fromUtf8(defaultText));
    }

    // The pack's path; a name that is not a pack's (see isPackName) leads to no file.
    [[nodiscard]] QString packPath() const;
    // A file name inside Lang/: no path separator, no "..".
    [[nodiscard]] static bool isPackName(const QString& name);
    [[nodiscard]] const QString& applicationFolder() const { return applicationFolder_; }

    static constexpr qsizetype maxTextLength = 499;
    // Only this much of a pack is read (a real pack is a few kilobytes); this keeps a
    // stray huge file from slowing down the lookups made on every mouse move.
    static constexpr qsizetype maxPackBytes = 1024 * 1024;

protected:
    // The pack's bytes; empty when it is missing or not a readable regular file.
    [[nodiscard]] virtual QByteArray readPack(const QString& path) const;

private:
    [[nodiscard]] QString lookup(const QString& key, const QString& defaultText) const;

    QString applicationFolder_;
    const QString& languageFile_;
    QString errorLog_;
};
