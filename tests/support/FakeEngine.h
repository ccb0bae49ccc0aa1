#pragma once

#include "playback/MediaEngine.h"

#include <QStringList>

// A media engine that records every call as a line of text and answers reads from
// fields the test sets.
class FakeEngine : public MediaEngine {
public:
    QStringList calls;
    // Every read is recorded too when true (the timer tick's reads).
    bool recordReads = false;

    int playlistCount = 0;
    bool playing = false;
    float position = -1.0f;
    int time = 0;
    int length = 0;
    int volume = 50;
    bool snapshotAccepted = true;
    QStringList lastOptions;

    void addTarget(const QString& path, const QStringList& options, int mode,
                   int position) override {
        lastOptions = options;
        playlistCount = 1;
        calls << QStringLiteral("addTarget %1 [%2] %3 %4")
                     .arg(path, options.join(QLatin1Char(',')))
                     .arg(mode)
                     .arg(position);
    }
    void playlistClear() override {
        playlistCount = 0;
        calls << QStringLiteral("playlistClear");
    }
    int PlaylistCount() const override {
        return read(QStringLiteral("PlaylistCount"), playlistCount);
    }
    void play() override { calls << QStringLiteral("play"); }
    void pause() override { calls << QStringLiteral("pause"); }
    void stop() override { calls << QStringLiteral("stop"); }
    bool Playing() const override { return read(QStringLiteral("Playing"), playing); }
    float Position() const override { return read(QStringLiteral("Position"), position); }
    void setPosition(float p) override { calls << QStringLiteral("setPosition %1").arg(p); }
    int Time() const override { return read(QStringLiteral("Time"), time); }
    int Length() const override { return read(QStringLiteral("Length"), length); }
    void shuttle(int seconds) override { calls << QStringLiteral("shuttle %1").arg(seconds); }
    void playFaster() override { calls << QStringLiteral("playFaster"); }
    void playSlower() override { calls << QStringLiteral("playSlower"); }
    void fullscreen() override { calls << QStringLiteral("fullscreen"); }
    void toggleMute() override { calls << QStringLiteral("toggleMute"); }
    int Volume() const override { return read(QStringLiteral("Volume"), volume); }
    void setVolume(int v) override {
        volume = v;
        calls << QStringLiteral("setVolume %1").arg(v);
    }
    bool setVariable(const QString& name, int value) override {
        calls << QStringLiteral("setVariable %1 %2").arg(name).arg(value);
        return snapshotAccepted;
    }

    // Calls since the last clear that start with prefix.
    QStringList callsStartingWith(const QString& prefix) const {
        QStringList out;
        for (const QString& c : calls)
            if (c.startsWith(prefix))
                out << c;
        return out;
    }

private:
    template <typename T> T read(const QString& name, T value) const {
        if (recordReads)
            const_cast<FakeEngine*>(this)->calls << name;
        return value;
    }
};
