#pragma once

#include "playback/MediaEngine.h"

#include <QStringList>

// A media engine that records every command as a line of text and answers reads from
// fields the test sets.
class FakeEngine : public MediaEngine {
public:
    QStringList calls;
    int playlistCount = 0;
    bool playing = false;
    bool keepScreenAwake = false;
    float position = -1.0f;
    int time = 0;
    int length = 0;
    int volume = 50;
    float rate = 1.0f;
    VideoFrame frame;
    bool noVideo = false;
    bool muted = false;
    QList<MediaTrack> subtitles;
    int subtitle = -1;
    QList<MediaTrack> audio;
    int audioId = -1;

    // Tells what the fields say now, as an engine tells of every change.
    void report() { Q_EMIT stateChanged(state()); }
    // Puts a picture on screen, as a playing engine does.
    void show(const QImage& image) {
        frame = VideoFrame::fromImage(image, frame.serial + 1);
        frame.timeMs = time * 1000;
        Q_EMIT frameChanged();
    }

    void load(const QString& path, LoadMode mode) override {
        playlistCount = 1;
        rate = 1.0f;
        calls << QStringLiteral("load %1 %2")
                     .arg(path, mode == LoadMode::ReplaceAndPlay ? QStringLiteral("play")
                                                                 : QStringLiteral("replace"));
    }
    void setKeepScreenAwake(bool keep) override { keepScreenAwake = keep; }
    void playlistClear() override {
        playlistCount = 0;
        calls << QStringLiteral("playlistClear");
    }
    int PlaylistCount() const override { return playlistCount; }
    void play() override { calls << QStringLiteral("play"); }
    void pause() override { calls << QStringLiteral("pause"); }
    void stop() override { calls << QStringLiteral("stop"); }
    PlaybackState state() const override {
        if (playing)
            return PlaybackState::Playing;
        if (position >= 0)
            return PlaybackState::Paused;
        return playlistCount > 0 ? PlaybackState::Loaded : PlaybackState::Empty;
    }
    float Position() const override { return position; }
    void setPosition(float p) override { calls << QStringLiteral("setPosition %1").arg(p); }
    int Time() const override { return time; }
    int Length() const override { return length; }
    void shuttle(int seconds) override { calls << QStringLiteral("shuttle %1").arg(seconds); }
    void setRate(float r) override {
        rate = r;
        calls << QStringLiteral("setRate %1").arg(r);
    }
    void setMuted(bool m) override {
        calls << QStringLiteral("setMuted %1").arg(m);
        if (m != muted) {
            muted = m;
            Q_EMIT mutedChanged(m);
        }
    }
    bool isMuted() const override { return muted; }
    void nextFrame() override { calls << QStringLiteral("nextFrame"); }
    void previousFrame() override { calls << QStringLiteral("previousFrame"); }
    QString stepProblem() const override { return {}; }
    int Volume() const override { return volume; }
    void setVolume(int v) override {
        volume = v;
        calls << QStringLiteral("setVolume %1").arg(v);
    }
    VideoFrame currentFrame() const override { return frame; }
    bool hasNoVideo() const override { return noVideo; }

    QList<MediaTrack> subtitleTracks() const override { return subtitles; }
    int subtitleTrack() const override { return subtitle; }
    void setSubtitleTrack(int id) override {
        subtitle = id;
        calls << QStringLiteral("setSubtitleTrack %1").arg(id);
    }
    void addSubtitleFile(const QString& path) override {
        calls << QStringLiteral("addSubtitleFile %1").arg(path);
    }
    QList<MediaTrack> audioTracks() const override { return audio; }
    int audioTrack() const override { return audioId; }
    void setAudioTrack(int id) override {
        audioId = id;
        calls << QStringLiteral("setAudioTrack %1").arg(id);
    }
};
