#include "playback/media/PlaneScaler.h"
#include "playback/media/VectorClones.h"

#include <algorithm>
#include <cmath>

namespace {

// Which source samples make each output sample along one axis, and how much of each:
// taps weights per output (summing to 1), stored tap by tap: weights[k * outputs + i].
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
    std::vector<float> w(size_t(t.taps));
    for (int i = 0; i < outputs; ++i) {
        const double centre = origin + i * step;
        std::fill(w.begin(), w.end(), 0.0f);
        const double lo = centre - step / 2;
        const double hi = centre + step / 2;
        const int first = step > 1 ? int(std::floor(lo + 0.5)) : int(std::floor(centre));
        // Taps outside the source fall on its edge samples.
        const int lowest = std::clamp(first, 0, std::max(0, length - t.taps));
        double sum = 0;
        for (int k = 0; k < t.taps; ++k) {
            double weight = 0;
            if (step > 1) // the average over the source pixels this one covers
                weight =
                    std::max(0.0, std::min(hi, first + k + 0.5) - std::max(lo, first + k - 0.5));
            else if (k < 2) // between the nearest two
                weight = k == 0 ? 1 - (centre - first) : centre - first;
            w[size_t(std::clamp(first + k, 0, length - 1) - lowest)] += float(weight);
            sum += weight;
        }
        for (int k = 0; k < t.taps; ++k)
            t.weights[size_t(k) * size_t(outputs) + size_t(i)] =
                sum > 0 ? float(w[size_t(k)] / sum) : (k == 0 ? 1.0f : 0.0f);
        t.first[size_t(i)] = lowest;
    }
    return t;
}

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

// One output row across: tap by tap over every output, so that the loops vectorise.
FRAMORA_VECTOR_CLONES void blendAcross(const float* row, const Taps& across, int taps, int width,
                                       float unit, float* __restrict sums, quint16* out) {
    const int* first = across.first.data();
    for (int x = 0; x < width; ++x)
        sums[x] = 0;
    for (int k = 0; k < taps; ++k) {
        const float* w = &across.weights[size_t(k) * size_t(width)];
        for (int x = 0; x < width; ++x)
            sums[x] += w[x] * row[first[x] + k];
    }
    for (int x = 0; x < width; ++x)
        out[x] = quint16(std::min(std::max(sums[x] * unit + 0.5f, 0.0f), 65535.0f));
}

// Down first (each output row from a few whole source rows), then across the output rows
// only: shrinking, far fewer samples pass the second step than the first.
void scalePlane(const uchar* source, qsizetype pitch, int depth, QSize from, const Taps& across,
                const Taps& down, float unit, quint16* out, QSize to) {
    std::vector<float> row(size_t(from.width()));
    std::vector<float> sums(size_t(to.width()));
    const int downTaps = std::min(down.taps, from.height());
    std::vector<float> w(static_cast<size_t>(downTaps));
    const int acrossTaps = std::min(across.taps, from.width());
    for (int y = 0; y < to.height(); ++y) {
        for (int k = 0; k < downTaps; ++k)
            w[size_t(k)] = down.weights[size_t(k) * size_t(to.height()) + size_t(y)];
        if (depth > 8)
            blendRows16(source, pitch, down.first[size_t(y)], w.data(), downTaps, from.width(),
                        row.data());
        else
            blendRows8(source, pitch, down.first[size_t(y)], w.data(), downTaps, from.width(),
                       row.data());
        blendAcross(row.data(), across, acrossTaps, to.width(), unit, sums.data(),
                    out + qsizetype(y) * to.width());
    }
}

} // namespace

// The taps of each plane, for one source layout and one output size.
struct YuvScaler::Filters {
    YuvFormat format;
    QSize from;
    QSize to;
    Taps across[3];
    Taps down[3];
};

YuvScaler::YuvScaler() = default;
YuvScaler::~YuvScaler() = default;

const YuvPicture& YuvScaler::scale(const YuvPicture& source, QSize size) {
    picture_ = {{ChromaSubsampling::Yuv444, 16}, size, {}, {}};
    if (size.isEmpty() || source.size.isEmpty())
        return picture_;
    const QSize chroma = chromaPlaneSize(source.size, source.format.subsampling);
    if (!filters_ || filters_->format != source.format || filters_->from != source.size ||
        filters_->to != size) {
        filters_ = std::make_unique<Filters>();
        filters_->format = source.format;
        filters_->from = source.size;
        filters_->to = size;
        const double sx = double(source.size.width()) / size.width();
        const double sy = double(source.size.height()) / size.height();
        const bool halfAcross = source.format.subsampling != ChromaSubsampling::Yuv444;
        const bool halfDown = source.format.subsampling == ChromaSubsampling::Yuv420;
        for (int p = 0; p < 3; ++p) {
            const QSize from = p == 0 ? source.size : chroma;
            // Luma at (i + 0.5) s - 0.5; a halved chroma sample j lies at luma 2j + 0.5.
            filters_->across[p] =
                p > 0 && halfAcross
                    ? tapsFor(size.width(), from.width(), (0.5 * sx - 1) / 2, sx / 2)
                    : tapsFor(size.width(), from.width(), 0.5 * sx - 0.5, sx);
            filters_->down[p] =
                p > 0 && halfDown
                    ? tapsFor(size.height(), from.height(), (0.5 * sy - 1) / 2, sy / 2)
                    : tapsFor(size.height(), from.height(), 0.5 * sy - 0.5, sy);
        }
    }
    const qsizetype plane = qsizetype(size.width()) * size.height();
    samples_.resize(size_t(plane) * 3);
    const float unit = float(1 << (16 - source.format.bitDepth));
    for (int p = 0; p < 3; ++p) {
        quint16* out = samples_.data() + plane * p;
        scalePlane(source.planes[size_t(p)], source.pitches[size_t(p)], source.format.bitDepth,
                   p == 0 ? source.size : chroma, filters_->across[p], filters_->down[p], unit, out,
                   size);
        picture_.planes[size_t(p)] = reinterpret_cast<const uchar*>(out);
        picture_.pitches[size_t(p)] = qsizetype(size.width()) * 2;
    }
    return picture_;
}
