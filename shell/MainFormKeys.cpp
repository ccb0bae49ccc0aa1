// The keys of every video player, and the names a screen reader gives the main window's
// controls.
#include "playback/MediaEngine.h"
#include "shell/GlyphFaces.h"
#include "shell/MainForm.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTextEdit>

namespace {
constexpr int kVolumeStep = 5;
constexpr Qt::Key kPlayPauseKey = Qt::Key_Space;
constexpr Qt::Key kRewindKey = Qt::Key_Left;
constexpr Qt::Key kForwardKey = Qt::Key_Right;
constexpr Qt::Key kLouderKey = Qt::Key_Up;
constexpr Qt::Key kQuieterKey = Qt::Key_Down;
constexpr Qt::Key kMuteKey = Qt::Key_M;
constexpr Qt::Key kFullScreenKey = Qt::Key_F;

QString keyName(const QKeySequence& key) {
    return key.toString(QKeySequence::NativeText);
}

// Keys never act while the user is typing.
bool typing() {
    const QWidget* focus = QApplication::focusWidget();
    return qobject_cast<const QLineEdit*>(focus) || qobject_cast<const QAbstractSpinBox*>(focus) ||
           qobject_cast<const QTextEdit*>(focus) || qobject_cast<const QPlainTextEdit*>(focus);
}

// As a click would, and only where a click could.
void clickIfEnabled(QPushButton* button) {
    if (button->isEnabled() && !typing())
        button->click();
}
} // namespace

void MainForm::installPlayerKeys(QWidget* window) {
    // A held key acts once, except on the volume, which has nothing to catch up with.
    const auto key = [this, window](QKeySequence sequence, bool repeat,
                                    const std::function<void()>& act) {
        auto* shortcut = new QShortcut(sequence, window);
        shortcut->setContext(Qt::WindowShortcut); // a dialog is another window
        shortcut->setAutoRepeat(repeat);
        connect(shortcut, &QShortcut::activated, this, act);
    };
    key(kPlayPauseKey, false,
        [this] { clickIfEnabled(engine_.Playing() ? pauseButton_ : playButton_); });
    key(kRewindKey, false, [this] { clickIfEnabled(rewindButton_); });
    key(kForwardKey, false, [this] { clickIfEnabled(ffButton_); });
    key(kLouderKey, true, [this] { stepVolume(kVolumeStep); });
    key(kQuieterKey, true, [this] { stepVolume(-kVolumeStep); });
    key(kMuteKey, false, [this] { clickIfEnabled(muteStatus_); });
    key(kFullScreenKey, false, [this] { clickIfEnabled(fullScreenButton_); });
}

void MainForm::stepVolume(int step) {
    if (typing())
        return;
    volumeSlider_->setValue(volumeSlider_->value() + step);
    volumeSlider_MouseDown(Qt::LeftButton); // as a click on the slider: sound on, at that level
}

void MainForm::applyAccessibleTexts() {
    struct Described {
        QPushButton* button;
        QKeySequence key;
    };
    const Described buttons[] = {
        {playButton_, kPlayPauseKey},
        {pauseButton_, kPlayPauseKey},
        {stopButton_, {}},
        {rewindButton_, kRewindKey},
        {ffButton_, kForwardKey},
        {snapshotButton_, snapshotCommand_->shortcut()},
        {continuousSnapshotsButton_, continuousSnapshots_->shortcut()},
        {timedSnapshotsButton_, timedSnapshots_->shortcut()},
        {command1_, {}},
        {command2_, {}},
        {fullScreenButton_, kFullScreenKey},
    };
    for (const auto& [button, key] : buttons) {
        const HoverText hover = hoverTextOf(button->objectName());
        button->setAccessibleName(lookup_.SetCaptionfromINI(hover.key, hover.defaultText));
        button->setAccessibleDescription(keyName(key));
    }
    applyMuteAccessibleName();
    muteStatus_->setAccessibleDescription(keyName(kMuteKey));
    volumeSlider_->setAccessibleName(lookup_.text("034", "Volume"));
    volumeSlider_->setAccessibleDescription(keyName(kLouderKey) + QStringLiteral(" / ") +
                                            keyName(kQuieterKey));
    movieProgress_->setAccessibleName(lookup_.text("042", "Position"));
    quickSnapshotFolder_->setAccessibleName(quickPath_->title());
}

// The mute button is named for what it does next, as its hover text is.
void MainForm::applyMuteAccessibleName() {
    muteStatus_->setAccessibleName(player_.view().muted ? lookup_.text("033", "Sound")
                                                        : lookup_.text("032", "Mute"));
}
