// The keys of every video player, and the names a screen reader gives the main window's
// controls.
#include "playback/MediaEngine.h"
#include "shell/GlyphFaces.h"
#include "shell/MainForm.h"

#include <QAbstractSpinBox>
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
    key(Qt::Key_Space, false,
        [this] { clickIfEnabled(engine_.Playing() ? pauseButton_ : playButton_); });
    key(Qt::Key_Left, false, [this] { clickIfEnabled(rewindButton_); });
    key(Qt::Key_Right, false, [this] { clickIfEnabled(ffButton_); });
    key(Qt::Key_Up, true, [this] { stepVolume(kVolumeStep); });
    key(Qt::Key_Down, true, [this] { stepVolume(-kVolumeStep); });
    key(Qt::Key_M, false, [this] { clickIfEnabled(muteStatus_); });
    key(Qt::Key_F, false, [this] { clickIfEnabled(fullScreenButton_); });
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
        {playButton_, Qt::Key_Space},
        {pauseButton_, Qt::Key_Space},
        {stopButton_, {}},
        {rewindButton_, Qt::Key_Left},
        {ffButton_, Qt::Key_Right},
        {snapshotButton_, QKeySequence(Qt::CTRL | Qt::Key_F1)},
        {continuousSnapshotsButton_, QKeySequence(Qt::CTRL | Qt::Key_F2)},
        {timedSnapshotsButton_, QKeySequence(Qt::CTRL | Qt::Key_F3)},
        {command1_, {}},
        {command2_, {}},
        {fullScreenButton_, Qt::Key_F},
    };
    for (const auto& [button, key] : buttons) {
        const HoverText hover = hoverTextOf(button->objectName());
        button->setAccessibleName(lookup_.SetCaptionfromINI(hover.key, hover.defaultText));
        button->setAccessibleDescription(key.toString(QKeySequence::NativeText));
    }
    applyMuteAccessibleName();
    muteStatus_->setAccessibleDescription(
        QKeySequence(Qt::Key_M).toString(QKeySequence::NativeText));
    volumeSlider_->setAccessibleName(text("034", "Volume"));
    volumeSlider_->setAccessibleDescription(
        QKeySequence(Qt::Key_Up).toString(QKeySequence::NativeText) + QStringLiteral(" / ") +
        QKeySequence(Qt::Key_Down).toString(QKeySequence::NativeText));
    movieProgress_->setAccessibleName(text("042", "Position"));
    quickSnapshotFolder_->setAccessibleName(quickPath_->title());
}

// The mute button is named for what it does next, as its hover text is.
void MainForm::applyMuteAccessibleName() {
    muteStatus_->setAccessibleName(muteCaption() == kSoundOnCaption ? text("032", "Mute")
                                                                    : text("033", "Sound"));
}
