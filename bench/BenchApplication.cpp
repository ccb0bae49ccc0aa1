#include "bench/BenchApplication.h"

#include "bench/ChildProcess.h"

#include <QMetaEnum>
#include <QThread>
#include <QTimer>

constexpr int kProbeMs = 1;

BenchApplication::BenchApplication(int& argc, char** argv) : QApplication(argc, argv) {
    probe_ = new QTimer(this);
    probe_->setTimerType(Qt::PreciseTimer);
    probe_->setInterval(kProbeMs);
    connect(probe_, &QTimer::timeout, this, [this] { probe(); });
}

BenchApplication::~BenchApplication() = default;

bool BenchApplication::notify(QObject* receiver, QEvent* event) {
    if (!recording_ || depth_ > 0 || QThread::currentThread() != thread()) {
        ++depth_;
        const bool result = QApplication::notify(receiver, event);
        --depth_;
        return result;
    }
    const QEvent::Type type = event->type();
    const bool tick = tickTimer_ && receiver == tickTimer_ && type == QEvent::Timer;
    const char* className = receiver ? receiver->metaObject()->className() : "?";
    const QString name = receiver ? receiver->objectName() : QString();
    const qint64 start = monotonicNs();
    ++depth_;
    const bool result = QApplication::notify(receiver, event);
    --depth_;
    const double ms = double(monotonicNs() - start) / 1e6;
    if (!recording_)
        return result;
    handlerMs_.push_back(ms);
    if (tick)
        tickMs_.push_back(ms);
    if (type == QEvent::UpdateRequest)
        paintMs_.push_back(ms);
    if (ms > slowestMs_) {
        slowestMs_ = ms;
        slowest_ =
            QStringLiteral("%1 to %2 %3")
                .arg(QString::fromLatin1(QMetaEnum::fromType<QEvent::Type>().valueToKey(type)),
                     QString::fromLatin1(className), name)
                .trimmed();
    }
    return result;
}

void BenchApplication::startRecording(QObject* tickTimer) {
    tickTimer_ = tickTimer;
    handlerMs_.clear();
    tickMs_.clear();
    paintMs_.clear();
    probeMs_.clear();
    slowestMs_ = 0;
    slowest_.clear();
    lastProbe_ = monotonicNs();
    recording_ = true;
    probe_->start();
}

void BenchApplication::stopRecording() {
    recording_ = false;
    probe_->stop();
}

void BenchApplication::probe() {
    const qint64 now = monotonicNs();
    probeMs_.push_back(std::max(0.0, double(now - lastProbe_) / 1e6 - kProbeMs));
    lastProbe_ = now;
}
