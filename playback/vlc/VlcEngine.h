#pragma once

#include "playback/MediaEngine.h"
#include "playback/media/MediaProbe.h"
#include "playback/vlc/VlcHandles.h"

#include <QSet>

#include <future>
#include <memory>

class MediaService;
class PlayerReaper;

// The media engine over libVLC 3. It keeps a playlist of at most one item, runs each
// start of that item on a player of its own and shuts players down on a worker thread,
// so no call blocks the user-interface thread on libVLC's thread joins. Video arrives
// as frames in memory, in true colours (see FrameSink); the frame on screen is
// currentFrame(), which is also what a snapshot takes. libVLC does not say which frame a
// picture is: the media service finds out (for a paused picture, once), and steps frames
// with our own decoder while libVLC stays paused on its picture.
class VlcEngine : public MediaEngine {
    Q_OBJECT
public:
    // Tests pass {"--vout=dummy", "--aout=dummy"}; the video itself always goes to memory.
    explicit VlcEngine(MediaService& media, const QStringList& extraArguments = {},
                       QObject* parent = nullptr);
    ~VlcEngine() override;

    // False when libVLC could not start; every operation is then a harmless no-op.
    [[nodiscard]] bool isReady() const { return instance_ != nullptr; }
    [[nodiscard]] QString errorString() const { return errorString_; }

    void load(const QString& path, LoadMode mode) override;
    void setKeepScreenAwake(bool keep) override;
    void playlistClear() override;
    [[nodiscard]] int PlaylistCount() const override;

    void play() override;
    void pause() override;
    void stop() override;
    [[nodiscard]] PlaybackState state() const override { return state_; }

    [[nodiscard]] float Position() const override;
    void setPosition(float position) override;
    [[nodiscard]] int Time() const override;
    [[nodiscard]] int Length() const override;
    [[nodiscard]] bool hasNoVideo() const override;

    void shuttle(int seconds) override;
    void setRate(float rate) override;
    void nextFrame() override;
    void previousFrame() override;
    [[nodiscard]] QString stepProblem() const override;
    void setMuted(bool muted) override;
    [[nodiscard]] bool isMuted() const override { return muted_; }
    [[nodiscard]] int Volume() const override;
    void setVolume(int volume) override;

    [[nodiscard]] VideoFrame currentFrame() const override { return currentFrame_; }

    [[nodiscard]] QList<MediaTrack> subtitleTracks() const override;
    [[nodiscard]] int subtitleTrack() const override;
    void setSubtitleTrack(int id) override;
    void addSubtitleFile(const QString& path) override;
    [[nodiscard]] QList<MediaTrack> audioTracks() const override;
    [[nodiscard]] int audioTrack() const override;
    void setAudioTrack(int id) override;

    // The playback rate of the player (1 is normal), or the one it will get.
    [[nodiscard]] float rate() const;
    // Distinct pictures shown since the item last started (a picture shown again while
    // paused counts once).
    [[nodiscard]] quint64 framesShown() const;
    // Whether the item plays now with the screen saver to be kept off.
    [[nodiscard]] bool keepsScreenAwake() const;

Q_SIGNALS:
    // keepsScreenAwake() changed.
    void screenAwakeChanged(bool awake);

private:
    // A video of a frame or two (a still), as our own decoder's index counts it.
    [[nodiscard]] bool isStill() const;
    struct Session;
    // What a player event carries beyond its type.
    struct PlayerEventValue {
        qint64 length = 0;  // LengthChanged
        int trackType = -1; // the ES events: libvlc_track_type_t and the track's id
        int trackId = -1;
    };

    static void playerEventCallback(const libvlc_event_t* event, void* data);

    void createSession();
    void startSession();
    void retireSession();
    void playerEvent(quint64 session, int type, PlayerEventValue value);
    void trackEvent(int type, int trackType, int trackId);
    void warnOnce(quint64 session, const QString& message);
    void frameArrived(quint64 session);
    void setCurrentFrame(VideoFrame frame);
    void setState(PlaybackState state);
    // libVLC's own state, and whether it has media now.
    [[nodiscard]] int playerState() const;
    [[nodiscard]] bool hasMedia() const;
    // Which frame the paused picture is, asked once per picture.
    void identifyPaused();
    void identified(quint64 request, qint64 number, qint64 timeMs);
    void step(int direction);
    void stepped(quint64 request, const VideoFrame& frame);
    void leaveStepping();
    void pauseIfAsked();
    void applyAudio();
    void updateScreenAwake();

    MediaService& media_;
    VlcInstance instance_;
    QString errorString_;
    std::unique_ptr<PlayerReaper> reaper_;
    std::unique_ptr<Session> session_;
    quint64 nextSessionId_ = 1;
    PlaybackState state_ = PlaybackState::Empty;

    bool hasItem_ = false;
    QString itemPath_;
    // The item showed a picture in some start: ending without one in a later start (Play
    // and a jump to the end at once) does not make it "no video at all".
    bool itemShowedPicture_ = false;
    bool keepScreenAwake_ = false;
    bool screenAwake_ = false;
    QSet<QString> itemWarnings_; // told already
    // Subtitle files of the item (beside it, or added), given to every start of it.
    QStringList itemSubtitleFiles_;
    int subtitleChoice_ = -1;         // the user's; -1 none
    bool adoptAddedSubtitle_ = false; // a file was just added: show its track

    std::shared_future<MediaFacts> itemFacts_;

    int volume_ = 50;
    bool muted_ = false;
    float rate_ = 1.0f;

    VideoFrame currentFrame_;
    // Numbers the frames of every start of every item, so that no two are alike.
    quint64 frameCount_ = 0;
    // Our time minus libVLC's, learnt from each identified picture (libVLC's clock runs
    // ahead of its pictures, and may count from another start than the file's first frame).
    qint64 clockOffsetMs_ = 0;
    // Requests to the media service: answers to older ones are stale.
    quint64 request_ = 0;
    quint64 identifying_ = 0; // the serial of the picture being identified
    int stepAfterIdentifying_ = 0;
    int queuedStep_ = 0;        // a step asked while another was on its way
    bool showingFirst_ = false; // the first frame of a video libVLC ended without showing
    bool stepPending_ = false;
    // Frames stepped to come from our own decoder while libVLC stays paused on its picture.
    bool stepping_ = false;
};
