#pragma once

#include <QWidget>

class VideoSurface;

// The frameless top-level window that shows a VideoSurface's picture full screen.
// Escape, a double-click or closing the window asks to leave.
class FullScreenWindow : public QWidget {
    Q_OBJECT
public:
    explicit FullScreenWindow(VideoSurface& source);

Q_SIGNALS:
    void leaveRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    VideoSurface& source_;
};
