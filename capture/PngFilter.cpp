#include "capture/PngFilter.h"
#include "playback/media/VectorClones.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kBytesPerPixel = 3;
// Rows looked at to choose the filter.
constexpr int kSampleStep = 8;
// Prediction must cut the measure by this much on the sample to be worth its time.
constexpr double kWorthIt = 0.85;

enum Filter : uchar { None = 0, Sub = 1, Up = 2, Paeth = 4 };

// How far a byte read as signed is from zero: the usual measure of a filter's output.
inline quint32 distance(uchar byte) {
    return quint32(std::abs(int(static_cast<qint8>(byte))));
}

inline uchar paethOf(int a, int u, int c, uchar x) {
    const int pa = std::abs(u - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + u - 2 * c);
    const int nearer = pb <= pc ? u : c;
    return uchar(x - ((pa <= pb && pa <= pc) ? a : nearer));
}

// The measures of a row as it is and under each filter, summed into totals.
struct Measures {
    quint64 none = 0;
    quint64 sub = 0;
    quint64 up = 0;
    quint64 paeth = 0;
};

FRAMORA_VECTOR_CLONES void measure(const uchar* __restrict row, const uchar* __restrict above,
                                   qsizetype n, Measures& m) {
    const int b = kBytesPerPixel;
    quint32 none = 0;
    quint32 sub = 0;
    quint32 up = 0;
    quint32 paeth = 0;
    for (qsizetype i = b; i < n; ++i) {
        const uchar x = row[i];
        none += distance(x);
        sub += distance(uchar(x - row[i - b]));
        up += distance(uchar(x - above[i]));
        paeth += distance(paethOf(row[i - b], above[i], above[i - b], x));
    }
    m.none += none;
    m.sub += sub;
    m.up += up;
    m.paeth += paeth;
}

// The row filtered into out, from the unfiltered row and the one above it.
FRAMORA_VECTOR_CLONES void apply(Filter filter, const uchar* __restrict row,
                                 const uchar* __restrict above, qsizetype n,
                                 uchar* __restrict out) {
    const int b = int(std::min<qsizetype>(kBytesPerPixel, n));
    // No left neighbour: Sub keeps the byte, Paeth predicts from above.
    for (int i = 0; i < b; ++i)
        out[i] = filter == Sub ? row[i] : uchar(row[i] - above[i]);
    switch (filter) {
    case Sub:
        for (qsizetype i = b; i < n; ++i)
            out[i] = uchar(row[i] - row[i - b]);
        break;
    case Up:
        for (qsizetype i = b; i < n; ++i)
            out[i] = uchar(row[i] - above[i]);
        break;
    case Paeth:
        for (qsizetype i = b; i < n; ++i)
            out[i] = paethOf(row[i - b], above[i], above[i - b], row[i]);
        break;
    case None:
        std::memcpy(out, row, size_t(n));
        break;
    }
}

} // namespace

bool predictRows(uchar* rows, int width, int height) {
    const qsizetype n = qsizetype(width) * kBytesPerPixel;
    const qsizetype stride = n + 1;
    if (n <= kBytesPerPixel || height <= 1)
        return false;
    const auto pixels = [&](int y) { return rows + stride * y + 1; };
    Measures m;
    for (int y = 1; y < height; y += kSampleStep)
        measure(pixels(y), pixels(y - 1), n, m);
    // One filter for the whole picture: a video frame is much the same from row to row,
    // and one filter costs a fraction of trying all of them on every row.
    Filter filter = Sub;
    quint64 best = m.sub;
    if (m.up < best)
        filter = Up, best = m.up;
    if (m.paeth < best)
        filter = Paeth, best = m.paeth;
    if (double(best) >= kWorthIt * double(m.none))
        return false;
    std::vector<uchar> scratch(std::size_t(n) * 2, 0); // a filtered row, and zeros
    // Bottom up, so that the row above is still unfiltered when a row is filtered.
    for (int y = height - 1; y >= 0; --y) {
        uchar* row = pixels(y);
        apply(filter, row, y > 0 ? pixels(y - 1) : scratch.data() + n, n, scratch.data());
        std::memcpy(row, scratch.data(), size_t(n));
        row[-1] = filter;
    }
    return true;
}
