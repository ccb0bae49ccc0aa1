#include "shell/GlyphFaces.h"

#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVariant>
#include <array>
#include <utility>

namespace {
constexpr int kIconSize = 64;
const char* const kCaptionProperty = "glyphCaption";

QPainterPath triangle(double left, double right, double top, double bottom, bool pointsRight) {
    QPainterPath path;
    const double mid = (top + bottom) / 2;
    if (pointsRight) {
        path.moveTo(left, top);
        path.lineTo(right, mid);
        path.lineTo(left, bottom);
    } else {
        path.moveTo(right, top);
        path.lineTo(left, mid);
        path.lineTo(right, bottom);
    }
    path.closeSubpath();
    return path;
}

void drawCamera(QPainter& p, const QColor& ink) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(8, 20, 48, 32), 6, 6);
    p.drawRect(QRectF(22, 14, 20, 8));
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(32, 36), 10, 10);
    p.setBrush(ink);
    p.drawEllipse(QPointF(32, 36), 6, 6);
}

void drawSpeaker(QPainter& p, const QColor& ink) {
    QPainterPath path;
    path.moveTo(8, 26);
    path.lineTo(18, 26);
    path.lineTo(30, 14);
    path.lineTo(30, 50);
    path.lineTo(18, 38);
    path.lineTo(8, 38);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.fillPath(path, ink);
}

void paintGlyph(QPainter& p, Glyph glyph) {
    const QColor ink(0xF2, 0xF2, 0xF2);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QPen line(ink, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (glyph) {
    case Glyph::Play:
        p.fillPath(triangle(18, 50, 12, 52, true), ink);
        break;
    case Glyph::Pause:
        p.fillRect(QRectF(16, 12, 11, 40), ink);
        p.fillRect(QRectF(37, 12, 11, 40), ink);
        break;
    case Glyph::Stop:
        p.fillRect(QRectF(14, 14, 36, 36), ink);
        break;
    case Glyph::Rewind:
        p.fillPath(triangle(4, 32, 14, 50, false), ink);
        p.fillPath(triangle(32, 60, 14, 50, false), ink);
        break;
    case Glyph::FastForward:
        p.fillPath(triangle(4, 32, 14, 50, true), ink);
        p.fillPath(triangle(32, 60, 14, 50, true), ink);
        break;
    case Glyph::Slower:
        for (int i = 0; i < 3; ++i)
            p.fillPath(triangle(6 + i * 18, 22 + i * 18, 22, 42, false), ink);
        break;
    case Glyph::Faster:
        for (int i = 0; i < 3; ++i)
            p.fillPath(triangle(6 + i * 18, 22 + i * 18, 22, 42, true), ink);
        break;
    case Glyph::Snapshot:
        drawCamera(p, ink);
        break;
    case Glyph::Continuous:
        // A camera with a film strip under it: one picture after another.
        p.save();
        p.translate(0, -6);
        drawCamera(p, ink);
        p.restore();
        for (int i = 0; i < 5; ++i)
            p.fillRect(QRectF(8 + i * 10, 52, 6, 6), ink);
        break;
    case Glyph::Timed: {
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(32, 35), 21, 21);
        p.drawLine(QPointF(32, 35), QPointF(32, 21));
        p.drawLine(QPointF(32, 35), QPointF(42, 41));
        p.drawLine(QPointF(26, 7), QPointF(38, 7));
        break;
    }
    case Glyph::SoundOn:
        drawSpeaker(p, ink);
        p.setPen(QPen(ink, 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(26, 22, 16, 20), -50 * 16, 100 * 16);
        p.drawArc(QRectF(24, 14, 28, 36), -50 * 16, 100 * 16);
        p.drawArc(QRectF(22, 6, 40, 52), -50 * 16, 100 * 16);
        break;
    case Glyph::Muted:
        drawSpeaker(p, ink);
        p.setPen(QPen(QColor(0xE0, 0x4F, 0x4F), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(38, 22), QPointF(56, 42));
        p.drawLine(QPointF(56, 22), QPointF(38, 42));
        break;
    case Glyph::FullScreen: {
        p.setPen(line);
        p.setBrush(Qt::NoBrush);
        const std::array<std::pair<QPointF, QPointF>, 4> corners{
            {{{8, 8}, {1, 1}}, {{56, 8}, {-1, 1}}, {{8, 56}, {1, -1}}, {{56, 56}, {-1, -1}}}};
        for (const auto& [corner, dir] : corners) {
            p.drawLine(corner, corner + QPointF(14 * dir.x(), 0));
            p.drawLine(corner, corner + QPointF(0, 14 * dir.y()));
        }
        break;
    }
    }
}
} // namespace

QIcon glyphIcon(Glyph glyph) {
    QIcon icon;
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
        QPixmap pixmap(kIconSize, kIconSize);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            if (mode == QIcon::Disabled)
                painter.setOpacity(0.3);
            paintGlyph(painter, glyph);
        }
        icon.addPixmap(pixmap, mode);
    }
    return icon;
}

void setGlyphFace(QPushButton& button, Glyph glyph) {
    button.setIcon(glyphIcon(glyph));
    const bool big = glyph == Glyph::Snapshot || glyph == Glyph::Continuous ||
                     glyph == Glyph::Timed || glyph == Glyph::FullScreen;
    button.setIconSize(big ? QSize(28, 28) : QSize(22, 22));
}

QString glyphCaption(const QPushButton& button) {
    return button.property(kCaptionProperty).toString();
}

void setGlyphCaption(QPushButton& button, const QString& caption) {
    button.setProperty(kCaptionProperty, caption);
}

HoverText hoverTextOf(const QString& objectName) {
    static const std::array<std::pair<const char*, HoverText>, 11> table{{
        {"snapshotButton", {QStringLiteral("021"), QStringLiteral("Single Snapshot")}},
        {"continuousSnapshotsButton",
         {QStringLiteral("022"), QStringLiteral("Continuous Snapshots")}},
        {"timedSnapshotsButton", {QStringLiteral("023"), QStringLiteral("Timed Snapshots")}},
        {"fullScreenButton", {QStringLiteral("024"), QStringLiteral("Full Screen")}},
        {"Command1", {QStringLiteral("025"), QStringLiteral("Decrease Speed")}},
        {"Command2", {QStringLiteral("026"), QStringLiteral("Increase Speed")}},
        {"rewindButton", {QStringLiteral("027"), QStringLiteral("Rewind")}},
        {"playButton", {QStringLiteral("028"), QStringLiteral("Play")}},
        {"pauseButton", {QStringLiteral("029"), QStringLiteral("Pause")}},
        {"stopButton", {QStringLiteral("030"), QStringLiteral("Stop")}},
        {"ffButton", {QStringLiteral("031"), QStringLiteral("Fast Forward")}},
    }};
    for (const auto& [name, hover] : table) {
        if (objectName == QLatin1String(name))
            return hover;
    }
    return {};
}

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/framora/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}
