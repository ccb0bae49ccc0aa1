#include "platform/Twips.h"

#include <QWidget>

static constexpr float kTwipsPerInch = 1440.0f;
static constexpr float kFallbackTwipsPerPixel = 15.0f;

float twipsPerPixel(const QWidget& widget) {
    const int dpi = widget.logicalDpiX();
    // A screen that reports no resolution is treated as the common 96 DPI.
    return dpi > 0 ? kTwipsPerInch / static_cast<float>(dpi) : kFallbackTwipsPerPixel;
}

QRectF twipsToPixelsF(const QRectF& twips, float tpp) {
    if (tpp <= 0.0f)
        tpp = kFallbackTwipsPerPixel;
    return {twips.x() / tpp, twips.y() / tpp, twips.width() / tpp, twips.height() / tpp};
}

QRect roundedRect(const QRectF& pixels) {
    return {qRound(pixels.x()), qRound(pixels.y()), qRound(pixels.width()),
            qRound(pixels.height())};
}

QRect twipsToPixels(const QRectF& twips, float tpp) {
    return roundedRect(twipsToPixelsF(twips, tpp));
}
