#pragma once

#include <QIcon>
#include <QString>

class QPushButton;

// The faces of the main window's glyph buttons, drawn as vector icons so that they read
// the same on every system, whatever symbol fonts it has.
enum class Glyph {
    Play,
    Pause,
    Stop,
    Rewind,
    FastForward,
    Snapshot,
    Continuous,
    Timed,
    Slower,
    Faster,
    SoundOn,
    Muted,
    FullScreen,
};

// The mute button's two captions, the record of the mute state: "X" and the sound-on
// symbol while sound is on, "X" and a blank while muted.
inline const QString kSoundOnCaption = QStringLiteral("X") + QChar(0xF0);
inline const QString kMutedCaption = QStringLiteral("X ");

[[nodiscard]] QIcon glyphIcon(Glyph glyph);
void setGlyphFace(QPushButton& button, Glyph glyph);
[[nodiscard]] QString glyphCaption(const QPushButton& button);
void setGlyphCaption(QPushButton& button, const QString& caption);

struct HoverText {
    QString key;
    QString defaultText;
};
// The hover text of a glyph button by its objectName (not the mute button, whose text
// depends on its state); an empty key for controls without one.
[[nodiscard]] HoverText hoverTextOf(const QString& objectName);

// The application icon, also shown by the About box.
[[nodiscard]] QIcon applicationIcon();
