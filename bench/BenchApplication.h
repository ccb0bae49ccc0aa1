#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>

#include <vector>

class QTimer;

// The application object of the benchmark. While recording it times what the
// user-interface thread does: every event it delivers (the outermost delivery only, so
// nested sends count once), the ticks of one chosen timer, and how late a 1 ms probe
// timer fires, which shows any stall whatever caused it.
class BenchApplication : public QApplication {
public:
    BenchApplication(int& argc, char** argv);
    ~BenchApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // tickTimer's timer events are also kept apart as ticks; null for none.
    void startRecording(QObject* tickTimer);
    void stopRecording();

    [[nodiscard]] const std::vector<double>& handlerMs() const { return handlerMs_; }
    [[nodiscard]] const std::vector<double>& tickMs() const { return tickMs_; }
    // Repaints of a window (the backing store's update requests).
    [[nodiscard]] const std::vector<double>& paintMs() const { return paintMs_; }
    [[nodiscard]] const std::vector<double>& probeLatenessMs() const { return probeMs_; }
    // The longest delivery: its event type and receiver, for the report.
    [[nodiscard]] QString slowestHandler() const { return slowest_; }

private:
    void probe();

    bool recording_ = false;
    int depth_ = 0;
    QPointer<QObject> tickTimer_;
    QTimer* probe_ = nullptr;
    qint64 lastProbe_ = 0;
    double slowestMs_ = 0;
    QString slowest_;
    std::vector<double> handlerMs_;
    std::vector<double> tickMs_;
    std::vector<double> paintMs_;
    std::vector<double> probeMs_;
};
