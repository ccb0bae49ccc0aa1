#pragma once

#include <QWidget>

#include <functional>

// A frameless top-level window that shows a picture full screen: paint draws it into the
// window's area. Escape, a double-click or closing the window asks to leave.
class FullScreenWindow : public QWidget {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter& painter, const QRect& area)>;
    FullScreenWindow(QWidget* parent, Painter paint);

Q_SIGNALS:
    void leaveRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Painter paint_;
};
