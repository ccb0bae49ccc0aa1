#pragma once

#include <QRect>
#include <QRectF>

class QWidget;

// Window designs are kept in twips (1/1440 inch); widgets are placed in pixels.

// Twips per pixel of the screen the widget is on: 1440 / logical DPI (15 at 96 DPI).
[[nodiscard]] float twipsPerPixel(const QWidget& widget);

// A twips rectangle in pixels, still with its fractions.
[[nodiscard]] QRectF twipsToPixelsF(const QRectF& twips, float tpp);

// A pixel rectangle rounded for a widget: each of left, top, width and height on its own.
[[nodiscard]] QRect roundedRect(const QRectF& pixels);

// Both steps at once, for placing a control from its design position.
[[nodiscard]] QRect twipsToPixels(const QRectF& twips, float tpp);
