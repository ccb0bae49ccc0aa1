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

// The keys on window (the main window or the full-screen one), each acting as a click on
// its control of ui would, and only where one could; never while the user types. playing
// says whether Space pauses; stepVolume moves the volume by a step.
void install(QWidget& window, const MainControls& ui, const std::function<bool()>& playing,
             const std::function<void(int)>& stepVolume);
// Whether the user is typing now (a text box has the focus).
[[nodiscard]] bool typing();
// As the platform writes the key.
[[nodiscard]] QString nameOf(const QKeySequence& key);
} // namespace PlayerKeys
