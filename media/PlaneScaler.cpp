#include "media/PlaneScaler.h"

#include <algorithm>
#include <cmath>

namespace {

// Which source samples make each output sample along one axis, and how much of each:
// taps entries per output, weights summing to 1.
struct Taps {
    int taps = 1;
    std::vector<int> first;
    std::vector<float> weights;
};

// Output i is centred on source coordinate origin + i * step (sample k spans k - 0.5 to
// k + 0.5); outside the source the edge samples stand in.
Taps tapsFor(int outputs, int length, double origin, double step) {
    Taps t;
    t.taps = step > 1 ? int(std::ceil(step)) + 1 : 2;
    t.first.resize(size_t(outputs));
    t.weights.assign(size_t(outputs) * size_t(t.taps), 0.0f);
    for (int i = 0; i < outputs; ++i) {
        const double centre = origin + i * step;
        float* w = &t.weights[size_t(i) * size_t(t.taps)];
        std::vector<double> raw(size_t(t.taps), 0.0);
        int first = 0;
        if (step > 1) {
            // The average over the source pixels this one covers.
            const double lo = centre - step / 2;
            const double hi = centre + step / 2;
            first = int(std::floor(lo + 0.5));
            for (int k = 0; k < t.taps; ++k) {
                const double overlap =
                    std::min(hi, first + k + 0.5) - std::max(lo, first + k - 0.5);
                raw[size_t(k)] = std::max(0.0, overlap);
            }
        } else {
            first = int(std::floor(centre));
            const double f = centre - first;
            raw[0] = 1 - f;
            raw[1] = f;
        }
        // Taps outside the source fall on its edge samples.
        const int lowest = std::clamp(first, 0, std::max(0, length - t.taps));
        double sum = 0;
        for (int k = 0; k < t.taps; ++k) {
            const int at = std::clamp(first + k, 0, length - 1) - lowest;
            if (at >= 0 && at < t.taps)
                w[at] += float(raw[size_t(k)]);
            sum += raw[size_t(k)];
        }
        for (int k = 0; k < t.taps; ++k)
            w[k] = sum > 0 ? float(w[k] / sum) : (k == 0 ? 1.0f : 0.0f);
        t.first[size_t(i)] = lowest;
    }
    return t;
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define FRAMORA_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define FRAMORA_VECTOR_CLONES
#endif

// One output row from taps source rows, over the whole width: the loop that reads every
// source sample once, so it runs over whole rows and vectorises.
template <typename Sample>
inline void blendRows(const uchar* source, qsizetype pitch, int first, const float* w, int taps,
                      int width, float* __restrict out) {
    for (int x = 0; x < width; ++x)
        out[x] = 0;
    for (int k = 0; k < taps; ++k) {
        const auto* __restrict in = reinterpret_cast<const Sample*>(source + pitch * (first + k));
        const float weight = w[k];
        for (int x = 0; x < width; ++x)
            out[x] += weight * float(in[x]);
    }
}

FRAMORA_VECTOR_CLONES void blendRows8(const uchar* source, qsizetype pitch, int first,
                                      const float* w, int taps, int width, float* out) {
    blendRows<quint8>(source, pitch, first, w, taps, width, out);
}

FRAMORA_VECTOR_CLONES void blendRows16(const uchar* source, qsizetype pitch, int first,
                                       const float* w, int taps, int width, float* out) {
    blendRows<quint16>(source, pitch, first, w, taps, width, out);
}

// Down first (each output row from a few whole source rows), then across the output rows
// only: shrinking, far fewer samples pass the second step than the first.
void scalePlane(const uchar* source, qsizetype pitch, int depth, QSize from, const Taps& across,
                const Taps& down, float unit, quint16* out, QSize to) {
    std::vector<float> row(size_t(from.width()));
    const int downTaps = std::min(down.taps, from.height());
    const int acrossTaps = std::min(across.taps, from.width());
    for (int y = 0; y < to.height(); ++y) {
        const float* w = &down.weights[size_t(y) * size_t(down.taps)];
        if (depth > 8)
            blendRows16(source, pitch, down.first[size_t(y)], w, downTaps, from.width(),
                        row.data());
        else
            blendRows8(source, pitch, down.first[size_t(y)], w, downTaps, from.width(), row.data());
        quint16* o = out + qsizetype(y) * to.width();
        for (int x = 0; x < to.width(); ++x) {
            const float* s = row.data() + across.first[size_t(x)];
            const float* a = &across.weights[size_t(x) * size_t(across.taps)];
            float sum = 0;
            for (int k = 0; k < acrossTaps; ++k)
                sum += a[k] * s[k];
            o[x] = quint16(std::min(std::max(sum * unit + 0.5f, 0.0f), 65535.0f));
        }
    }
}

} // namespace

ScaledYuv::ScaledYuv(const YuvPicture& source, QSize size) {
    picture_.format = {ChromaSubsampling::Yuv444, 16};
    picture_.size = size;
    if (size.isEmpty() || source.size.isEmpty())
        return;
    const qsizetype plane = qsizetype(size.width()) * size.height();
    samples_.resize(size_t(plane) * 3);
    const float unit = float(1 << (16 - source.format.bitDepth));
    const double sx = double(source.size.width()) / size.width();
    const double sy = double(source.size.height()) / size.height();
    const QSize chroma = chromaPlaneSize(source.size, source.format.subsampling);
    const bool halfAcross = source.format.subsampling != ChromaSubsampling::Yuv444;
    const bool halfDown = source.format.subsampling == ChromaSubsampling::Yuv420;
    for (int p = 0; p < 3; ++p) {
        const QSize from = p == 0 ? source.size : chroma;
        const bool across = p > 0 && halfAcross;
        const bool down = p > 0 && halfDown;
        // Luma at (i + 0.5) s - 0.5; a halved chroma sample j lies at luma 2j + 0.5.
        const Taps a = across ? tapsFor(size.width(), from.width(), (0.5 * sx - 1) / 2, sx / 2)
                              : tapsFor(size.width(), from.width(), 0.5 * sx - 0.5, sx);
        const Taps d = down ? tapsFor(size.height(), from.height(), (0.5 * sy - 1) / 2, sy / 2)
                            : tapsFor(size.height(), from.height(), 0.5 * sy - 0.5, sy);
        quint16* out = samples_.data() + plane * p;
        scalePlane(source.planes[size_t(p)], source.pitches[size_t(p)], source.format.bitDepth,
                   from, a, d, unit, out, size);
        picture_.planes[size_t(p)] = reinterpret_cast<const uchar*>(out);
        picture_.pitches[size_t(p)] = qsizetype(size.width()) * 2;
    }
}
