#pragma once

#include "media/MediaProbe.h"
#include "playback/MediaEngine.h"
#include "playback/vlc/VlcHandles.h"

#include <QSet>
#include <QThreadPool>

#include <future>
#include <memory>

class FrameStepper;
class PlayerReaper;
class ScreenSaverInhibitor;

// The media engine over libVLC 3. It keeps a playlist of at most one item, runs each
// start of that item on a player of its own and shuts players down on a worker thread,
// so no call blocks the user-interface thread on libVLC's thread joins. Video arrives
// as frames in memory, in true colours (see FrameSink); the frame on screen is
// currentFrame(), which is also what a snapshot takes.
class VlcEngine : public MediaEngine {
    Q_OBJECT
public:
    // Tests pass {"--vout=dummy", "--aout=dummy"}; the video itself always goes to memory.
    explicit VlcEngine(const QStringList& extraArguments = {}, QObject* parent = nullptr);
    ~VlcEngine() override;

    // False when libVLC could not start; every operation is then a harmless no-op.
    [[nodiscard]] bool isReady() const { return instance_ != nullptr; }
    [[nodiscard]] QString errorString() const { return errorString_; }

    void load(const QString& path, LoadMode mode, bool disableScreenSaver) override;
    void playlistClear() override;
    [[nodiscard]] int PlaylistCount() const override;

    void play() override;
    void pause() override;
    void stop() override;
    [[nodiscard]] bool Playing() const override;

    [[nodiscard]] float Position() const override;
    void setPosition(float position) override;
    [[nodiscard]] int Time() const override;
    [[nodiscard]] int Length() const override;
    [[nodiscard]] bool hasNoVideo() const override;

    void shuttle(int seconds) override;
    void setRate(float rate) override;
    void nextFrame() override;
    void previousFrame() override;
    void toggleMute() override;
    [[nodiscard]] int Volume() const override;
    void setVolume(int volume) override;

    [[nodiscard]] VideoFrame currentFrame() const override { return currentFrame_; }

    // The playback rate of the player (1 is normal), or the one it will get.
    [[nodiscard]] float rate() const;
    [[nodiscard]] bool isMuted() const { return muted_; }
    // Distinct pictures shown since the item last started (a picture shown again while
    // paused counts once).
    [[nodiscard]] quint64 framesShown() const;
    [[nodiscard]] bool isScreenSaverInhibited() const;

private:
    struct Session;

    static void playerEventCallback(const libvlc_event_t* event, void* data);

    // The file's facts, read on a worker while libVLC opens it.
    [[nodiscard]] std::shared_future<MediaFacts> probeInBackground(const QString& path);
    void createSession();
    void startSession();
    void retireSession();
    void playerEvent(quint64 session, int type);
    void warnOnce(quint64 session, const QString& message);
    void frameArrived(quint64 session);
    void setCurrentFrame(VideoFrame frame);
    // Asks which frame is on screen and, direction not 0, for the frame after or before it.
    void findFrame(int direction);
    void frameFound(quint64 request, const VideoFrame& frame, bool exact);
    void leaveStepping();
    void pauseIfAsked();
    [[nodiscard]] int state() const;
    [[nodiscard]] bool isLoaded(int state) const;
    void applyAudio();
    void updateScreenSaver();

    VlcInstance instance_;
    QString errorString_;
    std::unique_ptr<PlayerReaper> reaper_;
    std::unique_ptr<Session> session_;
    quint64 nextSessionId_ = 1;

    bool hasItem_ = false;
    QString itemPath_;
    // The item showed a picture in some start: ending without one in a later start (Play
    // and a jump to the end at once) does not make it "no video at all".
    bool itemShowedPicture_ = false;
    bool itemKeepsScreenSaverOff_ = false;
    QSet<QString> itemWarnings_; // told already

    std::shared_future<MediaFacts> itemFacts_;

    int volume_ = 50;
    bool muted_ = false;
    float rate_ = 1.0f;

    VideoFrame currentFrame_;
    // Numbers the frames of every start of every item, so that no two are alike.
    quint64 frameCount_ = 0;
    // Frames stepped to come from our own decoder while libVLC stays paused on its picture.
    FrameStepper* stepper_ = nullptr;
    bool stepping_ = false;
    quint64 findRequest_ = 0;
    int findDirection_ = 0;
    quint64 findSerial_ = 0; // the frame on screen when asked
    bool findPending_ = false;
    ScreenSaverInhibitor* inhibitor_ = nullptr;
    // Last: its destructor waits for a probe still reading (bounded by the probe's timeout).
    QThreadPool probes_;
};
