#pragma once

#include "media/VideoFrame.h"

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
// written. Full screen shows the same picture in a frameless window of its own, so the
// main window and its layout stay untouched; Escape or a double-click there leaves.
class VideoSurface : public QWidget {
    Q_OBJECT
public:
    explicit VideoSurface(QWidget* parent = nullptr);
    ~VideoSurface() override;

    // Shown at the size it is meant to be seen at; a null image shows black.
    void showFrame(const VideoFrame& frame);
    void clear();
    [[nodiscard]] const QImage& frame() const { return frame_; }

    void showPreview(const QImage& image);
    [[nodiscard]] bool isPreviewShown() const { return !preview_.isNull(); }

    void toggleFullScreen();
    void setFullScreen(bool fullScreen);
    [[nodiscard]] bool isFullScreen() const { return fullScreenWindow_ != nullptr; }
    [[nodiscard]] QWidget* fullScreenWindow() const;

    // The frame fitted into area, black around it, and the preview if one is up.
    void paintVideo(QPainter& painter, const QRect& area) const;

    // How long a snapshot preview stays up.
    static constexpr int kPreviewMilliseconds = 1500;

Q_SIGNALS:
    void fullScreenChanged(bool fullScreen);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void repaintViews();

    QImage frame_;
    QSize shownSize_;
    QImage preview_;
    QTimer* previewTimer_ = nullptr;
    FullScreenWindow* fullScreenWindow_ = nullptr; // a child; deleted only here
};
