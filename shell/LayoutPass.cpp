#include "shell/LayoutPass.h"

#include <QStringList>

MainLayout computeMainLayout(float W, float H, float progressBottomGap, float tpp,
                             const MainDesignGeometry& design) {
    if (tpp <= 0.0f)
        tpp = 15.0f;
    const auto px = [tpp](float twips) { return twips / tpp; };

    const float progressLeft = px(design.progressLeft);
    const float progressHeight = px(design.progressHeight);
    const float muteWidth = px(design.muteWidth);
    const float muteHeight = px(design.muteHeight);
    const float fullScreenWidth = px(design.fullScreenWidth);
    const float fullScreenHeight = px(design.fullScreenHeight);
    const float timeWidth = px(design.timeElapsedWidth);
    const float timeHeight = px(design.timeElapsedHeight);
    const float buttonWidth = px(design.glyphButtonWidth);
    const float buttonHeight = px(design.glyphButtonHeight);
    const float quickPathHeight = px(design.quickPathHeight);

    const float progressTop = H - progressBottomGap - 7.0f;
    const float rowTop = progressTop + progressHeight + 10.0f;
    const float progressWidth = W - 2.0f * progressLeft;

    const float stageTop = px(design.stageTop);
    float stageWidth = progressWidth;
    float stageHeight = stageWidth * 3.0f / 4.0f;
    if (stageTop + stageHeight >= progressTop) {
        stageHeight = progressTop - stageTop - 1.0f;
        stageWidth = stageHeight * 4.0f / 3.0f;
    }
    const float stageLeft = (W - stageWidth) / 2.0f;

    const float muteLeft = progressLeft;
    const float fullScreenLeft = progressLeft + progressWidth - fullScreenWidth;

    const float quickPathTop = rowTop + fullScreenHeight + 5.0f;
    const float quickPathWidth = progressWidth;
    const float quickPathLeft = muteLeft;

    // Keeps the button's right edge 10 pixels inside the frame.
    const float browseLeftTw = (quickPathWidth - design.browseCommandWidth / tpp - 10.0f) * tpp;
    const float folderWidthTw = browseLeftTw - design.quickSnapshotFolderLeft - 150.0f;

    const float timeLeft = fullScreenLeft - timeWidth;
    const float volumeLeft = muteLeft + muteWidth;
    const float volumeWidth = timeLeft - volumeLeft;

    MainLayout layout;
    layout.browseCommandLeftTwips = browseLeftTw;
    layout.quickSnapshotFolderWidthTwips = folderWidthTw;
    auto& c = layout.controls;
    c.insert(QStringLiteral("movieProgress"),
             QRectF(progressLeft, progressTop, progressWidth, progressHeight));
    c.insert(QStringLiteral("stage"), QRectF(stageLeft, stageTop, stageWidth, stageHeight));
    c.insert(QStringLiteral("logoHide"), QRectF(stageLeft, stageTop, stageWidth, stageHeight));
    c.insert(QStringLiteral("muteStatus"), QRectF(muteLeft, rowTop, muteWidth, muteHeight));
    c.insert(QStringLiteral("fullScreenButton"),
             QRectF(fullScreenLeft, rowTop, fullScreenWidth, fullScreenHeight));
    c.insert(QStringLiteral("quickPath"),
             QRectF(quickPathLeft, quickPathTop, quickPathWidth, quickPathHeight));
    c.insert(QStringLiteral("browseCommand"),
             QRectF(px(browseLeftTw), px(design.browseCommandTop), px(design.browseCommandWidth),
                    px(design.browseCommandHeight)));
    c.insert(QStringLiteral("quickSnapshotFolder"),
             QRectF(px(design.quickSnapshotFolderLeft), px(design.quickSnapshotFolderTop),
                    px(folderWidthTw), px(design.quickSnapshotFolderHeight)));
    c.insert(QStringLiteral("timeElapsed"), QRectF(timeLeft, rowTop, timeWidth, timeHeight));
    c.insert(QStringLiteral("volumeSlider"),
             QRectF(volumeLeft, rowTop, volumeWidth, px(design.volumeSliderHeight)));

    // Both columns are stacked upwards from the video's bottom edge, row by row.
    const QStringList leftColumn = {QStringLiteral("playButton"), QStringLiteral("pauseButton"),
                                    QStringLiteral("stopButton"), QStringLiteral("rewindButton"),
                                    QStringLiteral("ffButton")};
    const QStringList rightColumn = {QStringLiteral("snapshotButton"),
                                     QStringLiteral("continuousSnapshotsButton"),
                                     QStringLiteral("timedSnapshotsButton"),
                                     QStringLiteral("Command1"), QStringLiteral("Command2")};
    const float leftColumnLeft = stageLeft - buttonWidth;
    const float rightColumnLeft = stageLeft + stageWidth;
    float top = stageTop + stageHeight;
    for (qsizetype row = leftColumn.size() - 1; row >= 0; --row) {
        top -= buttonHeight;
        c.insert(leftColumn[row], QRectF(leftColumnLeft, top, buttonWidth, buttonHeight));
        c.insert(rightColumn[row], QRectF(rightColumnLeft, top, buttonWidth, buttonHeight));
    }

    const float toolTipsTop = quickPathTop + quickPathHeight;
    c.insert(QStringLiteral("toolTips"),
             QRectF(px(design.toolTipsLeft), toolTipsTop, W, H - toolTipsTop));
    return layout;
}

std::optional<QSizeF> enforceMinimumSize(const QSizeF& outer, const QSizeF& minimum) {
    QSizeF size = outer;
    if (size.width() < minimum.width())
        size.setWidth(minimum.width());
    if (size.height() < minimum.height())
        size.setHeight(minimum.height());
    if (size == outer)
        return std::nullopt;
    return size;
}
