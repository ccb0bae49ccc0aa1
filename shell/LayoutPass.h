#pragma once

#include <QHash>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

// The main window's fixed design values, in twips as designed. The pass turns them into
// pixels with the screen's twips per pixel; at 15 the pixel values are whole numbers.
struct MainDesignGeometry {
    float stageTop = 120;
    float progressLeft = 1080;
    float progressHeight = 255;
    float muteWidth = 615;
    float muteHeight = 540;
    float fullScreenWidth = 615;
    float fullScreenHeight = 540;
    float timeElapsedWidth = 2265;
    float timeElapsedHeight = 540;
    float volumeSliderHeight = 540;
    float glyphButtonWidth = 735;
    float glyphButtonHeight = 690;
    float quickPathHeight = 735;
    // Inside quickPath, where they stay in twips.
    float quickSnapshotFolderLeft = 240;
    float quickSnapshotFolderTop = 240;
    float quickSnapshotFolderHeight = 285;
    float browseCommandTop = 240;
    float browseCommandWidth = 1455;
    float browseCommandHeight = 285;
    float toolTipsLeft = 0;
};

struct MainLayout {
    // Client-area rectangles in pixels, with their fractions, keyed by objectName: stage,
    // logoHide, movieProgress, timeElapsed, muteStatus, volumeSlider, fullScreenButton,
    // quickPath, toolTips and the ten glyph buttons. browseCommand and quickSnapshotFolder
    // are in pixels relative to quickPath.
    QHash<QString, QRectF> controls;
    // The two values the pass computes inside quickPath, in twips.
    float browseCommandLeftTwips = 0;
    float quickSnapshotFolderWidthTwips = 0;

    [[nodiscard]] QRectF rect(const QString& objectName) const {
        return controls.value(objectName);
    }
};

// Places every control for a client area of width x height pixels. progressBottomGap is
// the design distance between the progress bar's top and the client's bottom, less 7.
[[nodiscard]] MainLayout computeMainLayout(float width, float height, float progressBottomGap,
                                           float tpp, const MainDesignGeometry& design = {});

// The outer size the window must be given so that it is not smaller than the minimum
// (width first, then height), or nothing when it is large enough. Any one unit for all.
[[nodiscard]] std::optional<QSizeF> enforceMinimumSize(const QSizeF& outer, const QSizeF& minimum);
