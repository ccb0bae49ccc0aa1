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
    // Every frame of the clip from fromSeconds to toSeconds into image files (an image2
    // pattern), with extra output options; -threads applies to decoding and encoding.
    [[nodiscard]] Cost extractFrames(const QString& clip, double fromSeconds, double toSeconds,
                                     int threads, const QStringList& options,
                                     const QString& output) const;
    // Frames of the whole clip through a video filter (which picks them: fps=1/10,
    // select=...) into image files, with extra output options.
    [[nodiscard]] Cost filterFrames(const QString& clip, int threads, const QString& filter,
                                    const QStringList& options, const QString& output) const;
    // Decodes image files (a path or an image2 pattern) into one raw RGB24 file, at most
    // maxFrames of them.
    [[nodiscard]] bool toRawRgb(const QString& input, const QString& raw, int maxFrames) const;
    // The first frame of a clip, through a filter chain (empty: none) that ends in RGB, as
    // raw RGB24; also pictures lavfi makes (clip "lavfi:<graph>").
    [[nodiscard]] bool firstFrameRgb(const QString& clip, const QString& filter,
                                     const QString& raw) const;
    // PSNR in dB of an image file against the raw RGB24 frame; negative when unknown,
    // 1000 for identical pictures.
    [[nodiscard]] double psnr(const QString& raw, QSize size, const QString& image) const;
    struct ColourError {
        double meanAbsolute = -1; // over every channel of every pixel; negative: unknown
        double pixelsOver4 = -1;  // fraction of pixels with a channel more than 4 levels off
    };
    // Our frame (raw RGB24 of size) against ffmpeg's accurate conversion of the frames of
    // clip from fromSeconds on (at most frames of them), with the given matrix and range
    // ("bt709", "tv"): the error of the frame that matches best, which is the same frame.
    [[nodiscard]] ColourError colourError(const QString& raw, QSize size, const QString& clip,
                                          const QString& matrix, double fromSeconds,
                                          int frames) const;
    // The first line of `ffmpeg -version`.
    [[nodiscard]] QString version() const;

private:
    [[nodiscard]] Cost run(const QStringList& arguments) const;
    [[nodiscard]] static QStringList rawInput(const QString& raw, QSize size);

    QString stderrPath_;
};
