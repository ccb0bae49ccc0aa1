#pragma once

#include <QRect>
#include <QWidget>
#include <QtGlobal>

// The control and its page are designed in twips (1/1440 inch); the screen's logical
// DPI turns them into pixels. Kept as static members so the names stay private to
// this folder.
struct BrowseMetrics {
    [[nodiscard]] static float TwipsPerPixelX(const QWidget& widget) {
        return 1440.0f / static_cast<float>(widget.logicalDpiX());
    }
    [[nodiscard]] static float TwipsPerPixelY(const QWidget& widget) {
        return 1440.0f / static_cast<float>(widget.logicalDpiY());
    }
    [[nodiscard]] static int ToPixels(float twips, float twipsPerPixel) {
        return qRound(twips / twipsPerPixel);
    }
    [[nodiscard]] static QRect ToPixels(const QRectF& twips, const QWidget& widget) {
        const float x = TwipsPerPixelX(widget);
        const float y = TwipsPerPixelY(widget);
        return {ToPixels(static_cast<float>(twips.left()), x),
                ToPixels(static_cast<float>(twips.top()), y),
                ToPixels(static_cast<float>(twips.width()), x),
                ToPixels(static_cast<float>(twips.height()), y)};
    }
    // HIMETRIC (1/100 mm) is what containers record as a control's extent.
    [[nodiscard]] static int TwipsToHimetric(int twips) {
        return qRound(static_cast<double>(twips) * 2540.0 / 1440.0);
    }
};
