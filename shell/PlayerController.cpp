#include "shell/PlayerController.h"

#include "capture/CaptureService.h"
#include "platform/FileNames.h"
#include "playback/FormatTime.h"
#include "playback/MediaTypes.h"
#include "playback/media/MediaService.h"
#include "settings/Settings.h"

#include <QDir>

#include <algorithm>

PlayerController::PlayerController(MediaEngine& engine, CaptureService& capture,
                                   MediaService& media, const Settings& settings, QObject* parent)
    : QObject(parent), engine_(engine), capture_(capture), media_(media), settings_(settings) {
    connect(&engine_, &MediaEngine::stateChanged, this, &PlayerController::engineStateChanged);
    connect(&engine_, &MediaEngine::frameChanged, this, &PlayerController::frameChanged);
    connect(&engine_, &MediaEngine::mutedChanged, this, [this](bool muted) {
        view_.muted = muted;
        publish();
    });
    connect(&engine_, &MediaEngine::lengthChanged, this, [this](qint64 ms) {
        lengthMs_ = ms;
        showMarks();
        publish();
    });
    connect(&capture_, &CaptureService::failed, this, [this](const QString& reason) {
        // The rest of a run would fail the same way: the modes end before the message.
        endCaptureModes();
        Q_EMIT snapshotFailed(reason);
    });
    loaded_ = BuildEngineOptions(settings_);
    view_.muted = engine_.isMuted();
    setControlsOn(false);
    controls_.playAllowed = false;
    publish();
}

qint64 PlayerController::lengthMs() const {
    return lengthMs_ > 0 ? lengthMs_ : qint64(engine_.Length()) * 1000;
}

EngineOptions PlayerController::optionsFor(const QString& path) const {
    EngineOptions options = BuildEngineOptions(settings_);
    // Empty for a snapshot folder that is not a full path ("C:\" in a Config.cfg from
    // Windows, or nothing): snapshots would land wherever the program was started from.
    options.snapshot.folder = QDir::isAbsolutePath(settings_.snapshotFolder)
                                  ? perVideoSnapshotFolder(settings_.snapshotFolder, path)
                                  : QString();
    options.snapshot.video = fileNameOf(path);
    return options;
}

// Nothing waits for a reload: the capture service writes the snapshots, so a new folder,
// prefix, format or preview holds from the next snapshot on, and the place in the video is
// kept.
void PlayerController::settingsChanged() {
    loaded_ = currentVideo_.isEmpty() ? BuildEngineOptions(settings_) : optionsFor(currentVideo_);
    capture_.setTarget(loaded_.snapshot);
    engine_.setKeepScreenAwake(loaded_.disableScreenSaver);
}

void PlayerController::load(const QString& path, LoadMode mode) {
    stop();
    engine_.playlistClear();
    currentVideo_ = path;
    loaded_ = optionsFor(path);
    speedStep_ = 0;
    lengthMs_ = 0;
    capture_.resetSkipped();
    markIn_ = markOut_ = {};
    showMarks();
    capture_.setTarget(loaded_.snapshot);
    engine_.setKeepScreenAwake(loaded_.disableScreenSaver);
    engine_.load(path, mode);
    view_.title = QStringLiteral("Framora [ ") + fileNameOf(path) + QStringLiteral(" ]");
    publish();
    if (mode == LoadMode::ReplaceAndPlay)
        play();
}

void PlayerController::play() {
    if (engine_.PlaylistCount() < 1 || engine_.Playing())
        return;
    view_.coverShown = false;
    engine_.play();
    setControlsOn(true);
    publish();
}

void PlayerController::pause() {
    if (engine_.Position() < 0)
        return;
    engine_.pause();
    controls_.pausePressed = true;
    publish();
}

void PlayerController::stop() {
    modes_.endContinuous();
    if (modes_.timed())
        modes_.endTimed();
    setControlsOn(false);
    if (engine_.Position() >= 0)
        engine_.stop();
    publish();
}

void PlayerController::rewind() {
    if (engine_.Position() >= 0)
        engine_.shuttle(-1);
}

void PlayerController::forward() {
    if (engine_.Position() >= 0)
        engine_.shuttle(1);
}

bool PlayerController::slower() {
    if (engine_.Position() < 0)
        return true;
    if (speedStep_ <= -1)
        return false;
    engine_.setRate(playbackRateForStep(--speedStep_));
    return true;
}

bool PlayerController::faster() {
    if (engine_.Position() < 0)
        return true;
    if (speedStep_ >= 1)
        return false;
    engine_.setRate(playbackRateForStep(++speedStep_));
    return true;
}

void PlayerController::toggleMute() {
    engine_.setMuted(!engine_.isMuted());
}

void PlayerController::setVolume(int volume) {
    engine_.setVolume(volume);
}

void PlayerController::volumeTouched(int volume) {
    engine_.setVolume(volume);
    engine_.setMuted(false);
}

void PlayerController::seek(double fraction) {
    if (engine_.PlaylistCount() >= 1)
        engine_.setPosition(float(fraction));
}

