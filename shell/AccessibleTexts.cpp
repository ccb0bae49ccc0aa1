#include "shell/AccessibleTexts.h"

#include "localisation/TextLookup.h"
#include "shell/GlyphFaces.h"
#include "shell/MainControls.h"
#include "shell/PlayerKeys.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

void applyAccessibleTexts(const MainControls& ui, const TextLookup& lookup, bool muted) {
    using namespace PlayerKeys;
    struct Described {
        QPushButton* button;
        QKeySequence key;
    };
    const Described buttons[] = {
        {ui.playButton, kPlayPause},
        {ui.pauseButton, kPlayPause},
        {ui.stopButton, {}},
        {ui.rewindButton, kRewind},
        {ui.ffButton, kForward},
        {ui.snapshotButton, ui.snapshotCommand->shortcut()},
        {ui.continuousSnapshotsButton, ui.continuousSnapshots->shortcut()},
        {ui.timedSnapshotsButton, ui.timedSnapshots->shortcut()},
        {ui.command1, {}},
        {ui.command2, {}},
        {ui.fullScreenButton, kFullScreen},
    };
    for (const auto& [button, key] : buttons) {
        const HoverText hover = hoverTextOf(button->objectName());
        button->setAccessibleName(lookup.SetCaptionfromINI(hover.key, hover.defaultText));
        button->setAccessibleDescription(nameOf(key));
    }
    applyMuteAccessibleName(ui, lookup, muted);
    ui.muteStatus->setAccessibleDescription(nameOf(kMute));
    ui.volumeSlider->setAccessibleName(lookup.text("034", "Volume"));
    ui.volumeSlider->setAccessibleDescription(nameOf(kLouder) + QStringLiteral(" / ") +
                                              nameOf(kQuieter));
    ui.movieProgress->setAccessibleName(lookup.text("042", "Position"));
    ui.quickSnapshotFolder->setAccessibleName(ui.quickPath->title());
}

void applyMuteAccessibleName(const MainControls& ui, const TextLookup& lookup, bool muted) {
    ui.muteStatus->setAccessibleName(muted ? lookup.text("033", "Sound")
                                           : lookup.text("032", "Mute"));
}
