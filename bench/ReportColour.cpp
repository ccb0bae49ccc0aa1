// HDR and wide-gamut colours: our picture of BT.709 bars placed in BT.2020 with its SDR,
// PQ and HLG transfers against the original, beside ffmpeg's zscale and hable tone
// mapping of the same files; a PQ ramp's highlights; what a conversion costs; 4K HLG
// playback.
#include "bench/Report.h"

#include "bench/BenchStats.h"
#include "bench/ReportText.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSet>

namespace {

// The 75 % bars of tools/make-test-clips.sh, in RGB as drawn.
const QString kBars =
    QStringLiteral("lavfi:color=black:s=640x360:r=25:d=1,format=gbrp,geq=r='st(0,floor(X*7/W));"
                   "191*(lt(ld(0),2)+eq(ld(0),4)+eq(ld(0),5))':g='st(0,floor(X*7/W));191*lt(ld(0),"
                   "4)':b='st(0,floor(X*7/W));191*(1-mod(ld(0),2))'");
const QString kZscale = QStringLiteral(
    "zscale=transfer=bt709:primaries=bt709:matrix=bt709:range=full:npl=203,format=rgb24");
const QString kHable = QStringLiteral(
    "zscale=transfer=linear:npl=203,format=gbrpf32le,zscale=primaries=bt709,"
    "tonemap=hable:desat=0,zscale=transfer=bt709:matrix=bt709:range=full,format=rgb24");

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Error {
    double mean = -1;
    double over16 = -1;
};

Error compare(const QByteArray& a, const QByteArray& b) {
    if (a.isEmpty() || a.size() != b.size())
        return {};
    qint64 sum = 0;
    qint64 over = 0;
    for (qsizetype p = 0; p + 2 < a.size(); p += 3) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(int(uchar(a[p + c])) - int(uchar(b[p + c])));
            sum += d;
            worst = std::max(worst, d);
        }
        over += worst > 16 ? 1 : 0;
    }
    return {double(sum) / double(a.size()), double(over) / double(a.size() / 3)};
}

QString errorText(const Error& e) {
    return e.mean < 0 ? QStringLiteral("?")
                      : QStringLiteral("%1, %2 %").arg(fixed(e.mean, 2), fixed(e.over16 * 100, 1));
}

// Of a ramp's middle row: whether it never falls, and the levels its right four fifths use.
struct Ramp {
    bool rising = true;
    int levels = 0;
};

Ramp rampOf(const QByteArray& raw, int width, int height) {
    Ramp ramp;
    if (raw.size() != qsizetype(width) * height * 3)
        return {false, 0};
    QSet<int> levels;
    int previous = 0;
    for (int x = 0; x < width; ++x) {
        const int g = uchar(raw[(qsizetype(height / 2) * width + x) * 3 + 1]);
        ramp.rising = ramp.rising && g >= previous;
        previous = g;
        if (x >= width / 5)
            levels.insert(g);
    }
    ramp.levels = int(levels.size());
    return ramp;
}

} // namespace

