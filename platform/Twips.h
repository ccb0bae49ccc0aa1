#pragma once

#include <QRect>
#include <QRectF>
#include <QWidget>

// Window designs are kept in twips (1/1440 inch); widgets are placed in pixels.

// Twips per pixel of the screen the widget is on: 1440 / logical DPI (15 at 96 DPI).
[[nodiscard]] float twipsPerPixel(const QWidget& widget);

// Twips per pixel for a dialog drawn in twips: the screen's, made smaller when the
// dialog's font runs wider than the small font the design was drawn with, so that its
// texts keep their room. Never larger than the screen's.
[[nodiscard]] float dialogTwipsPerPixel(const QWidget& dialog);

// Gives a label, check box or button back its parent's font, then makes that font smaller
// (down to a legible limit) until the control's text fits its width: translations run
// longer than the texts a design was measured for.
void fitTextToWidth(QWidget& control);

// A twips rectangle in pixels, still with its fractions.
[[nodiscard]] QRectF twipsToPixelsF(const QRectF& twips, float tpp);

// A pixel rectangle rounded for a widget: each of left, top, width and height on its own.
[[nodiscard]] QRect roundedRect(const QRectF& pixels);

// Both steps at once, for placing a control from its design position.
[[nodiscard]] QRect twipsToPixels(const QRectF& twips, float tpp);

// Creates a control of a window drawn in twips, named and placed from its design position.
template <typename Control>
Control* placeControl(QWidget* parent, const char* objectName, const QRectF& twips, float tpp) {
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(objectName));
    control->setGeometry(twipsToPixels(twips, tpp));
    return control;
}
