#pragma once

class CaptureModes;

// The playback side of what the controls show.
struct PlaybackControls {
    bool on = false;           // the set is on: a video is loaded and was started
    bool playAllowed = false;  // Play is usable (from the first load on)
    bool pausePressed = false; // Pause was pressed since the last Play
};

// Whether each control can be used. The Edit menu follows the control set only: its
// capture items can turn either mode on or off whatever runs.
struct ControlStates {
    bool play = false;
    bool pause = false;
    bool stop = false;
    bool rewind = false;
    bool fastForward = false;
    bool slower = false;
    bool faster = false;
    bool fullScreen = false;
    bool snapshot = false;
    bool continuous = false;
    bool timed = false;
    bool editMenu = false;
    bool exportFrames = false; // any video loaded, playing or not
    friend bool operator==(const ControlStates&, const ControlStates&) = default;
};

// The one rule for every control's enabled state: with the set on, everything is usable
// except Pause and the shuttles after Pause, the single snapshot while a mode runs, and
// the other mode's button while one runs.
[[nodiscard]] ControlStates controlStatesFor(const PlaybackControls& playback,
                                             const CaptureModes& modes);
