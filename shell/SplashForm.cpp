#include "shell/SplashForm.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

// The application's mark, as in assets/framora.svg: a frame of film with a lens over it,
// drawn in a 256-unit square placed at box.
static void paintMark(QPainter& p, const QRectF& box) {
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 256.0, box.height() / 256.0);
    p.setPen(Qt::NoPen);

    QLinearGradient tile(0, 12, 0, 244);
    tile.setColorAt(0, QColor(0x3a, 0x41, 0x4d));
    tile.setColorAt(1, QColor(0x1a, 0x1d, 0x22));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(12, 12, 232, 232), 46, 46);

    p.setBrush(QColor(0x0b, 0x0c, 0x0e));
    p.drawRoundedRect(QRectF(24, 60, 208, 136), 12, 12);

    p.setBrush(QColor(0xe4, 0xdf, 0xd2));
    for (int i = 0; i < 6; ++i) {
        const qreal x = 36 + 30 * i;
        p.drawRoundedRect(QRectF(x, 70, 18, 13), 3, 3);
        p.drawRoundedRect(QRectF(x, 173, 18, 13), 3, 3);
    }

    QLinearGradient picture(0, 94, 0, 162);
    picture.setColorAt(0, QColor(0xff, 0xc2, 0x4d));
    picture.setColorAt(1, QColor(0xec, 0x86, 0x2e));
    p.setBrush(picture);
    p.drawRoundedRect(QRectF(40, 94, 176, 68), 5, 5);

    p.setBrush(QColor(0xf7, 0xf1, 0xe3));
    p.drawEllipse(QPointF(128, 128), 31, 31);
    p.setBrush(QColor(0x16, 0x18, 0x1c));
    p.drawEllipse(QPointF(128, 128), 24, 24);
    p.setBrush(QColor(0x3d, 0x46, 0x54));
    p.drawEllipse(QPointF(128, 128), 12, 12);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(122, 122), 4, 4);
    p.restore();
}

// A strip of film along the bottom edge, its holes running off both ends.
static void paintFilmEdge(QPainter& p, const QRectF& band) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0b, 0x0c, 0x0e));
    p.drawRect(band);
    p.setBrush(QColor(0x3a, 0x3d, 0x44));
    const qreal hole = band.height() * 0.45;
    for (qreal x = band.left() - hole / 2; x < band.right(); x += hole * 1.9)
        p.drawRoundedRect(QRectF(x, band.center().y() - hole / 2, hole, hole), 2, 2);
    p.restore();
}

QImage SplashForm::picture(qreal devicePixelRatio) {
    const QSize size = pictureSize();
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient background(0, 0, size.width(), size.height());
    background.setColorAt(0, QColor(0x26, 0x2a, 0x31));
    background.setColorAt(1, QColor(0x0f, 0x10, 0x13));
    p.fillRect(QRect(QPoint(0, 0), size), background);

    paintFilmEdge(p, QRectF(0, size.height() - 30, size.width(), 30));
    paintMark(p, QRectF(30, 42, 150, 150));

    QFont title = p.font();
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0xf4, 0xf1, 0xea));
    const QRectF titleBox(198, 70, size.width() - 210, 56);
    p.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Framora"));

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf5, 0xa5, 0x3a));
    p.drawRect(QRectF(200, 130, 150, 3));

    QFont version = p.font();
    version.setPixelSize(14);
    version.setBold(false);
    p.setFont(version);
    p.setPen(QColor(0xa8, 0xad, 0xb5));
    p.drawText(QRectF(200, 142, size.width() - 210, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("%1.%2.0.%3")
                   .arg(FRAMORA_VERSION_MAJOR)
                   .arg(FRAMORA_VERSION_MINOR)
                   .arg(FRAMORA_VERSION_REVISION));

    p.setPen(QColor(0x3a, 0x3d, 0x44));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
    return image;
}

SplashForm::SplashForm() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("splashForm"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(pictureSize());
}

void SplashForm::showNow() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    repaint();
    QCoreApplication::processEvents();
}

void SplashForm::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    if (picture_.isNull() || !qFuzzyCompare(picture_.devicePixelRatio(), ratio))
        picture_ = picture(ratio);
    QPainter p(this);
    p.drawImage(QPointF(0, 0), picture_);
}
