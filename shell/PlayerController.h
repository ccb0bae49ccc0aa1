#pragma once

#include "capture/CaptureModes.h"
#include "capture/EngineOptions.h"
#include "playback/MediaEngine.h"
#include "shell/ControlStates.h"

#include <QObject>
#include <QString>

#include <memory>

class CaptureService;
class FrameIndex;
class MediaService;
struct Settings;

// What the main window shows of the player, as one record; published (viewChanged)
// whenever any of it changes.
struct PlayerView {
    ControlStates controls;
    bool coverShown = true; // the white cover over the video area: nothing is on screen
    bool muted = false;
    int progress = 0;   // 0 to 100
    QString time;       // "00:00:03 / 00:00:12"; empty without a video
    double markIn = -1; // as fractions of the length; negative when not set
    double markOut = -1;
    bool timedTimerRunning = false;
    int timedInterval = CaptureModes::kShortestInterval;
    QString title = QStringLiteral("Framora");
    friend bool operator==(const PlayerView&, const PlayerView&) = default;
};

// Why a snapshot could not be asked for.
enum class SnapshotProblem {
    None,
    NothingLoaded,
    FolderNotFullPath, // the snapshot folder is not a full path (a Config.cfg from Windows)
    NoVideo            // a sound file: it never shows a picture
};

// The player behind the main window, without a widget: the loaded video and what went with
// it, transport, speed steps, sound, frame steps and marks, the capture modes and their
// timers, and the one rule for every control's state. The window binds its widgets and
// actions to it and shows its messages and dialogs. The engine says what happens (its
// signals); the window's 10 ms timer (tick) moves the time display and continuous capture.
class PlayerController : public QObject {
    Q_OBJECT
public:
    PlayerController(MediaEngine& engine, CaptureService& capture, MediaService& media,
                     const Settings& settings, QObject* parent = nullptr);

    [[nodiscard]] const PlayerView& view() const { return view_; }
    [[nodiscard]] const QString& currentVideo() const { return currentVideo_; }
    // What the engine and the capture service were given with the current video.
    [[nodiscard]] const EngineOptions& loadedOptions() const { return loaded_; }
    [[nodiscard]] const CaptureModes& modes() const { return modes_; }
    [[nodiscard]] int speedStep() const { return speedStep_; }
    // In milliseconds, negative when not set.
    [[nodiscard]] qint64 markInMs() const { return markIn_.ms; }
    [[nodiscard]] qint64 markOutMs() const { return markOut_.ms; }
    // A video is loaded: the engine's Position is not negative.
    [[nodiscard]] bool videoLoaded() const { return engine_.Position() >= 0; }
    [[nodiscard]] bool videoOnScreen() const {
        return !view_.coverShown && !currentVideo_.isEmpty();
    }
    // The item's length in milliseconds, 0 while unknown.
    [[nodiscard]] qint64 lengthMs() const;
    // The current video's frame index (for Export Frames), null before the first load.
    [[nodiscard]] std::shared_ptr<const FrameIndex> frameIndex() const;

    // Stops what plays and hands path over with the settings' snapshot options;
    // ReplaceAndPlay also plays it.
    void load(const QString& path, LoadMode mode);
    // The settings changed: they hold from now on, for the video shown too.
    void settingsChanged();

    void play();
    void pause();
    void stop();
    void rewind();
    void forward();
    // One speed step; false at the end of the steps (where the window beeps).
    [[nodiscard]] bool slower();
    [[nodiscard]] bool faster();
    void toggleMute();
    void setVolume(int volume);
    // A touch of the volume control: that level, and sound on.
    void volumeTouched(int volume);
    void seek(double fraction);
    // One frame on or back, exactly; a playing video pauses first.
    void nextFrame();
    void previousFrame();
    // The start and the end of the stretch Export Frames offers, at the frame on screen.
    void markIn();
    void markOut();

    // A snapshot of the picture on screen, written by the capture service (a failure comes
    // as snapshotProblem).
    [[nodiscard]] SnapshotProblem snapshot();
    void toggleContinuous();
    // Timed capture at this interval (kept within the modes' range): one now, then one per
    // interval.
    void startTimed(int intervalMs);
    void stopTimed();
    void endCaptureModes();

    // The window's 10 ms timer and the timed capture's interval timer.
    void tick();
    void timedTick();

Q_SIGNALS:
    void viewChanged();
    // A snapshot of a capture mode could not be asked for, or one could not be written
    // (the capture modes have ended).
    void snapshotRefused(SnapshotProblem problem);
    void snapshotFailed(const QString& reason);

private:
    // A mark is the time of a frame on screen; the frame's serial lets the time follow when
    // the engine has found exactly which frame a paused picture is.
    struct FrameMark {
        qint64 ms = -1;
        quint64 serial = 0;
    };

    void engineStateChanged(PlaybackState state);
    void frameChanged();
    void setControlsOn(bool on);
    void showPosition();
    void showMarks();
    void setMark(FrameMark& mark);
    void refineMarks(const VideoFrame& frame);
    void publish();
    bool pauseForStep();
    void captureModeSnapshot();
    // The options a load of path would hand over now.
    [[nodiscard]] EngineOptions optionsFor(const QString& path) const;

    MediaEngine& engine_;
    CaptureService& capture_;
    MediaService& media_;
    const Settings& settings_;

    PlayerView view_;
    QString currentVideo_;
    EngineOptions loaded_;
    CaptureModes modes_;
    int speedStep_ = 0;
    FrameMark markIn_;
    FrameMark markOut_;
    qint64 lengthMs_ = 0;
    // The playback control set is on, Play may be used (after the first load), Pause was
    // pressed since the last Play.
    PlaybackControls controls_;
    PlayerView lastPublished_;
    bool published_ = false;
};
