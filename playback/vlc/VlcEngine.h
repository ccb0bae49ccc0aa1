#pragma once

#include "playback/MediaEngine.h"
#include "playback/MediaProbe.h"
#include "playback/vlc/ItemOptions.h"
#include "playback/vlc/SnapshotThrottle.h"
#include "playback/vlc/VlcHandles.h"

#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QPointer>
#include <QThreadPool>

#include <deque>
#include <future>
#include <memory>

class PlayerReaper;
class ScreenSaverInhibitor;
class SnapshotWriter;
class VideoSurface;

// Playback rate of a speed step: one step slower is 0.75 of normal, one faster 1.5.
[[nodiscard]] float playbackRateForStep(int step);

// The media engine over libVLC 3. It keeps a playlist of at most one item, runs each
// start of that item on a player of its own and shuts players down on a worker thread,
// so no call blocks the user-interface thread on libVLC's thread joins. Video arrives
// as frames in memory (shown by the attached VideoSurface), which gives snapshots of
// exactly the frame on screen, written by a SnapshotWriter with the item's options.
class VlcEngine : public MediaEngine {
    Q_OBJECT
public:
    // Tests pass {"--vout=dummy", "--aout=dummy"}; the video itself always goes to memory.
    explicit VlcEngine(const QStringList& extraArguments = {}, QObject* parent = nullptr);
    ~VlcEngine() override;

    // False when libVLC could not start; every operation is then a harmless no-op.
    [[nodiscard]] bool isReady() const { return instance_ != nullptr; }
    [[nodiscard]] QString errorString() const { return errorString_; }

    // Where frames are shown; null detaches.
    void attachSurface(VideoSurface* surface);

    void addTarget(const QString& path, const QStringList& options, int mode,
                   int position) override;
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

    void shuttle(int seconds) override;
    void playFaster() override;
    void playSlower() override;
    void fullscreen() override;
    void toggleMute() override;
    [[nodiscard]] int Volume() const override;
    void setVolume(int volume) override;

    [[nodiscard]] bool setVariable(const QString& name, int value) override;

    // The playback rate of the player (1 is normal), or the one it will get.
    [[nodiscard]] float rate() const;
    [[nodiscard]] bool isMuted() const { return muted_; }
    // The frame shown last, null without one, and the size it is shown at (which may
    // differ from the image's; see VideoFrame).
    [[nodiscard]] QImage currentFrame() const;
    [[nodiscard]] QSize shownFrameSize() const;
    // Distinct pictures shown since the item last started (a picture shown again while
    // paused counts once).
    [[nodiscard]] quint64 framesShown() const;
    // Snapshots accepted and not yet written or failed.
    [[nodiscard]] int pendingSnapshots() const { return throttle_.outstanding(); }
    [[nodiscard]] bool isScreenSaverInhibited() const;
    // Blocks until every accepted snapshot is written or failed.
    bool waitForSnapshots(int msecs = -1);

private:
    struct Session;

    static void playerEventCallback(const libvlc_event_t* event, void* data);

    // The file's facts, read on a worker while libVLC opens it.
    [[nodiscard]] std::shared_future<MediaFacts> probeInBackground(const QString& path);
    void createSession();
    void startSession();
    void retireSession();
    void playerEvent(quint64 session, int type);
    void frameArrived(quint64 session);
    // The latest frame, at the size it is meant to be seen at, on the surface if any.
    void showLatestFrame();
    void pauseIfAsked();
    [[nodiscard]] int state() const;
    [[nodiscard]] bool isLoaded(int state) const;
    void applyAudio();
    void updateScreenSaver();
    [[nodiscard]] bool requestSnapshot();
    void snapshotEnded(bool written, const QString& text);

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
    ItemOptions itemOptions_;
    std::shared_future<MediaFacts> itemFacts_;

    int volume_ = 50;
    bool muted_ = false;
    int rateStep_ = 0;
    int snapshotKey_ = 0;
    QHash<QString, int> variables_;

    QPointer<VideoSurface> surface_;
    ScreenSaverInhibitor* inhibitor_ = nullptr;
    SnapshotWriter* writer_ = nullptr;
    SnapshotThrottle throttle_;
    QElapsedTimer clock_; // for the throttle's still-frame rule
    // One entry per snapshot in progress, in the order given to the writer: the image
    // to preview once it is written, null when the item asked for no preview.
    std::deque<QImage> previews_;
    // Last: its destructor waits for a probe still reading (bounded by the probe's timeout).
    QThreadPool probes_;
};
