#pragma once

#include <QString>

class TextLookup;

enum class CaptionWindow { Main, Options, About };

// The windows whose fixed captions follow the language. Implemented by the main window,
// which hands the Options dialog's and the About box's captions on to them.
class CaptionTargets {
public:
    virtual ~CaptionTargets() = default;
    // objectName empty = the window's own title.
    virtual void setCaption(CaptionWindow window, const QString& objectName,
                            const QString& text) = 0;
};

// The OK and Cancel captions for dialogs that are built later (the timed-snapshot dialog).
struct SharedCaptions {
    QString okCaption;
    QString cancelCaption;
};

// Puts the current language's texts on the menus, the folder frame, the Options dialog
// and the About box's OK button, and keeps the OK and Cancel captions in shared. Runs at
// start-up and after every close of the Options dialog; running it twice is harmless.
void ApplyLanguageCaptions(const TextLookup& text, CaptionTargets& targets, SharedCaptions& shared);
