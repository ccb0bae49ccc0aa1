#include "playback/vlc/VlcEngine.h"

#include "playback/media/FrameIndex.h"

#include "playback/SideCarSubtitles.h"
#include "playback/vlc/VlcTracks.h"

#include "playback/media/MediaService.h"
#include "playback/vlc/FrameSink.h"
#include "playback/vlc/PlayerReaper.h"

#include <QByteArrayList>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>
#ifdef __GLIBC__
#include <malloc.h>
#endif

constexpr std::array kPlayerEvents = {
    libvlc_MediaPlayerOpening,       libvlc_MediaPlayerPlaying,
    libvlc_MediaPlayerPaused,        libvlc_MediaPlayerStopped,
    libvlc_MediaPlayerEndReached,    libvlc_MediaPlayerEncounteredError,
    libvlc_MediaPlayerLengthChanged, libvlc_MediaPlayerESAdded,
    libvlc_MediaPlayerESDeleted,     libvlc_MediaPlayerESSelected};

static QStringList instanceArguments(const QStringList& extra) {
    QStringList arguments = {
        QStringLiteral("--no-snapshot-preview"), QStringLiteral("--no-osd"),
        QStringLiteral("--no-video-title-show"), QStringLiteral("--no-mouse-events"),
        QStringLiteral("--no-keyboard-events"), QStringLiteral("--no-xlib"),
        QStringLiteral("--quiet"),
        // Frames go to memory, where hardware decoding surfaces would only be copied back.
        QStringLiteral("--avcodec-hw=none"),
        // A picture decoded without its reference frames (after a jump, while the decoder
        // hurries at a faster speed) is grey smear: keep the last good one on screen, so
        // that no snapshot is ever taken of it.
        QStringLiteral("--no-avcodec-corrupted")};
    return arguments + extra;
}

// Frame buffers of a player: the frame on screen and the newest, those held by snapshots
// being written (two per core at most), the one being drawn, and a few to spare.
static std::size_t frameBuffers() {
    return std::size_t(2 * std::max(1, QThread::idealThreadCount())) + 8;
}

// One player for one start of the item. Its events carry the session id, so that
// events still queued from an earlier player are recognised and dropped.
struct VlcEngine::Session {
    struct EventRoute {
        VlcEngine* engine = nullptr;
        quint64 session = 0;
    };

    quint64 id = 0;
    VlcMedia media;
    VlcPlayer player;
    std::shared_ptr<FrameSink> sink;
    EventRoute route;
    // Pause asked before the first picture was shown.
    bool pauseWhenShown = false;
    // The player was started once and has ended, failed or stopped since.
    bool spent = false;
};

VlcEngine::VlcEngine(MediaService& media, const QStringList& extraArguments, QObject* parent)
    : MediaEngine(parent), media_(media) {
    const QStringList arguments = instanceArguments(extraArguments);
    QByteArrayList encoded;
    std::vector<const char*> argv;
    for (const QString& argument : arguments)
        encoded << argument.toLocal8Bit();
    for (const QByteArray& argument : encoded)
        argv.push_back(argument.constData());
    instance_.reset(libvlc_new(int(argv.size()), argv.data()));
    if (!instance_) {
        const char* reason = libvlc_errmsg();
        errorString_ = tr("The media engine (libVLC) could not be started: %1")
                           .arg(reason && *reason ? QString::fromLocal8Bit(reason)
                                                  : tr("are VLC's plugins installed?"));
        return;
    }
    libvlc_set_user_agent(instance_.get(), "Framora", "Framora");
    reaper_ = std::make_unique<PlayerReaper>();
    connect(&media_, &MediaService::identified, this, &VlcEngine::identified);
    connect(&media_, &MediaService::stepped, this, &VlcEngine::stepped);
}

VlcEngine::~VlcEngine() {
    retireSession();
    // Every player is stopped and released before libVLC itself goes.
    reaper_.reset();
}

