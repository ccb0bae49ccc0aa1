#include "playback/FullScreenWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

FullScreenWindow::FullScreenWindow(QWidget* parent, Painter paint)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), paint_(std::move(paint)) {
    setObjectName(QStringLiteral("fullScreenWindow"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(parent->window()->windowTitle());
}

void FullScreenWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paint_(painter, rect());
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
