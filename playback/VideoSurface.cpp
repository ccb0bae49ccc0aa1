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
    converter_ = new ScreenConverter(this);
    connect(converter_, &ScreenConverter::converted, this, &VideoSurface::imageConverted);
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
    if (frame.isNull()) {
        clear();
        return;
    }
    frame_ = frame;
    // Converted for where the picture was painted last; a paint elsewhere asks again.
    if (paintedArea_.isEmpty())
        repaintViews();
    else
        requestImage(paintedArea_);
}

void VideoSurface::clear() {
    frame_ = {};
    image_ = QImage();
    preview_ = QImage();
    askedSerial_ = 0;
    previewTimer_->stop();
    repaintViews();
}

void VideoSurface::showPreview(const VideoFrame& frame) {
    if (frame.isNull())
        return;
    QSize shape = frame.displaySize();
    if (shape.width() > kPreviewSide || shape.height() > kPreviewSide)
        shape.scale(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio);
    previewSerial_ = frame.serial;
    converter_->request(ScreenConverter::Kind::Preview, frame, shape);
}

void VideoSurface::imageConverted(ScreenConverter::Kind kind, quint64 serial, const QImage& image) {
    if (kind == ScreenConverter::Kind::Preview) {
        if (serial != previewSerial_ || image.isNull())
            return;
        preview_ = image;
        previewTimer_->start();
    } else {
        // A frame replaced meanwhile is not shown: its successor is on its way.
        if (serial != frame_.serial || frame_.isNull())
            return;
        image_ = image;
    }
    repaintViews();
}

void VideoSurface::requestImage(QSize area) {
    const QSize size = frame_.displaySize().scaled(area, Qt::KeepAspectRatio);
    if (size.isEmpty() || (askedSerial_ == frame_.serial && askedSize_ == size))
        return;
    askedSerial_ = frame_.serial;
    askedSize_ = size;
    converter_->request(ScreenConverter::Kind::Picture, frame_, size);
}

void VideoSurface::toggleFullScreen() {
    setFullScreen(!isFullScreen());
}

void VideoSurface::setFullScreen(bool fullScreen) {
    if (fullScreen == isFullScreen())
        return;
    if (fullScreen) {
        fullScreenWindow_ = new FullScreenWindow(
            this, [this](QPainter& painter, const QRect& area) { paintVideo(painter, area); });
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

void VideoSurface::paintVideo(QPainter& painter, const QRect& area) {
    painter.fillRect(area, Qt::black);
    if (frame_.isNull())
        return;
    const QRect target = fitKeepingAspect(frame_.displaySize(), area);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    paintedArea_ = (area.size().toSizeF() * ratio).toSize();
    requestImage(paintedArea_);
    if (image_.isNull())
        return;
    // The image is made at this size; until the one for a new size comes, the last one
    // stands in, scaled.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, image_);
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
