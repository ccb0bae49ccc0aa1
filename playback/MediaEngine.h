#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// Every operation the program asks of the media engine, and nothing more.
// Position is negative while no media is loaded; Time and Length are whole seconds.
class MediaEngine : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MediaEngine() override = default;

    // Replaces the playlist with this one file and its seven options. Mode 10 also
    // starts it, mode 2 does not.
    virtual void addTarget(const QString& path, const QStringList& options, int mode,
                           int position) = 0;
    virtual void playlistClear() = 0;
    [[nodiscard]] virtual int PlaylistCount() const = 0;

    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    [[nodiscard]] virtual bool Playing() const = 0;

    [[nodiscard]] virtual float Position() const = 0;
    virtual void setPosition(float position) = 0;
    [[nodiscard]] virtual int Time() const = 0;
    [[nodiscard]] virtual int Length() const = 0;

    virtual void shuttle(int seconds) = 0;
    virtual void playFaster() = 0;
    virtual void playSlower() = 0;
    virtual void fullscreen() = 0;
    virtual void toggleMute() = 0;
    [[nodiscard]] virtual int Volume() const = 0;
    virtual void setVolume(int volume) = 0;

    // "key-snapshot" then "key-pressed" with 83 asks for a snapshot of the current frame.
    // False when the engine refuses at once (no video); a failure found later while the
    // image is written arrives as snapshotFailed.
    [[nodiscard]] virtual bool setVariable(const QString& name, int value) = 0;

Q_SIGNALS:
    // A snapshot that was accepted could not be written; reason is for the log/stderr.
    void snapshotFailed(const QString& reason);
    // A snapshot file is complete under its final name.
    void snapshotWritten(const QString& path);
    // The item could not be played: not a video, damaged, or unreadable.
    void playbackFailed(const QString& path);
};
