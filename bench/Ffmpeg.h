#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

// The ffmpeg command-line tool as the yardstick: encoding raw RGB24 frames that are
// already on disk, timed from outside.
class Ffmpeg {
public:
    // stderrPath: where ffmpeg's complaints go.
    explicit Ffmpeg(QString stderrPath) : stderrPath_(std::move(stderrPath)) {}

    struct Cost {
        double wallMs = 0;
        double cpuMs = 0;
        bool ok = false;
    };

    // One frame of raw RGB24 (size) to output, with extra output options; null output
    // when output is empty ("-f null -").
    [[nodiscard]] Cost encodeFrame(const QString& raw, QSize size, const QStringList& options,
                                   const QString& output) const;
    // Every frame of a raw RGB24 file at 25 fps, with extra output options, to output
    // (an image2 pattern, or empty for a null output).
    [[nodiscard]] Cost encodeFrames(const QString& raw, QSize size, const QStringList& options,
                                    const QString& output) const;
    // Decodes image files (a path or an image2 pattern) into one raw RGB24 file, at most
    // maxFrames of them.
    [[nodiscard]] bool toRawRgb(const QString& input, const QString& raw, int maxFrames) const;
    // PSNR in dB of an image file against the raw RGB24 frame; negative when unknown,
    // 1000 for identical pictures.
    [[nodiscard]] double psnr(const QString& raw, QSize size, const QString& image) const;
    // The first line of `ffmpeg -version`.
    [[nodiscard]] QString version() const;

private:
    [[nodiscard]] Cost run(const QStringList& arguments) const;
    [[nodiscard]] static QStringList rawInput(const QString& raw, QSize size);

    QString stderrPath_;
};
