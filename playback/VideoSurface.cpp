#include "playback/VideoSurface.h"

#include "playback/FullScreenWindow.h"

#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <algorithm>

// Largest side of the stored preview; it is drawn at a quarter of the video's width.
constexpr int kPreviewSide = 480;

QRect fitKeepingAspect(QSize frame, const QRect& area) {
    if (frame.isEmpty() || area.isEmpty())
        return {};
    const QSize fitted = frame.scaled(area.size(), Qt::KeepAspectRatio);
    return {area.x() + (area.width() - fitted.width()) / 2,
            area.y() + (area.height() - fitted.height()) / 2, fitted.width(), fitted.height()};
}

QRect previewRect(QSize preview, const QRect& video) {
    if (preview.isEmpty() || video.isEmpty())
        return {};
    const int margin = std::max(2, video.width() / 40);
    const QSize size = preview.scaled(std::max(1, video.width() / 4),
                                      std::max(1, video.height() / 4), Qt::KeepAspectRatio);
    return {video.right() + 1 - margin - size.width(), video.bottom() + 1 - margin - size.height(),
            size.width(), size.height()};
}

VideoSurface::VideoSurface(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    previewTimer_ = new QTimer(this);
    previewTimer_->setSingleShot(true);
    previewTimer_->setInterval(kPreviewMilliseconds);
    connect(previewTimer_, &QTimer::timeout, this, [this] {
        preview_ = QImage();
        repaintViews();
    });
}

VideoSurface::~VideoSurface() = default;

void VideoSurface::showFrame(const VideoFrame& frame) {
    if (frame.image.isNull()) {
        clear();
        return;
    }
    frame_ = frame.image;
    shownSize_ = frame.displaySize();
    repaintViews();
}

void VideoSurface::clear() {
    frame_ = QImage();
    preview_ = QImage();
    previewTimer_->stop();
    repaintViews();
}

void VideoSurface::showPreview(const QImage& image) {
    if (image.isNull())
        return;
    // A picture of the video's own kind has the video's shape, which its pixels may not.
    QSize shape = image.size() == frame_.size() ? shownSize_ : image.size();
    if (shape.width() > kPreviewSide || shape.height() > kPreviewSide)
        shape.scale(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio);
    // A fast scale: in continuous capture this runs for every image written.
    preview_ = shape == image.size()
                   ? image
                   : image.scaled(shape, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    previewTimer_->start();
    repaintViews();
}

void VideoSurface::toggleFullScreen() {
    setFullScreen(!isFullScreen());
}

void VideoSurface::setFullScreen(bool fullScreen) {
    if (fullScreen == isFullScreen())
        return;
    if (fullScreen) {
        fullScreenWindow_ = new FullScreenWindow(*this);
        connect(fullScreenWindow_, &FullScreenWindow::leaveRequested, this,
                [this] { setFullScreen(false); });
        // The screen's size up front: without a window manager full-screen state alone
        // leaves a new window at its default size.
        if (QScreen* screen = window()->screen())
            fullScreenWindow_->setGeometry(screen->geometry());
        fullScreenWindow_->showFullScreen();
        fullScreenWindow_->activateWindow();
        fullScreenWindow_->setFocus(Qt::ActiveWindowFocusReason);
    } else {
        FullScreenWindow* window = fullScreenWindow_;
        fullScreenWindow_ = nullptr;
        window->hide();
        window->deleteLater();
    }
    update();
    Q_EMIT fullScreenChanged(fullScreen);
}

QWidget* VideoSurface::fullScreenWindow() const {
    return fullScreenWindow_;
}

void VideoSurface::paintVideo(QPainter& painter, const QRect& area) const {
    painter.fillRect(area, Qt::black);
    if (frame_.isNull())
        return;
    const QRect target = fitKeepingAspect(shownSize_, area);
    // Bilinear scaling of a 1080p frame costs 0.6 to 3.4 ms per paint (640x360 to
    // 2560x1440 targets, measured), little more than nearest-pixel sampling.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, frame_);
    if (!preview_.isNull()) {
        const QRect box = previewRect(preview_.size(), target);
        painter.fillRect(box.adjusted(-2, -2, 2, 2), Qt::white);
        painter.drawImage(box, preview_);
    }
}

void VideoSurface::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // While full screen shows the video, this one stays black.
    if (isFullScreen())
        painter.fillRect(rect(), Qt::black);
    else
        paintVideo(painter, rect());
}

void VideoSurface::repaintViews() {
    if (fullScreenWindow_)
        fullScreenWindow_->update();
    else
        update();
}
