#pragma once

#include <QWidget>

// The start and end marks of an export, drawn over the progress bar: a line at each mark
// and a light band between them. It covers its parent and lets every mouse event through.
class ProgressMarks : public QWidget {
    Q_OBJECT
public:
    explicit ProgressMarks(QWidget* parent);

    // Fractions of the video's length; negative for a mark not set.
    void setMarks(double in, double out);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    double in_ = -1;
    double out_ = -1;
};