void VlcEngine::load(const QString& path, LoadMode mode) {
    if (!isReady())
        return;
    retireSession();
    hasItem_ = true;
    itemPath_ = path;
    itemShowedPicture_ = false;
    itemWarnings_.clear();
    itemSubtitleFiles_ = sideCarSubtitles(path);
    subtitleChoice_ = -1;
    adoptAddedSubtitle_ = false;
    media_.open(path);
    itemFacts_ = media_.facts();
    clockOffsetMs_ = 0;
    rate_ = 1.0f;
    createSession();
    setState(PlaybackState::Loaded);
    if (mode == LoadMode::ReplaceAndPlay)
        startSession();
}

void VlcEngine::playlistClear() {
    retireSession();
    hasItem_ = false;
    itemPath_.clear();
    itemFacts_ = {};
    media_.close();
    setState(PlaybackState::Empty);
}

int VlcEngine::PlaylistCount() const {
    return hasItem_ ? 1 : 0;
}

void VlcEngine::play() {
    if (!isReady() || !hasItem_)
        return;
    if (session_ && state_ == PlaybackState::Paused && !session_->spent) {
        // libVLC is still on the picture where it paused: it goes on from the frame shown.
        if (stepping_)
            libvlc_media_player_set_time(
                session_->player.get(), std::max<qint64>(0, currentFrame_.timeMs - clockOffsetMs_));
        leaveStepping();
        libvlc_media_player_set_pause(session_->player.get(), 0);
        return;
    }
    if (session_ && hasMedia() && !session_->spent) {
        session_->pauseWhenShown = false;
        return;
    }
    // A player that has ended, failed or stopped is not restarted: a fresh one plays the
    // item from its beginning while the old one shuts down elsewhere.
    if (session_ && (state_ != PlaybackState::Loaded || session_->spent))
        retireSession();
    if (!session_)
        createSession();
    startSession();
}

void VlcEngine::pause() {
    if (!session_)
        return;
    const bool shown = !currentFrame_.isNull();
    if ((state_ == PlaybackState::Playing || state_ == PlaybackState::Paused) && shown) {
        // libVLC stops an item it cannot pause (a live stream); such an item keeps playing.
        if (libvlc_media_player_can_pause(session_->player.get()))
            libvlc_media_player_set_pause(session_->player.get(), 1);
    } else if (hasMedia()) {
        // Paused before its first picture, libVLC would show nothing at all (and while
        // opening it cannot pause yet): pause as soon as a picture is on screen.
        session_->pauseWhenShown = true;
    }
}

void VlcEngine::pauseIfAsked() {
    if (session_ && session_->pauseWhenShown && state_ == PlaybackState::Playing &&
        !currentFrame_.isNull()) {
        session_->pauseWhenShown = false;
        pause();
    }
}

void VlcEngine::stop() {
    // The item stays in the playlist; the next play starts it on a new player.
    retireSession();
}

bool VlcEngine::hasMedia() const {
    return state_ == PlaybackState::Opening || state_ == PlaybackState::Playing ||
           state_ == PlaybackState::Paused;
}

int VlcEngine::playerState() const {
    return session_ ? libvlc_media_player_get_state(session_->player.get()) : libvlc_NothingSpecial;
}

float VlcEngine::Position() const {
    if (!session_ || !hasMedia())
        return -1.0f;
    const libvlc_time_t length = libvlc_media_player_get_length(session_->player.get());
    if (stepping_ && length > 0)
        return std::clamp(float(double(currentFrame_.timeMs - clockOffsetMs_) / double(length)),
                          0.0f, 1.0f);
    return std::clamp(libvlc_media_player_get_position(session_->player.get()), 0.0f, 1.0f);
}

void VlcEngine::setPosition(float position) {
    if (session_ && hasMedia()) {
        leaveStepping();
        libvlc_media_player_set_position(session_->player.get(), std::clamp(position, 0.0f, 1.0f));
    }
}

int VlcEngine::Time() const {
    if (!session_)
        return 0;
    const libvlc_time_t time = stepping_ ? currentFrame_.timeMs - clockOffsetMs_
                                         : libvlc_media_player_get_time(session_->player.get());
    return time > 0 ? int(time / 1000) : 0;
}

