#include "shell/LayoutPass.h"

#include <QTest>

// The design puts the progress bar's top at 276 in a 418-pixel client area.
static constexpr float kGap = 418 - 7 - 276;
static constexpr float kTpp = 15;

class TestLayoutPass : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placement_data() {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRectF>("expected");

        const auto row = [](const char* label, float w, float h, const char* control, QRectF r) {
            QTest::addRow("%s %s", label, control) << w << h << QString::fromLatin1(control) << r;
        };

        // At the minimum size.
        const char* m = "489x418";
        row(m, 489, 418, "movieProgress", {72, 276, 345, 17});
        row(m, 489, 418, "stage", {72, 8, 345, 258.75});
        row(m, 489, 418, "logoHide", {72, 8, 345, 258.75});
        row(m, 489, 418, "playButton", {23, 36.75, 49, 46});
        row(m, 489, 418, "pauseButton", {23, 82.75, 49, 46});
        row(m, 489, 418, "stopButton", {23, 128.75, 49, 46});
        row(m, 489, 418, "rewindButton", {23, 174.75, 49, 46});
        row(m, 489, 418, "ffButton", {23, 220.75, 49, 46});
        row(m, 489, 418, "snapshotButton", {417, 36.75, 49, 46});
        row(m, 489, 418, "continuousSnapshotsButton", {417, 82.75, 49, 46});
        row(m, 489, 418, "timedSnapshotsButton", {417, 128.75, 49, 46});
        row(m, 489, 418, "Command1", {417, 174.75, 49, 46});
        row(m, 489, 418, "Command2", {417, 220.75, 49, 46});
        row(m, 489, 418, "muteStatus", {72, 303, 41, 36});
        row(m, 489, 418, "volumeSlider", {113, 303, 112, 36});
        row(m, 489, 418, "timeElapsed", {225, 303, 151, 36});
        row(m, 489, 418, "fullScreenButton", {376, 303, 41, 36});
        row(m, 489, 418, "quickPath", {72, 344, 345, 49});
        row(m, 489, 418, "toolTips", {0, 393, 489, 25});

        // Wider: the 4:3 area is bound by the height and centred.
        const char* w = "1000x418";
        row(w, 1000, 418, "movieProgress", {72, 276, 856, 17});
        row(w, 1000, 418, "stage", {322, 8, 356, 267});
        row(w, 1000, 418, "playButton", {273, 45, 49, 46});
        row(w, 1000, 418, "ffButton", {273, 229, 49, 46});
        row(w, 1000, 418, "snapshotButton", {678, 45, 49, 46});
        row(w, 1000, 418, "Command2", {678, 229, 49, 46});
        row(w, 1000, 418, "muteStatus", {72, 303, 41, 36});
        row(w, 1000, 418, "volumeSlider", {113, 303, 623, 36});
        row(w, 1000, 418, "timeElapsed", {736, 303, 151, 36});
        row(w, 1000, 418, "fullScreenButton", {887, 303, 41, 36});
        row(w, 1000, 418, "quickPath", {72, 344, 856, 49});
        row(w, 1000, 418, "toolTips", {0, 393, 1000, 25});

        // Taller: everything below the video moves down, the video stays.
        const char* t = "489x800";
        row(t, 489, 800, "movieProgress", {72, 658, 345, 17});
        row(t, 489, 800, "stage", {72, 8, 345, 258.75});
        row(t, 489, 800, "ffButton", {23, 220.75, 49, 46});
        row(t, 489, 800, "Command2", {417, 220.75, 49, 46});
        row(t, 489, 800, "muteStatus", {72, 685, 41, 36});
        row(t, 489, 800, "volumeSlider", {113, 685, 112, 36});
        row(t, 489, 800, "timeElapsed", {225, 685, 151, 36});
        row(t, 489, 800, "fullScreenButton", {376, 685, 41, 36});
        row(t, 489, 800, "quickPath", {72, 726, 345, 49});
        row(t, 489, 800, "toolTips", {0, 775, 489, 25});
    }

    void placement() {
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(QString, control);
        QFETCH(QRectF, expected);

        const MainLayout layout = computeMainLayout(width, height, kGap, kTpp);
        QVERIFY2(layout.controls.contains(control), qPrintable(control));
        QCOMPARE(layout.rect(control), expected);
    }

    void quickPathInside_data() {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("browseLeftTwips");
        QTest::addColumn<float>("folderWidthTwips");
        QTest::newRow("489") << 489.f << 3570.f << 3180.f;
        // 856 px wide frame: (856 - 97 - 10) * 15.
        QTest::newRow("1000") << 1000.f << 11235.f << 10845.f;
    }

    void quickPathInside() {
        QFETCH(float, width);
        QFETCH(float, browseLeftTwips);
        QFETCH(float, folderWidthTwips);

        const MainLayout layout = computeMainLayout(width, 418, kGap, kTpp);
        QCOMPARE(layout.browseCommandLeftTwips, browseLeftTwips);
        QCOMPARE(layout.quickSnapshotFolderWidthTwips, folderWidthTwips);
        // The same in pixels relative to the frame; the button ends 10 pixels inside it.
        const QRectF browse = layout.rect(QStringLiteral("browseCommand"));
        QCOMPARE(browse, QRectF(browseLeftTwips / 15, 16, 97, 19));
        QCOMPARE(browse.right(), layout.rect(QStringLiteral("quickPath")).width() - 10);
        QCOMPARE(layout.rect(QStringLiteral("quickSnapshotFolder")),
                 QRectF(16, 16, folderWidthTwips / 15, 19));
    }

    void minimumSize_data() {
        QTest::addColumn<QSizeF>("outer");
        QTest::addColumn<QSizeF>("result"); // empty = nothing to do
        QTest::newRow("large enough") << QSizeF(9000, 8000) << QSizeF();
        QTest::newRow("exactly the minimum") << QSizeF(7455, 6960) << QSizeF();
        QTest::newRow("too narrow") << QSizeF(6000, 8000) << QSizeF(7455, 8000);
        QTest::newRow("too low") << QSizeF(9000, 5000) << QSizeF(9000, 6960);
        QTest::newRow("both") << QSizeF(100, 100) << QSizeF(7455, 6960);
    }

    void minimumSize() {
        QFETCH(QSizeF, outer);
        QFETCH(QSizeF, result);
        const std::optional<QSizeF> size = enforceMinimumSize(outer, QSizeF(7455, 6960));
        QCOMPARE(size.value_or(QSizeF()), result);
    }
};

QTEST_GUILESS_MAIN(TestLayoutPass)
#include "tst_layoutpass.moc"
