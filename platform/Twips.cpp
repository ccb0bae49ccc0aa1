#include "platform/Twips.h"

#include <QFontMetricsF>
#include <QWidget>
#include <algorithm>

static constexpr float kTwipsPerInch = 1440.0f;
static constexpr float kFallbackTwipsPerPixel = 15.0f;

float twipsPerPixel(const QWidget& widget) {
    const int dpi = widget.logicalDpiX();
    // A screen that reports no resolution is treated as the common 96 DPI.
    return dpi > 0 ? kTwipsPerInch / static_cast<float>(dpi) : kFallbackTwipsPerPixel;
}

float dialogTwipsPerPixel(const QWidget& dialog) {
    // The design's label "Use this value instead:" was given 105 pixels at 96 DPI.
    static constexpr float kDesignReferenceWidth = 105.0f;
    const QFontMetricsF metrics(dialog.font());
    const auto needed =
        static_cast<float>(metrics.horizontalAdvance(QStringLiteral("Use this value instead:")));
    const float screenDpiScale = kFallbackTwipsPerPixel / twipsPerPixel(dialog);
    const float fontScale = std::max(1.0f, needed / (kDesignReferenceWidth * screenDpiScale));
    return twipsPerPixel(dialog) / fontScale;
}

void fitTextToWidth(QWidget& control) {
    static constexpr qreal kSmallestPointSize = 7.0;
    const QWidget* parent = control.parentWidget();
    QFont font = parent ? parent->font() : control.font();
    control.setFont(font);
    while (control.sizeHint().width() > control.width() &&
           font.pointSizeF() - 0.5 >= kSmallestPointSize) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        control.setFont(font);
    }
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
