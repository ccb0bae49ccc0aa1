// The video surface: fitting, the snapshot preview and its own full-screen window.
#include "playback/VideoSurface.h"

#include <QtTest>

static QImage filled(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

static QImage rendered(QWidget& widget) {
    QImage out(widget.size(), QImage::Format_RGB32);
    out.fill(Qt::magenta);
    widget.render(&out);
    return out;
}

class TstVideoSurface : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fit_data() {
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("wider frame: bars above and below")
            << QSize(320, 180) << QRect(0, 0, 200, 200) << QRect(0, 44, 200, 112);
        QTest::newRow("taller frame: bars left and right")
            << QSize(100, 200) << QRect(0, 0, 300, 100) << QRect(125, 0, 50, 100);
        QTest::newRow("small frame grows")
            << QSize(32, 24) << QRect(10, 20, 320, 240) << QRect(10, 20, 320, 240);
        QTest::newRow("no frame") << QSize() << QRect(0, 0, 10, 10) << QRect();
    }
    void fit() {
        QFETCH(QSize, frame);
        QFETCH(QRect, area);
        QTEST(fitKeepingAspect(frame, area), "fitted");
    }

    // The frame fitted on black; after a snapshot, a small preview in the bottom right
    // corner of the video for a moment.
    void paintsFrameAndPreview() {
        VideoSurface surface;
        surface.resize(200, 200);
        surface.showFrame(filled(QSize(320, 180), Qt::red));
        surface.showPreview(filled(QSize(1920, 1080), Qt::blue));
        QVERIFY(surface.isPreviewShown());
        const QRect video(0, 44, 200, 112);
        const QRect box = previewRect(QSize(1920, 1080), video);
        QVERIFY(video.contains(box));
        QVERIFY(box.width() < 100 && box.right() > 180 && box.bottom() > 136);
        const QImage out = rendered(surface);
        QCOMPARE(out.pixelColor(box.center()), QColor(Qt::blue));
        QCOMPARE(out.pixelColor(1, 50), QColor(Qt::red));
        QCOMPARE(out.pixelColor(100, 10), QColor(Qt::black));  // bar above
        QCOMPARE(out.pixelColor(100, 190), QColor(Qt::black)); // bar below
        QTRY_VERIFY_WITH_TIMEOUT(!surface.isPreviewShown(), VideoSurface::kPreviewMilliseconds * 4);
        QCOMPARE(rendered(surface).pixelColor(box.center()), QColor(Qt::red));
        surface.clear();
        QVERIFY(surface.frame().isNull());
        QCOMPARE(rendered(surface).pixelColor(100, 100), QColor(Qt::black));
    }

    // A frameless window of its own showing the video; the main window and its layout
    // stay untouched.
    void fullScreen_data() {
        QTest::addColumn<QString>("leave");
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("double-click") << "double-click";
        QTest::newRow("window closed") << "close";
    }
    void fullScreen() {
        QFETCH(QString, leave);
        QWidget mainWindow;
        auto* surface = new VideoSurface(&mainWindow);
        surface->setGeometry(5, 6, 160, 120);
        mainWindow.show();
        QSignalSpy changed(surface, &VideoSurface::fullScreenChanged);
        surface->showFrame(filled(QSize(16, 9), Qt::red));

        surface->toggleFullScreen();
        QVERIFY(surface->isFullScreen());
        QPointer<QWidget> window = surface->fullScreenWindow();
        QVERIFY(window && window->isWindow());
        QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
        QTRY_VERIFY(window->isVisible());
        QVERIFY(window->windowState().testFlag(Qt::WindowFullScreen));
        QCOMPARE(rendered(*window).pixelColor(window->rect().center()), QColor(Qt::red));
        QCOMPARE(surface->parentWidget(), &mainWindow);
        QCOMPARE(surface->geometry(), QRect(5, 6, 160, 120));
        QVERIFY(!mainWindow.isFullScreen());

        if (leave == QLatin1String("Escape"))
            QTest::keyClick(window, Qt::Key_Escape);
        else if (leave == QLatin1String("double-click"))
            QTest::mouseDClick(window, Qt::LeftButton);
        else
            window->close();
        QVERIFY(!surface->isFullScreen());
        QCOMPARE(changed.size(), 2);
        QTRY_VERIFY(window.isNull()); // deleted later
    }
};

QTEST_MAIN(TstVideoSurface)
#include "tst_videosurface.moc"
