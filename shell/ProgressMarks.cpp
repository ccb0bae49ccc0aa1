#include "shell/ProgressMarks.h"

#include <QEvent>
#include <QPainter>

ProgressMarks::ProgressMarks(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("progressMarks"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    parent->installEventFilter(this);
    setGeometry(parent->rect());
}

void ProgressMarks::setMarks(double in, double out) {
    in_ = in;
    out_ = out;
    update();
}

bool ProgressMarks::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void ProgressMarks::paintEvent(QPaintEvent* /*event*/) {
    if (in_ < 0 && out_ < 0)
        return;
    QPainter painter(this);
    const auto x = [this](double fraction) {
        return int(std::clamp(fraction, 0.0, 1.0) * (width() - 2));
    };
    // With one mark only, the band runs to the end it stands for.
    const int from = x(in_ >= 0 ? in_ : 0);
    const int to = x(out_ >= 0 ? out_ : 1);
    painter.fillRect(QRect(QPoint(std::min(from, to), 0), QPoint(std::max(from, to), height())),
                     QColor(255, 200, 0, 70));
    painter.setPen(Qt::NoPen);
    for (const double mark : {in_, out_}) {
        if (mark >= 0)
            painter.fillRect(x(mark), 0, 2, height(), QColor(230, 120, 0));
    }
}
