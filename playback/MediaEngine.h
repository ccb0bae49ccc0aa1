#pragma once

#include "playback/media/VideoFrame.h"

#include <QList>
#include <QObject>
#include <QString>

enum class LoadMode { Replace, ReplaceAndPlay };

// What the engine is doing with its item.
enum class PlaybackState {
    Empty,   // nothing loaded
    Loaded,  // an item, not started (or stopped: Play starts it from its beginning)
    Opening, // started, no picture yet
    Playing,
    Paused,
    Ended, // played to its end
    Failed // could not be played
};

// A subtitle or sound track of the item, as the engine names it.
struct MediaTrack {
    int id = -1;
    QString name;
    friend bool operator==(const MediaTrack&, const MediaTrack&) = default;
};

// Every operation the program asks of the media engine, and nothing more; what happens is
// signalled, not polled. Position is negative while no media is loaded (Opening, Playing
// and Paused have media); Time and Length are whole seconds.
class MediaEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MediaEngine() override = default;

    // Replaces the playlist with this one file; ReplaceAndPlay also starts it. A new item
    // plays at normal speed.
    virtual void load(const QString& path, LoadMode mode) = 0;
    // While a video plays with this set, the screen saver stays off; it may change at any
    // time and holds for every later item.
    virtual void setKeepScreenAwake(bool keep) = 0;
    virtual void playlistClear() = 0;
    [[nodiscard]] virtual int PlaylistCount() const = 0;

    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    [[nodiscard]] virtual PlaybackState state() const = 0;
    [[nodiscard]] bool Playing() const { return state() == PlaybackState::Playing; }

    [[nodiscard]] virtual float Position() const = 0;
    virtual void setPosition(float position) = 0;
    [[nodiscard]] virtual int Time() const = 0;
    [[nodiscard]] virtual int Length() const = 0;

    virtual void shuttle(int seconds) = 0;
    // 1 is normal speed.
    virtual void setRate(float rate) = 0;
    virtual void setMuted(bool muted) = 0;
    [[nodiscard]] virtual bool isMuted() const = 0;
    [[nodiscard]] virtual int Volume() const = 0;
    virtual void setVolume(int volume) = 0;

    // One frame on or back, exactly, while paused (a playing video is paused first); at the
    // first or the last frame nothing happens. The frame comes as frameChanged. False where
    // frames cannot be stepped in this item, with why in stepProblem().
    virtual void nextFrame() = 0;
    virtual void previousFrame() = 0;
    [[nodiscard]] virtual QString stepProblem() const = 0;

    // The picture on screen now; a null frame when there is none. Its number and time are
    // there once known exactly (a paused picture is identified in a moment).
    [[nodiscard]] virtual VideoFrame currentFrame() const = 0;
    // The item is known to hold no video at all (a sound file): it will never show a
    // picture. False while that is not known yet.
    [[nodiscard]] virtual bool hasNoVideo() const = 0;

    // The item's subtitle tracks, its own and those of subtitle files beside it or added;
    // none is shown until one is chosen (a still should be the video's own picture). -1 is
    // no subtitles. What is shown on screen is in the snapshots too.
    [[nodiscard]] virtual QList<MediaTrack> subtitleTracks() const = 0;
    [[nodiscard]] virtual int subtitleTrack() const = 0;
    virtual void setSubtitleTrack(int id) = 0;
    // A subtitle file for the item, shown at once and kept for later starts of the item.
    virtual void addSubtitleFile(const QString& path) = 0;
    [[nodiscard]] virtual QList<MediaTrack> audioTracks() const = 0;
    [[nodiscard]] virtual int audioTrack() const = 0;
    virtual void setAudioTrack(int id) = 0;

Q_SIGNALS:
    void stateChanged(PlaybackState state);
    // The item's length became known (or changed), in milliseconds.
    void lengthChanged(qint64 ms);
    void mutedChanged(bool muted);
    // The item's subtitle or sound tracks, or the chosen ones, changed.
    void tracksChanged();
    // currentFrame() is another picture, or none any more, or the same one identified.
    void frameChanged();
    // The item could not be played: not a media file, damaged, or unreadable. A sound file
    // that plays is not reported.
    void playbackFailed(const QString& path);
    // Something of the item worth a line in the error log, once per item, but not a
    // message: colour tags that made no sense and were ignored.
    void mediaWarning(const QString& message);
};
