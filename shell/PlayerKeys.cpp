#include "shell/PlayerKeys.h"

#include "shell/MainControls.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>

namespace PlayerKeys {

QString nameOf(const QKeySequence& key) {
    return key.toString(QKeySequence::NativeText);
}

namespace {
bool editable(const QWidget* widget) {
    if (const auto* line = qobject_cast<const QLineEdit*>(widget))
        return !line->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(widget))
        return !text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return !plain->isReadOnly();
    return qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
}

bool isTextBox(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget);
}

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool isArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

// Sees the window's key and mouse events before its controls and its shortcuts do.
class KeyRouter : public QObject {
public:
    explicit KeyRouter(QWidget& window) : QObject(&window), window_(window) {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != &window_)
            return false;
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            return shortcutOverride(*widget, *static_cast<QKeyEvent*>(event));
        case QEvent::KeyPress:
            return keyPress(*widget, *static_cast<QKeyEvent*>(event));
        case QEvent::MouseButtonPress:
            leaveTextBox(*widget);
            return false;
        default:
            return false;
        }
    }

private:
    // Accepted, the key goes to the focused control instead of a window shortcut.
    static bool shortcutOverride(QWidget& widget, QKeyEvent& key) {
        if (key.modifiers() != Qt::NoModifier && key.modifiers() != Qt::KeypadModifier)
            return false;
        const bool buttonKey = qobject_cast<QAbstractButton*>(&widget) &&
                               (key.key() == Qt::Key_Space || isEnter(key.key()));
        const bool sliderKey = qobject_cast<QAbstractSlider*>(&widget) && isArrow(key.key());
        if (buttonKey || sliderKey) {
            key.accept();
            return true;
        }
        // A read-only text box (the snapshot folder) has no use for the player's keys.
        if (isTextBox(&widget) && !editable(&widget)) {
            key.ignore();
            return true;
        }
        return false;
    }

    // A push button outside a dialog ignores Enter; here Enter presses it as Space does.
    static bool keyPress(QWidget& widget, const QKeyEvent& key) {
        auto* button = qobject_cast<QAbstractButton*>(&widget);
        if (!button || !isEnter(key.key()) || key.isAutoRepeat())
            return false;
        if (button->isEnabled())
            button->click();
        return true;
    }

    // A click on the video or a button ends typing in the folder box.
    static void leaveTextBox(QWidget& clicked) {
        QWidget* focus = QApplication::focusWidget();
        if (focus && focus != &clicked && isTextBox(focus) && !isTextBox(&clicked) &&
            !(clicked.focusPolicy() & Qt::ClickFocus))
            focus->clearFocus();
    }

    QWidget& window_;
};

// As a click would, and only where a click could.
void clickIfEnabled(QPushButton* button) {
    if (button->isEnabled() && !typing())
        button->click();
}
} // namespace

bool typing() {
    return editable(QApplication::focusWidget());
}

void install(QWidget& window, const MainControls& ui, Actions actions) {
    new KeyRouter(window);
    // A held key acts once, except on the volume, which has nothing to catch up with.
    const auto key = [&window](QKeySequence sequence, bool repeat,
                               const std::function<void()>& act) {
        auto* shortcut = new QShortcut(sequence, &window);
        shortcut->setContext(Qt::WindowShortcut); // a dialog is another window
        shortcut->setAutoRepeat(repeat);
        QObject::connect(shortcut, &QShortcut::activated, &window, [act] {
            if (!typing())
                act();
        });
    };
    key(kPlayPause, false, [ui, playing = actions.playing] {
        clickIfEnabled(playing() ? ui.pauseButton : ui.playButton);
    });
    // Unlike the buttons, the keys shuttle while paused too: the picture moves, playback
    // stays paused.
    key(kRewind, false, [shuttle = actions.shuttle] { shuttle(-1); });
    key(kForward, false, [shuttle = actions.shuttle] { shuttle(+1); });
    key(kLouder, true, [step = actions.stepVolume] { step(kVolumeStep); });
    key(kQuieter, true, [step = actions.stepVolume] { step(-kVolumeStep); });
    key(kMute, false, [ui] { clickIfEnabled(ui.muteStatus); });
    key(kFullScreen, false, [ui] { clickIfEnabled(ui.fullScreenButton); });
}

} // namespace PlayerKeys