int VlcEngine::Length() const {
    if (!session_)
        return 0;
    const libvlc_time_t length = libvlc_media_player_get_length(session_->player.get());
    return length > 0 ? int(length / 1000) : 0;
}

void VlcEngine::shuttle(int seconds) {
    if (!session_ || !hasMedia())
        return;
    libvlc_media_player_t* player = session_->player.get();
    const libvlc_time_t now = libvlc_media_player_get_time(player);
    if (now < 0)
        return;
    libvlc_time_t target = std::max<libvlc_time_t>(0, now + libvlc_time_t(seconds) * 1000);
    const libvlc_time_t length = libvlc_media_player_get_length(player);
    if (length > 0)
        target = std::min(target, length);
    leaveStepping();
    libvlc_media_player_set_time(player, target);
}

void VlcEngine::setRate(float rate) {
    rate_ = rate;
    if (session_)
        (void)libvlc_media_player_set_rate(session_->player.get(), rate_);
}

void VlcEngine::setMuted(bool muted) {
    if (muted == muted_)
        return;
    muted_ = muted;
    applyAudio();
    Q_EMIT mutedChanged(muted_);
}

int VlcEngine::Volume() const {
    return volume_;
}

void VlcEngine::setVolume(int volume) {
    volume_ = std::clamp(volume, 0, 100);
    applyAudio();
}

float VlcEngine::rate() const {
    return session_ ? libvlc_media_player_get_rate(session_->player.get()) : rate_;
}

quint64 VlcEngine::framesShown() const {
    return session_ && session_->sink ? session_->sink->latest().serial : 0;
}

bool VlcEngine::keepsScreenAwake() const {
    return screenAwake_;
}

// --- Which frame is on screen, and steps --------------------------------------------

