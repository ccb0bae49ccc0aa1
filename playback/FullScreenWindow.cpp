#include "playback/FullScreenWindow.h"

#include "playback/VideoSurface.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

FullScreenWindow::FullScreenWindow(VideoSurface& source)
    : QWidget(&source, Qt::Window | Qt::FramelessWindowHint), source_(source) {
    setObjectName(QStringLiteral("fullScreenWindow"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(source.window()->windowTitle());
}

void FullScreenWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    source_.paintVideo(painter, rect());
}

void FullScreenWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT leaveRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FullScreenWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    Q_EMIT leaveRequested();
}

void FullScreenWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    Q_EMIT leaveRequested();
}
