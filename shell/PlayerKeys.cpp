#include "shell/PlayerKeys.h"

#include "shell/MainControls.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>

namespace PlayerKeys {

QString nameOf(const QKeySequence& key) {
    return key.toString(QKeySequence::NativeText);
}

bool typing() {
    const QWidget* focus = QApplication::focusWidget();
    return qobject_cast<const QLineEdit*>(focus) || qobject_cast<const QAbstractSpinBox*>(focus) ||
           qobject_cast<const QTextEdit*>(focus) || qobject_cast<const QPlainTextEdit*>(focus);
}

namespace {
// As a click would, and only where a click could.
void clickIfEnabled(QPushButton* button) {
    if (button->isEnabled() && !typing())
        button->click();
}
} // namespace

void install(QWidget& window, const MainControls& ui, const std::function<bool()>& playing,
             const std::function<void(int)>& stepVolume) {
    // A held key acts once, except on the volume, which has nothing to catch up with.
    const auto key = [&window](QKeySequence sequence, bool repeat,
                               const std::function<void()>& act) {
        auto* shortcut = new QShortcut(sequence, &window);
        shortcut->setContext(Qt::WindowShortcut); // a dialog is another window
        shortcut->setAutoRepeat(repeat);
        QObject::connect(shortcut, &QShortcut::activated, &window, act);
    };
    key(kPlayPause, false,
        [ui, playing] { clickIfEnabled(playing() ? ui.pauseButton : ui.playButton); });
    key(kRewind, false, [ui] { clickIfEnabled(ui.rewindButton); });
    key(kForward, false, [ui] { clickIfEnabled(ui.ffButton); });
    key(kLouder, true, [stepVolume] {
        if (!typing())
            stepVolume(kVolumeStep);
    });
    key(kQuieter, true, [stepVolume] {
        if (!typing())
            stepVolume(-kVolumeStep);
    });
    key(kMute, false, [ui] { clickIfEnabled(ui.muteStatus); });
    key(kFullScreen, false, [ui] { clickIfEnabled(ui.fullScreenButton); });
}

} // namespace PlayerKeys