QString VlcEngine::stepProblem() const {
    // libVLC plays what our own decoder cannot read: no exact frames there.
    if (!hasItem_ || !itemFacts_.valid() ||
        itemFacts_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return {};
    const MediaFacts& facts = itemFacts_.get();
    if (!facts.readable || facts.videoStreams.empty())
        return tr("Frame steps need a video our own decoder can read; this one it cannot.");
    return {};
}

void VlcEngine::identifyPaused() {
    if (currentFrame_.isNull() || currentFrame_.frameNumber >= 0 || stepping_ || stepPending_ ||
        identifying_ == currentFrame_.serial)
        return;
    identifying_ = currentFrame_.serial;
    media_.identify(++request_, currentFrame_, currentFrame_.approxMs, -1);
}

void VlcEngine::identified(quint64 request, qint64 number, qint64 timeMs) {
    if (request != request_)
        return;
    const int direction = stepAfterIdentifying_;
    stepAfterIdentifying_ = 0;
    if (currentFrame_.serial != identifying_)
        return;
    identifying_ = 0;
    if (number >= 0) {
        clockOffsetMs_ = timeMs - currentFrame_.approxMs;
        currentFrame_.frameNumber = number;
        currentFrame_.timeMs = timeMs;
        Q_EMIT frameChanged();
    }
    if (direction != 0 && number >= 0)
        step(direction);
}

void VlcEngine::nextFrame() {
    step(1);
}

void VlcEngine::previousFrame() {
    step(-1);
}

void VlcEngine::step(int direction) {
    if (!session_ || !hasMedia() || currentFrame_.isNull() || !stepProblem().isEmpty())
        return;
    // A step asked while one is on its way follows it; a held key queues no more than one.
    if (stepPending_ || stepAfterIdentifying_ != 0) {
        queuedStep_ = direction;
        return;
    }
    if (state_ == PlaybackState::Playing)
        pause();
    if (currentFrame_.frameNumber < 0) {
        // Which frame this is first.
        stepAfterIdentifying_ = direction;
        identifying_ = 0;
        identifyPaused();
        return;
    }
    stepPending_ = true;
    media_.step(++request_, currentFrame_.frameNumber, direction);
}

void VlcEngine::stepped(quint64 request, const VideoFrame& frame) {
    if (request != request_)
        return;
    stepPending_ = false;
    const int queued = std::exchange(queuedStep_, 0);
    if (std::exchange(showingFirst_, false) && frame.isNull()) {
        setState(PlaybackState::Failed);
        Q_EMIT playbackFailed(itemPath_);
        return;
    }
    if (frame.isNull() || !session_ || !hasMedia())
        return;
    stepping_ = true;
    VideoFrame shown = frame;
    shown.serial = ++frameCount_;
    shown.approxMs = frame.timeMs - clockOffsetMs_;
    setCurrentFrame(std::move(shown));
    if (queued != 0)
        step(queued);
}

void VlcEngine::leaveStepping() {
    stepping_ = false;
    stepPending_ = false;
    stepAfterIdentifying_ = 0;
    queuedStep_ = 0;
    showingFirst_ = false;
    identifying_ = 0;
    request_ += 1; // answers still on their way are stale now
}

// --- Players ------------------------------------------------------------------------

void VlcEngine::playerEventCallback(const libvlc_event_t* event, void* data) {
    // On a libVLC thread: copy what is needed and hand it to the engine's thread.
    const auto* route = static_cast<const Session::EventRoute*>(data);
    VlcEngine* engine = route->engine;
    const quint64 session = route->session;
    const int type = event->type;
    PlayerEventValue value;
    if (type == libvlc_MediaPlayerLengthChanged) {
        value.length = qint64(event->u.media_player_length_changed.new_length);
    } else if (type == libvlc_MediaPlayerESAdded || type == libvlc_MediaPlayerESDeleted ||
               type == libvlc_MediaPlayerESSelected) {
        value.trackType = event->u.media_player_es_changed.i_type;
        value.trackId = event->u.media_player_es_changed.i_id;
    }
    QMetaObject::invokeMethod(
        engine, [engine, session, type, value] { engine->playerEvent(session, type, value); },
        Qt::QueuedConnection);
}

void VlcEngine::createSession() {
    auto session = std::make_unique<Session>();
    session->id = nextSessionId_++;
    session->media.reset(
        libvlc_media_new_path(instance_.get(), QFile::encodeName(itemPath_).constData()));
    session->player.reset(libvlc_media_player_new(instance_.get()));
    if (!session->media || !session->player)
        return;
    // Subtitles are the user's choice: libVLC neither looks for files beside the video
    // (we do, and list them) nor shows any track until one is chosen.
    libvlc_media_add_option(session->media.get(), ":no-sub-autodetect-file");
    for (const QString& file : itemSubtitleFiles_)
        (void)libvlc_media_slaves_add(session->media.get(), libvlc_media_slave_type_subtitle, 0,
                                      subtitleUri(file).constData());
    libvlc_media_player_set_media(session->player.get(), session->media.get());

    const quint64 id = session->id;
    auto frameReady = [this, id] {
        QMetaObject::invokeMethod(
            this, [this, id] { frameArrived(id); }, Qt::QueuedConnection);
    };
    auto warn = [this, id](const QString& message) {
        QMetaObject::invokeMethod(
            this, [this, id, message] { warnOnce(id, message); }, Qt::QueuedConnection);
    };
    session->sink = std::make_shared<FrameSink>(frameReady, frameBuffers(), itemFacts_, warn);
    session->sink->attach(session->player.get(), session->media.get());

    session->route = {this, id};
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(session->player.get());
    for (const libvlc_event_e type : kPlayerEvents)
        (void)libvlc_event_attach(events, type, &VlcEngine::playerEventCallback, &session->route);

    (void)libvlc_media_player_set_rate(session->player.get(), rate_);
    session_ = std::move(session);
    applyAudio();
}

void VlcEngine::startSession() {
    if (!session_ || !session_->player)
        return;
    if (libvlc_media_player_play(session_->player.get()) == 0)
        setState(PlaybackState::Opening);
}

void VlcEngine::retireSession() {
    if (!session_)
        return;
    std::shared_ptr<Session> old(std::move(session_));
    if (old->player) {
        libvlc_event_manager_t* events = libvlc_media_player_event_manager(old->player.get());
        for (const libvlc_event_e type : kPlayerEvents)
            libvlc_event_detach(events, type, &VlcEngine::playerEventCallback, &old->route);
    }
    if (old->sink)
        old->sink->deactivate();
    leaveStepping();
    setCurrentFrame({});
    if (hasItem_)
        setState(PlaybackState::Loaded);
    reaper_->post([old] {
        if (old->player)
            libvlc_media_player_stop(old->player.get());
        old->player.reset();
#ifdef __GLIBC__
        // The player's decoders and frame buffers were megabytes freed on many threads;
        // glibc keeps such memory in per-thread pools unless asked to give it back, and
        // after a few hundred starts and stops of an HD video the program held ~700 MB.
        malloc_trim(0);
#endif
    });
}

void VlcEngine::warnOnce(quint64 session, const QString& message) {
    if (!session_ || session_->id != session || itemWarnings_.contains(message))
        return;
    itemWarnings_.insert(message);
    Q_EMIT mediaWarning(QStringLiteral("%1: %2").arg(itemPath_, message));
}

void VlcEngine::playerEvent(quint64 session, int type, PlayerEventValue value) {
    if (!session_ || session_->id != session)
        return;
    switch (type) {
    case libvlc_MediaPlayerOpening:
        setState(PlaybackState::Opening);
        break;
    case libvlc_MediaPlayerPlaying:
        setState(PlaybackState::Playing);
        applyAudio();
        pauseIfAsked();
        break;
    case libvlc_MediaPlayerPaused:
        setState(PlaybackState::Paused);
        // A paused picture is identified exactly, so that what is captured of it says
        // which frame it is.
        identifyPaused();
        break;
    case libvlc_MediaPlayerStopped:
        // The player stops after the end; the first frame our decoder shows in its place
        // stays.
        if (session_->spent && (showingFirst_ || stepping_))
            break;
        session_->spent = true;
        setCurrentFrame({});
        setState(PlaybackState::Loaded);
        break;
    case libvlc_MediaPlayerEndReached:
        session_->spent = true;
        setCurrentFrame({});
        if ((!itemShowedPicture_ || isStill()) && !hasNoVideo()) {
            // libVLC 3 may end a video of a frame or two without showing it, or shows it
            // for a moment only. Our decoder shows its first frame, paused, so that it can
            // be seen, captured and stepped; only a file it cannot read either has failed.
            leaveStepping();
            setState(PlaybackState::Paused);
            stepPending_ = true;
            showingFirst_ = true;
            media_.step(++request_, -1, 1);
        } else {
            setState(PlaybackState::Ended);
        }
        break;
    case libvlc_MediaPlayerEncounteredError:
        session_->spent = true;
        setCurrentFrame({});
        setState(PlaybackState::Failed);
        Q_EMIT playbackFailed(itemPath_);
        break;
    case libvlc_MediaPlayerLengthChanged:
        Q_EMIT lengthChanged(value.length);
        break;
    case libvlc_MediaPlayerESAdded:
    case libvlc_MediaPlayerESDeleted:
    case libvlc_MediaPlayerESSelected:
        trackEvent(type, value.trackType, value.trackId);
        break;
    default:
        break;
    }
}

bool VlcEngine::isStill() const {
    constexpr qint64 kFewestFrames = 3;
    const std::shared_ptr<const FrameIndex> index = media_.index();
    return index && index->isComplete() && index->count() < kFewestFrames;
}

bool VlcEngine::hasNoVideo() const {
    if (!hasItem_ || !itemFacts_.valid() ||
        itemFacts_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return false;
    const MediaFacts& facts = itemFacts_.get();
    return facts.readable && facts.videoStreams.empty();
}

void VlcEngine::setState(PlaybackState state) {
    if (state == state_)
        return;
    state_ = state;
    updateScreenAwake();
    Q_EMIT stateChanged(state_);
}

void VlcEngine::setCurrentFrame(VideoFrame frame) {
    if (frame.isNull() && currentFrame_.isNull())
        return;
    currentFrame_ = std::move(frame);
    Q_EMIT frameChanged();
}

void VlcEngine::frameArrived(quint64 session) {
    if (!session_ || session_->id != session)
        return;
    session_->sink->acknowledge();
    itemShowedPicture_ = true;
    // While stepping, the frame on screen is the one stepped to; libVLC only shows its
    // paused picture again. A picture still on its way as a step began is not shown either:
    // the step counts from the frame that was on screen.
    if (hasMedia() && !stepping_ && !stepPending_) {
        VideoFrame frame = session_->sink->latest();
        frame.serial = ++frameCount_;
        const libvlc_time_t time = libvlc_media_player_get_time(session_->player.get());
        frame.approxMs = time >= 0 ? qint64(time) : 0;
        setCurrentFrame(std::move(frame));
        if (state_ == PlaybackState::Paused)
            identifyPaused();
    }
    pauseIfAsked();
}

void VlcEngine::applyAudio() {
    // Fails while the player has no audio output; the level is applied again on Playing.
    if (!session_ || !session_->player)
        return;
    (void)libvlc_audio_set_volume(session_->player.get(), volume_);
    libvlc_audio_set_mute(session_->player.get(), muted_ ? 1 : 0);
}

void VlcEngine::setKeepScreenAwake(bool keep) {
    keepScreenAwake_ = keep;
    updateScreenAwake();
}

void VlcEngine::updateScreenAwake() {
    const bool awake = session_ && keepScreenAwake_ && state_ == PlaybackState::Playing;
    if (awake == screenAwake_)
        return;
    screenAwake_ = awake;
    Q_EMIT screenAwakeChanged(awake);
}

// --- Subtitle and sound tracks -----------------------------------------------------------

void VlcEngine::trackEvent(int type, int trackType, int trackId) {
    libvlc_media_player_t* player = session_->player.get();
    if (trackType == libvlc_track_text) {
        if (type == libvlc_MediaPlayerESAdded && adoptAddedSubtitle_) {
            // The file the user just added: its track is the one to show.
            adoptAddedSubtitle_ = false;
            subtitleChoice_ = trackId;
            (void)libvlc_video_set_spu(player, trackId);
        } else if (type == libvlc_MediaPlayerESSelected && trackId != subtitleChoice_) {
            // libVLC picks a track of its own (one flagged default); the user's choice
            // stands, none at first.
            (void)libvlc_video_set_spu(player, subtitleChoice_);
        }
    }
    Q_EMIT tracksChanged();
}

QList<MediaTrack> VlcEngine::subtitleTracks() const {
    return session_ ? subtitleTracksOf(session_->player.get()) : QList<MediaTrack>();
}

int VlcEngine::subtitleTrack() const {
    return subtitleChoice_;
}

void VlcEngine::setSubtitleTrack(int id) {
    subtitleChoice_ = id;
    if (session_ && session_->player)
        (void)libvlc_video_set_spu(session_->player.get(), id);
    Q_EMIT tracksChanged();
}

void VlcEngine::addSubtitleFile(const QString& path) {
    if (!hasItem_ || itemSubtitleFiles_.contains(path))
        return;
    itemSubtitleFiles_ << path;
    // Playing, the file joins at once; otherwise it comes with the next start.
    if (session_ && session_->player && hasMedia()) {
        adoptAddedSubtitle_ = true;
        (void)libvlc_media_player_add_slave(session_->player.get(),
                                            libvlc_media_slave_type_subtitle,
                                            subtitleUri(path).constData(), true);
    }
}

QList<MediaTrack> VlcEngine::audioTracks() const {
    return session_ ? audioTracksOf(session_->player.get()) : QList<MediaTrack>();
}

int VlcEngine::audioTrack() const {
    return session_ && session_->player ? libvlc_audio_get_track(session_->player.get()) : -1;
}

void VlcEngine::setAudioTrack(int id) {
    if (session_ && session_->player)
        (void)libvlc_audio_set_track(session_->player.get(), id);
    Q_EMIT tracksChanged();
}