void Report::colours() {
    line(QString());
    line(QStringLiteral("### HDR and wide-gamut colours"));
    line(QString());
    line(
        QStringLiteral(
            "BT.709 75 % bars (640x360) placed in 10-bit BT.2020 with SDR white at 203 nits "
            "(tools/make-test-clips.sh: zscale, and for HLG BT.2100's inverse OOTF; the zscale HLG "
            "row is zscale's own HLG, which raises each channel to the power 1.2 instead). Our "
            "picture of the paused frame, ffmpeg `%1` and ffmpeg's hable tone mapping (`%2`) "
            "against the original bars: mean absolute error over every channel, and the share of "
            "pixels with a channel more than 16 levels off.")
            .arg(kZscale, kHable));
    line(QString());
    line(QStringLiteral("| File | Ours | ffmpeg zscale | ffmpeg hable |"));
    line(QStringLiteral("|---|---|---|---|"));
    const QString original = work(QStringLiteral("bars-original.rgb"));
    if (!ffmpeg_.firstFrameRgb(kBars, QString(), original)) {
        failed_ = true;
        return;
    }
    const QByteArray bars = readAll(original);
    QJsonObject json;
    const QString clips[][2] = {
        {QStringLiteral("bars2020.mp4"), QStringLiteral("BT.2020 SDR")},
        {QStringLiteral("barspq.mp4"), QStringLiteral("PQ")},
        {QStringLiteral("barshlg.mp4"), QStringLiteral("HLG (BT.2100)")},
        {QStringLiteral("barshlg-zscale.mp4"), QStringLiteral("HLG (zscale's)")}};
    for (const auto& [name, label] : clips) {
        const QString file = QDir(o_.clips).filePath(name);
        const QString ours = work(name + QStringLiteral(".ours.rgb"));
        const QString zscale = work(name + QStringLiteral(".zscale.rgb"));
        const QString hable = work(name + QStringLiteral(".hable.rgb"));
        const bool ok = !self({QStringLiteral("still"), file, ours}).isEmpty();
        (void)ffmpeg_.firstFrameRgb(file, kZscale, zscale);
        (void)ffmpeg_.firstFrameRgb(file, kHable, hable);
        const Error e[3] = {ok ? compare(readAll(ours), bars) : Error{},
                            compare(readAll(zscale), bars), compare(readAll(hable), bars)};
        line(QStringLiteral("| %1 | %2 | %3 | %4 |")
                 .arg(label, errorText(e[0]), errorText(e[1]), errorText(e[2])));
        json.insert(label, QJsonArray{e[0].mean, e[1].mean, e[2].mean});
        if (name != QLatin1String("barshlg-zscale.mp4"))
            target(QStringLiteral("%1 bars: mean error ≤ 2.0").arg(label),
                   e[0].mean >= 0 && e[0].mean <= 2.0, fixed(e[0].mean, 2));
    }

    const QString ramp = QDir(o_.clips).filePath(QStringLiteral("rampq.mp4"));
    const QString oursRamp = work(QStringLiteral("ramp.ours.rgb"));
    const QString zscaleRamp = work(QStringLiteral("ramp.zscale.rgb"));
    const bool rampOk = !self({QStringLiteral("still"), ramp, oursRamp}).isEmpty();
    (void)ffmpeg_.firstFrameRgb(ramp, kZscale, zscaleRamp);
    const Ramp ours = rampOk ? rampOf(readAll(oursRamp), 640, 64) : Ramp{false, 0};
    const Ramp theirs = rampOf(readAll(zscaleRamp), 640, 64);
    line(QString());
    line(QStringLiteral("A PQ grey ramp from 0 to 1,000 nits (640 pixels): whether it rises all "
                        "the way, and how many levels its highlights (200 nits on) use."));
    line(QString());
    line(QStringLiteral("| Ramp | Rises | Levels from 200 to 1,000 nits |"));
    line(QStringLiteral("|---|---|---|"));
    line(QStringLiteral("| Ours | %1 | %2 |").arg(ours.rising ? "yes" : "no").arg(ours.levels));
    line(QStringLiteral("| ffmpeg zscale | %1 | %2 |")
             .arg(theirs.rising ? "yes" : "no")
             .arg(theirs.levels));
    target(QStringLiteral("PQ ramp: rises, highlights over ≥ 20 levels"),
           ours.rising && ours.levels >= 20, QStringLiteral("%1 levels").arg(ours.levels));

    line(QString());
    line(QStringLiteral("Converting one 4:2:0 frame (`VideoFrame::toImage`, medians of 15): at "
                        "full size, as a snapshot does, and at 480x270, as the video area paints "
                        "it. ms."));
    line(QString());
    line(QStringLiteral("| Colours | 1080p full | 1080p at 480x270 | 4K full | 4K at 480x270 |"));
    line(QStringLiteral("|---|---|---|---|---|"));
    const QJsonObject hd =
        self({QStringLiteral("convert"), QStringLiteral("1920"), QStringLiteral("1080")});
    const QJsonObject uhd =
        self({QStringLiteral("convert"), QStringLiteral("3840"), QStringLiteral("2160")});
    for (const char* kind : {"BT.709", "BT.2020 SDR", "PQ", "HLG"}) {
        for (const int depth : {8, 10}) {
            const auto cost = [&](const QJsonObject& o, const char* size) {
                return fixed(o.value(QStringLiteral("%1 %2-bit at %3")
                                         .arg(QLatin1String(kind))
                                         .arg(depth)
                                         .arg(QLatin1String(size)))
                                 .toDouble(),
                             2);
            };
            line(QStringLiteral("| %1 %2-bit | %3 | %4 | %5 | %6 |")
                     .arg(QLatin1String(kind))
                     .arg(depth)
                     .arg(cost(hd, "1920x1080"), cost(hd, "480x270"), cost(uhd, "3840x2160"),
                          cost(uhd, "480x270")));
        }
    }
    json.insert(QStringLiteral("conversion1080p"), hd);
    json.insert(QStringLiteral("conversion4k"), uhd);

    const QString hlg4k = QDir(o_.clips).filePath(QStringLiteral("clip-3840x2160-hlg.mp4"));
    if (QFile::exists(hlg4k)) {
        std::vector<double> shown;
        std::vector<double> cpu;
        for (int i = 0; i < o_.runs; ++i) {
            const QJsonObject run =
                self({QStringLiteral("continuous"), hlg4k, QStringLiteral("none"),
                      QStringLiteral("8"), QStringLiteral("25"), work(QStringLiteral("hlg4k"))});
            if (run.isEmpty())
                continue;
            shown.push_back(run.value(QStringLiteral("framesShown")).toDouble() /
                            run.value(QStringLiteral("framesExpected")).toDouble());
            cpu.push_back(run.value(QStringLiteral("cpuPercent")).toDouble());
        }
        line(QString());
        line(QStringLiteral("Playing 4K25 10-bit HLG (HEVC, grain), 8 s in the benchmark's main "
                            "window: frames shown ÷ frames of the clip, and CPU (% of one core); "
                            "medians of %1 runs: %2, %3 %.")
                 .arg(shown.size())
                 .arg(fixed(median(shown), 2), fixed(median(cpu))));
        json.insert(QStringLiteral("hlg4kShown"), median(shown));
        json.insert(QStringLiteral("hlg4kCpu"), median(cpu));
    }
    results_.insert(QStringLiteral("colours"), json);
}
