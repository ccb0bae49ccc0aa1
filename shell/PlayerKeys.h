#pragma once

#include <QKeySequence>

#include <functional>

class QWidget;
struct MainControls;

// The keys of every video player: Space plays or pauses, Left and Right shuttle, Up and
// Down step the volume, M mutes, F goes full screen.
namespace PlayerKeys {
inline constexpr int kVolumeStep = 5;
inline constexpr Qt::Key kPlayPause = Qt::Key_Space;
inline constexpr Qt::Key kRewind = Qt::Key_Left;
inline constexpr Qt::Key kForward = Qt::Key_Right;
inline constexpr Qt::Key kLouder = Qt::Key_Up;
inline constexpr Qt::Key kQuieter = Qt::Key_Down;
inline constexpr Qt::Key kMute = Qt::Key_M;
inline constexpr Qt::Key kFullScreen = Qt::Key_F;

// What the keys do beyond clicking a control.
struct Actions {
    std::function<bool()> playing;       // whether Space pauses
    std::function<void(int)> stepVolume; // by a step up or down
    std::function<void(int)> shuttle;    // -1 back, +1 on; playing or paused
};

// The keys on window (the main window or the full-screen one), each acting as a click on
// its control of ui would, and only where one could; never while the user types. A focused
// control keeps the keys it has a use for: Space and Enter press a focused button, the
// arrows move a focused slider. A click on anything but a text box takes the focus out of
// the text box, so that the player keys work again.
void install(QWidget& window, const MainControls& ui, Actions actions);
// Whether the user is typing now (a text box that can be edited has the focus).
[[nodiscard]] bool typing();
// As the platform writes the key.
[[nodiscard]] QString nameOf(const QKeySequence& key);
} // namespace PlayerKeys
