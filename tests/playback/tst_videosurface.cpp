// The video surface: fitting, the snapshot preview and its own full-screen window.
#include "playback/VideoSurface.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QtTest>

class TstVideoSurface : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fit_data();
    void fit();
    void previewGoesInTheBottomRightCorner();
    void paintsTheFrameFittedOnBlack();
    void clearShowsBlack();
    void previewShowsForAMoment();
    void fullScreenIsAWindowOfItsOwn();
    void fullScreenLeaves_data();
    void fullScreenLeaves();
    void paintCost();
};

static QImage filled(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

static QImage rendered(VideoSurface& surface) {
    QImage out(surface.size(), QImage::Format_RGB32);
    out.fill(Qt::magenta);
    surface.render(&out);
    return out;
}

void TstVideoSurface::fit_data() {
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("fitted");
    QTest::newRow("wider frame: bars above and below")
        << QSize(320, 180) << QRect(0, 0, 200, 200) << QRect(0, 44, 200, 112);
    QTest::newRow("taller frame: bars left and right")
        << QSize(100, 200) << QRect(0, 0, 300, 100) << QRect(125, 0, 50, 100);
    QTest::newRow("same aspect fills")
        << QSize(640, 480) << QRect(0, 0, 320, 240) << QRect(0, 0, 320, 240);
    QTest::newRow("small frame grows")
        << QSize(32, 24) << QRect(10, 20, 320, 240) << QRect(10, 20, 320, 240);
    QTest::newRow("no frame") << QSize() << QRect(0, 0, 10, 10) << QRect();
}

void TstVideoSurface::fit() {
    QFETCH(QSize, frame);
    QFETCH(QRect, area);
    QFETCH(QRect, fitted);
    QCOMPARE(fitKeepingAspect(frame, area), fitted);
}

void TstVideoSurface::previewGoesInTheBottomRightCorner() {
    const QRect video(0, 44, 400, 300);
    const QRect box = previewRect(QSize(320, 240), video);
    QCOMPARE(box.width(), 100);
    QCOMPARE(box.height(), 75);
    QVERIFY(video.contains(box));
    QVERIFY(box.right() > video.right() - 20);
    QVERIFY(box.bottom() > video.bottom() - 20);
}

void TstVideoSurface::paintsTheFrameFittedOnBlack() {
    VideoSurface surface;
    surface.resize(200, 200);
    surface.showFrame(filled(QSize(320, 180), Qt::red));
    const QImage out = rendered(surface);
    QCOMPARE(out.pixelColor(100, 100), QColor(Qt::red));
    QCOMPARE(out.pixelColor(100, 10), QColor(Qt::black));  // bar above
    QCOMPARE(out.pixelColor(100, 190), QColor(Qt::black)); // bar below
    QCOMPARE(out.pixelColor(1, 50), QColor(Qt::red));
}

void TstVideoSurface::clearShowsBlack() {
    VideoSurface surface;
    surface.resize(50, 50);
    surface.showFrame(filled(QSize(50, 50), Qt::green));
    surface.clear();
    QVERIFY(surface.frame().isNull());
    QCOMPARE(rendered(surface).pixelColor(25, 25), QColor(Qt::black));
}

void TstVideoSurface::previewShowsForAMoment() {
    VideoSurface surface;
    surface.resize(400, 300);
    surface.showFrame(filled(QSize(400, 300), Qt::red));
    surface.showPreview(filled(QSize(1920, 1080), Qt::blue));
    QVERIFY(surface.isPreviewShown());
    const QImage out = rendered(surface);
    const QRect box = previewRect(QSize(480, 270), QRect(0, 0, 400, 300));
    QCOMPARE(out.pixelColor(box.center()), QColor(Qt::blue));
    QCOMPARE(out.pixelColor(10, 10), QColor(Qt::red));
    QTRY_VERIFY_WITH_TIMEOUT(!surface.isPreviewShown(), VideoSurface::kPreviewMilliseconds * 4);
    QCOMPARE(rendered(surface).pixelColor(box.center()), QColor(Qt::red));
}

void TstVideoSurface::fullScreenIsAWindowOfItsOwn() {
    QWidget mainWindow;
    auto* surface = new VideoSurface(&mainWindow);
    surface->setGeometry(5, 6, 160, 120);
    mainWindow.show();
    QSignalSpy changed(surface, &VideoSurface::fullScreenChanged);
    surface->showFrame(filled(QSize(16, 9), Qt::red));

    surface->toggleFullScreen();
    QVERIFY(surface->isFullScreen());
    QWidget* window = surface->fullScreenWindow();
    QVERIFY(window);
    QVERIFY(window->isWindow());
    QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    QTRY_VERIFY(window->isVisible());
    QVERIFY(window->windowState().testFlag(Qt::WindowFullScreen));
    // The main window and its layout are untouched.
    QCOMPARE(surface->parentWidget(), &mainWindow);
    QCOMPARE(surface->geometry(), QRect(5, 6, 160, 120));
    QVERIFY(!mainWindow.isFullScreen());

    surface->toggleFullScreen();
    QVERIFY(!surface->isFullScreen());
    QCOMPARE(changed.size(), 2);
}

void TstVideoSurface::fullScreenLeaves_data() {
    QTest::addColumn<int>("how"); // 0 Escape, 1 double-click, 2 window closed
    QTest::newRow("Escape") << 0;
    QTest::newRow("double-click") << 1;
    QTest::newRow("window closed") << 2;
}

void TstVideoSurface::fullScreenLeaves() {
    QFETCH(int, how);
    VideoSurface surface;
    surface.setFullScreen(true);
    QPointer<QWidget> window = surface.fullScreenWindow();
    QVERIFY(window);
    if (how == 0)
        QTest::keyClick(window, Qt::Key_Escape);
    else if (how == 1)
        QTest::mouseDClick(window, Qt::LeftButton);
    else
        window->close();
    QVERIFY(!surface.isFullScreen());
    QTRY_VERIFY(window.isNull()); // deleted later
}

// Not pass/fail: how long one paint of a 1080p frame takes.
void TstVideoSurface::paintCost() {
    const QImage frame = filled(QSize(1920, 1080), Qt::darkCyan);
    for (const QSize widget : {QSize(640, 360), QSize(960, 540), QSize(1920, 1080)}) {
        VideoSurface surface;
        surface.resize(widget);
        surface.showFrame(frame);
        QImage out(widget, QImage::Format_RGB32);
        QElapsedTimer timer;
        timer.start();
        constexpr int kPaints = 20;
        for (int i = 0; i < kPaints; ++i)
            surface.render(&out);
        qInfo("1080p frame painted into %dx%d: %.2f ms", widget.width(), widget.height(),
              timer.nsecsElapsed() / 1e6 / kPaints);
    }
}

QTEST_MAIN(TstVideoSurface)
#include "tst_videosurface.moc"
