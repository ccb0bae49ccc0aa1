#pragma once

#include <QImage>
#include <QWidget>

// The picture shown while the main window loads: frameless, no controls, not modal.
// The main window shows it first thing and closes it at the end of its load.
class SplashForm : public QWidget {
    Q_OBJECT
public:
    SplashForm();

    // Shows the window centred on the screen and paints it at once, so that it is
    // visible while the load that follows blocks the event loop.
    void showNow();

    // The splash picture at the given device pixel ratio, drawn from scratch.
    [[nodiscard]] static QImage picture(qreal devicePixelRatio = 1.0);
    [[nodiscard]] static QSize pictureSize() { return {440, 260}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};
