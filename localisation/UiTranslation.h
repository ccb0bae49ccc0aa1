#pragma once

#include <QString>

#include <memory>

class QTranslator;
class TextLookup;

// Puts the standard dialogs and buttons (Qt's own texts: Yes, No, Cancel, the file
// dialog) and the program's own Qt-translated texts (the folder picker) into the language
// of the current pack. Qt's texts come from its translations (qt6-translations-l10n); the
// program's from the pack. Removes its translators when it goes.
class UiTranslation {
public:
    explicit UiTranslation(const TextLookup& lookup);
    ~UiTranslation();
    UiTranslation(const UiTranslation&) = delete;
    UiTranslation& operator=(const UiTranslation&) = delete;

    // The pack chosen now; a pack of no known language leaves Qt's texts in English.
    void follow(const QString& packFile);
    // Whether Qt's own texts are translated now (false for English and unknown packs, or
    // when Qt's translations are not installed).
    [[nodiscard]] bool qtTranslated() const { return qtTranslated_; }

private:
    std::unique_ptr<QTranslator> qt_;
    std::unique_ptr<QTranslator> program_;
    QString followed_;
    bool qtTranslated_ = false;
};
