#pragma once

#include "playback/ScreenConverter.h"
#include "playback/media/VideoFrame.h"

#include <QImage>
#include <QWidget>

class FullScreenWindow;
class QTimer;

// The largest rectangle of frame's aspect ratio inside area, centred.
[[nodiscard]] QRect fitKeepingAspect(QSize frame, const QRect& area);

// Where a snapshot preview of the given size goes over the video shown in video: a
// quarter of its width, aspect kept, in the bottom right corner with a small margin.
[[nodiscard]] QRect previewRect(QSize preview, const QRect& video);

// Where video is shown: the latest frame scaled to fit with its aspect ratio kept, on
// black; over it, for a moment after each snapshot, a small preview of the image
// written. Each picture is converted from the frame's YUV at the size it is painted at,
// off the user-interface thread (ScreenConverter); a paused picture is converted again
// only when that size changes. Full screen shows the same picture in a frameless window
// of its own, so the main window and its layout stay untouched; Escape or a double-click
// there leaves.
class VideoSurface : public QWidget {
    Q_OBJECT
public:
    explicit VideoSurface(QWidget* parent = nullptr);
    ~VideoSurface() override;

    // Shown at the size it is meant to be seen at; a null frame shows black.
    void showFrame(const VideoFrame& frame);
    void clear();
    [[nodiscard]] const VideoFrame& frame() const { return frame_; }
    // What is painted for the frame now: its image at the size it is painted at, once
    // converted (null until then, or while black).
    [[nodiscard]] const QImage& shownImage() const { return image_; }

    // The frame just written, small, for a moment.
    void showPreview(const VideoFrame& frame);
    [[nodiscard]] bool isPreviewShown() const { return !preview_.isNull(); }

    void toggleFullScreen();
    void setFullScreen(bool fullScreen);
    [[nodiscard]] bool isFullScreen() const { return fullScreenWindow_ != nullptr; }
    [[nodiscard]] QWidget* fullScreenWindow() const;

    // The frame fitted into area, black around it, and the preview if one is up.
    void paintVideo(QPainter& painter, const QRect& area);

    // How long a snapshot preview stays up.
    static constexpr int kPreviewMilliseconds = 1500;

Q_SIGNALS:
    void fullScreenChanged(bool fullScreen);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void repaintViews();
    // Asks for the frame's image at the size it is painted at in an area of that many
    // device pixels, unless it is there or on its way.
    void requestImage(QSize area);
    void imageConverted(ScreenConverter::Kind kind, quint64 serial, const QImage& image);

    ScreenConverter* converter_ = nullptr;
    VideoFrame frame_;
    QImage image_;
    // The serial and size asked for last: the same are not asked for twice.
    quint64 askedSerial_ = 0;
    QSize askedSize_;
    QSize paintedArea_; // where the picture was painted last, in device pixels
    quint64 previewSerial_ = 0;
    QImage preview_;
    QTimer* previewTimer_ = nullptr;
    FullScreenWindow* fullScreenWindow_ = nullptr; // a child; deleted only here
};
