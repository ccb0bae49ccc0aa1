#include "shell/ControlStates.h"

#include "capture/CaptureModes.h"

ControlStates controlStatesFor(const PlaybackControls& playback, const CaptureModes& modes) {
    const bool on = playback.on;
    ControlStates s;
    s.play = playback.playAllowed;
    s.pause = on && !playback.pausePressed;
    s.rewind = s.pause;
    s.fastForward = s.pause;
    s.stop = on;
    s.slower = on;
    s.faster = on;
    s.fullScreen = on;
    s.editMenu = on;
    s.exportFrames = playback.playAllowed;
    s.snapshot = on && !modes.any();
    s.continuous = on && !modes.timed();
    s.timed = on && !modes.continuous();
    return s;
}