// A step is taken from a paused picture; false when nothing is loaded to step in.
bool PlayerController::pauseForStep() {
    if (engine_.Position() < 0)
        return false;
    if (engine_.Playing())
        pause();
    return true;
}

void PlayerController::nextFrame() {
    if (pauseForStep())
        engine_.nextFrame();
}

void PlayerController::previousFrame() {
    if (pauseForStep())
        engine_.previousFrame();
}

void PlayerController::markIn() {
    setMark(markIn_);
}

void PlayerController::markOut() {
    setMark(markOut_);
}

void PlayerController::setMark(FrameMark& mark) {
    if (engine_.Position() < 0)
        return;
    const VideoFrame frame = engine_.currentFrame();
    mark = {frame.timeMs >= 0 ? frame.timeMs : qint64(engine_.Time()) * 1000, frame.serial};
    showMarks();
    publish();
}

void PlayerController::refineMarks(const VideoFrame& frame) {
    bool moved = false;
    for (FrameMark* mark : {&markIn_, &markOut_}) {
        if (mark->ms >= 0 && mark->serial == frame.serial && frame.frameNumber >= 0 &&
            mark->ms != frame.timeMs) {
            mark->ms = frame.timeMs;
            moved = true;
        }
    }
    if (moved)
        showMarks();
}

void PlayerController::showMarks() {
    const double length = double(lengthMs());
    const auto fraction = [length](const FrameMark& mark) {
        return mark.ms >= 0 && length > 0 ? double(mark.ms) / length : -1.0;
    };
    view_.markIn = fraction(markIn_);
    view_.markOut = fraction(markOut_);
}

SnapshotProblem PlayerController::snapshot() {
    // The folder the capture service was given with the current item, which is the one of
    // the settings only until they change without a reload.
    if (!currentVideo_.isEmpty() && loaded_.snapshot.folder.isEmpty())
        return SnapshotProblem::FolderNotFullPath;
    // A sound file never shows a picture: say so, rather than wait for one or make an
    // empty folder.
    if (engine_.hasNoVideo())
        return SnapshotProblem::NoVideo;
    if (!capture_.snapshot())
        return SnapshotProblem::NothingLoaded;
    return SnapshotProblem::None;
}

void PlayerController::toggleContinuous() {
    if (!modes_.continuous())
        capture_.resetSkipped();
    modes_.toggleContinuous();
    publish();
}

void PlayerController::startTimed(int intervalMs) {
    capture_.resetSkipped();
    modes_.startTimed(intervalMs);
    modes_.playingChanged(engine_.Playing());
    publish();
    captureModeSnapshot(); // one at once
}

void PlayerController::stopTimed() {
    modes_.endTimed();
    publish();
}

void PlayerController::endCaptureModes() {
    modes_.endAll();
    publish();
}

void PlayerController::timedTick() {
    if (modes_.timerRunning())
        captureModeSnapshot();
}

void PlayerController::captureModeSnapshot() {
    const SnapshotProblem problem = snapshot();
    if (problem != SnapshotProblem::None)
        Q_EMIT snapshotRefused(problem);
}

void PlayerController::tick() {
    if (!engine_.Playing())
        return;
    if (modes_.snapshotOnTick(true))
        captureModeSnapshot();
    showPosition();
    publish();
}

void PlayerController::engineStateChanged(PlaybackState state) {
    modes_.playingChanged(state == PlaybackState::Playing);
    const bool media = state == PlaybackState::Opening || state == PlaybackState::Playing ||
                       state == PlaybackState::Paused;
    if (state == PlaybackState::Playing) {
        view_.coverShown = false;
        if (!controls_.on)
            setControlsOn(true);
    }
    if (!media) {
        // The media went away under a running capture, or the video is over: the modes
        // end as Stop ends them, or timed capture would keep asking for pictures of
        // nothing.
        view_.coverShown = true;
        modes_.endAll();
        if (controls_.on)
            setControlsOn(false);
    }
    publish();
}

void PlayerController::frameChanged() {
    const VideoFrame frame = engine_.currentFrame();
    refineMarks(frame);
    // Stepping while paused moves the picture; the time and the bar follow it.
    if (controls_.on && !engine_.Playing() && engine_.Position() >= 0)
        showPosition();
    publish();
}

void PlayerController::setControlsOn(bool on) {
    controls_.on = on;
    controls_.playAllowed = true;
    controls_.pausePressed = false;
    view_.time.clear();
    view_.progress = 0;
}

void PlayerController::showPosition() {
    view_.progress = static_cast<int>(engine_.Position() * 100);
    view_.time = FormatTime(engine_.Time()) + QStringLiteral(" / ") + FormatTime(engine_.Length());
}

std::shared_ptr<const FrameIndex> PlayerController::frameIndex() const {
    return media_.index();
}

void PlayerController::publish() {
    view_.controls = controlStatesFor(controls_, modes_);
    view_.timedTimerRunning = modes_.timerRunning();
    view_.timedInterval = modes_.interval();
    if (published_ && view_ == lastPublished_)
        return;
    lastPublished_ = view_;
    published_ = true;
    Q_EMIT viewChanged();
}
