#include "bench/Ffmpeg.h"

#include "bench/ChildProcess.h"

#include <QRegularExpression>

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

bool Ffmpeg::toRawRgb(const QString& input, const QString& raw, int maxFrames) const {
    return run({QStringLiteral("-i"), input, QStringLiteral("-frames:v"),
                QString::number(maxFrames), QStringLiteral("-f"), QStringLiteral("rawvideo"),
                QStringLiteral("-pix_fmt"), QStringLiteral("rgb24"), QStringLiteral("-y"), raw})
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

QString Ffmpeg::version() const {
    const ChildResult child =
        runChild({QStringLiteral("ffmpeg"), QStringLiteral("-version")}, {}, true, stderrPath_);
    return QString::fromUtf8(child.output)
        .section(QLatin1Char('\n'), 0, 0)
        .section(QStringLiteral(" Copyright"), 0, 0)
        .trimmed();
}
