#include "bench/Ffmpeg.h"

#include "bench/ChildProcess.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <cstdlib>

static const QStringList kQuiet = {QStringLiteral("ffmpeg"), QStringLiteral("-hide_banner"),
                                   QStringLiteral("-loglevel"), QStringLiteral("error"),
                                   QStringLiteral("-nostdin")};

QStringList Ffmpeg::rawInput(const QString& raw, QSize size) {
    return {
        QStringLiteral("-f"),       QStringLiteral("rawvideo"),
        QStringLiteral("-pix_fmt"), QStringLiteral("rgb24"),
        QStringLiteral("-s"),       QStringLiteral("%1x%2").arg(size.width()).arg(size.height()),
        QStringLiteral("-r"),       QStringLiteral("25"),
        QStringLiteral("-i"),       raw};
}

Ffmpeg::Cost Ffmpeg::run(const QStringList& arguments) const {
    const ChildResult child = runChild(kQuiet + arguments, {}, false, stderrPath_);
    return {child.wallMs, child.cpuMs, child.exited};
}

static QStringList output(const QString& path, bool image2) {
    if (path.isEmpty())
        return {QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")};
    QStringList out{QStringLiteral("-y")};
    if (image2)
        out << QStringLiteral("-f") << QStringLiteral("image2");
    return out << path;
}

Ffmpeg::Cost Ffmpeg::encodeFrame(const QString& raw, QSize size, const QStringList& options,
                                 const QString& out) const {
    return run(rawInput(raw, size) + QStringList{QStringLiteral("-frames:v"), QStringLiteral("1")} +
               options + output(out, false));
}

Ffmpeg::Cost Ffmpeg::encodeFrames(const QString& raw, QSize size, const QStringList& options,
                                  const QString& out) const {
    return run(rawInput(raw, size) + options + output(out, true));
}

Ffmpeg::Cost Ffmpeg::extractFrames(const QString& clip, double fromSeconds, double toSeconds,
                                   int threads, const QStringList& options,
                                   const QString& out) const {
    const QStringList threadCount{QStringLiteral("-threads"), QString::number(threads)};
    return run(
        threadCount +
        QStringList{QStringLiteral("-ss"), QString::number(fromSeconds), QStringLiteral("-to"),
                    QString::number(toSeconds), QStringLiteral("-i"), clip} +
        threadCount + QStringList{QStringLiteral("-fps_mode"), QStringLiteral("passthrough")} +
        options + output(out, true));
}

Ffmpeg::Cost Ffmpeg::filterFrames(const QString& clip, int threads, const QString& filter,
                                  const QStringList& options, const QString& out) const {
    const QStringList threadCount{QStringLiteral("-threads"), QString::number(threads)};
    return run(threadCount + QStringList{QStringLiteral("-i"), clip} + threadCount +
               QStringList{QStringLiteral("-vf"), filter, QStringLiteral("-fps_mode"),
                           QStringLiteral("vfr")} +
               options + output(out, true));
}

bool Ffmpeg::toRawRgb(const QString& input, const QString& raw, int maxFrames) const {
    return run({QStringLiteral("-i"), input, QStringLiteral("-frames:v"),
                QString::number(maxFrames), QStringLiteral("-f"), QStringLiteral("rawvideo"),
                QStringLiteral("-pix_fmt"), QStringLiteral("rgb24"), QStringLiteral("-y"), raw})
        .ok;
}

bool Ffmpeg::firstFrameRgb(const QString& clip, const QString& filter, const QString& raw) const {
    QStringList input{QStringLiteral("-i"), clip};
    if (clip.startsWith(QLatin1String("lavfi:")))
        input = {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), clip.mid(6)};
    QStringList filters;
    if (!filter.isEmpty())
        filters << QStringLiteral("-vf") << filter;
    return run(input + filters +
               QStringList{QStringLiteral("-frames:v"), QStringLiteral("1"), QStringLiteral("-f"),
                           QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
                           QStringLiteral("rgb24"), QStringLiteral("-y"), raw})
        .ok;
}

double Ffmpeg::psnr(const QString& raw, QSize size, const QString& image) const {
    const ChildResult child =
        runChild(kQuiet + rawInput(raw, size) +
                     QStringList{QStringLiteral("-i"), image, QStringLiteral("-lavfi"),
                                 QStringLiteral("[0]format=rgb24[a];[1]format=rgb24[b];"
                                                "[a][b]psnr=stats_file=-"),
                                 QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
                 {}, true, stderrPath_);
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("psnr_avg:(inf|[0-9.]+)"))
            .match(QString::fromUtf8(child.output));
    if (!child.exited || !match.hasMatch())
        return -1;
    return match.captured(1) == QLatin1String("inf") ? 1000 : match.captured(1).toDouble();
}

Ffmpeg::ColourError Ffmpeg::colourError(const QString& raw, QSize size, const QString& clip,
                                        const QString& matrix, double fromSeconds,
                                        int frames) const {
    ColourError best;
    QFile file(raw);
    if (!file.open(QIODevice::ReadOnly))
        return best;
    const QByteArray ours = file.readAll();
    const qsizetype frameBytes = qsizetype(size.width()) * size.height() * 3;
    if (ours.size() != frameBytes)
        return best;
    QProcess process;
    process.setStandardErrorFile(stderrPath_, QIODevice::Append);
    process.start(
        QStringLiteral("ffmpeg"),
        kQuiet.mid(1) +
            QStringList{QStringLiteral("-ss"), QString::number(fromSeconds), QStringLiteral("-i"),
                        clip, QStringLiteral("-frames:v"), QString::number(frames),
                        QStringLiteral("-vf"),
                        QStringLiteral("scale=in_color_matrix=%1:in_range=tv:flags=accurate_rnd+"
                                       "full_chroma_int")
                            .arg(matrix),
                        QStringLiteral("-f"), QStringLiteral("rawvideo"),
                        QStringLiteral("-pix_fmt"), QStringLiteral("rgb24"), QStringLiteral("-")});
    QByteArray theirs;
    const auto* a = reinterpret_cast<const uchar*>(ours.constData());
    for (;;) {
        while (theirs.size() < frameBytes && process.waitForReadyRead(30000))
            theirs += process.readAllStandardOutput();
        if (theirs.size() < frameBytes)
            break;
        const auto* b = reinterpret_cast<const uchar*>(theirs.constData());
        qint64 sum = 0;
        qint64 over = 0;
        for (qsizetype p = 0; p < frameBytes; p += 3) {
            int worst = 0;
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(int(a[p + c]) - int(b[p + c]));
                sum += d;
                worst = std::max(worst, d);
            }
            over += worst > 4 ? 1 : 0;
        }
        const double mae = double(sum) / double(frameBytes);
        if (best.meanAbsolute < 0 || mae < best.meanAbsolute)
            best = {mae, double(over) / double(frameBytes / 3)};
        theirs.remove(0, frameBytes);
    }
    process.waitForFinished(30000);
    return best;
}

QString Ffmpeg::version() const {
    const ChildResult child =
        runChild({QStringLiteral("ffmpeg"), QStringLiteral("-version")}, {}, true, stderrPath_);
    return QString::fromUtf8(child.output)
        .section(QLatin1Char('\n'), 0, 0)
        .section(QStringLiteral(" Copyright"), 0, 0)
        .trimmed();
}
