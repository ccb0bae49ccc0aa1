#include "playback/media/YuvPicture.h"
#include "playback/media/VectorClones.h"

#include "playback/media/ColourConversion.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Luma and blue-difference weights of each matrix (Kr, Kb); green takes the rest.
struct LumaWeights {
    double kr;
    double kb;
};

LumaWeights weightsOf(ColourMatrix matrix) {
    switch (matrix) {
    case ColourMatrix::Bt709:
        return {0.2126, 0.0722};
    case ColourMatrix::Bt2020:
        return {0.2627, 0.0593};
    case ColourMatrix::Smpte240m:
        return {0.212, 0.087};
    case ColourMatrix::Fcc:
        return {0.30, 0.11};
    case ColourMatrix::Bt601:
        break;
    }
    return {0.299, 0.114};
}

// Each output channel is y * Y + u * Cb + v * Cr + offset, in output levels (0 to top),
// with the offset already holding the rounding.
struct Coefficients {
    float y;
    float rv;
    float gu;
    float gv;
    float bu;
    float r0;
    float g0;
    float b0;
};

Coefficients coefficientsFor(const VideoColours& colours, int bitDepth, double top,
                             double rounding) {
    const LumaWeights w = weightsOf(colours.matrix);
    const double kg = 1.0 - w.kr - w.kb;
    const double unit = double(1 << (bitDepth - 8));
    const bool full = colours.range == ColourRange::Full;
    const double maxCode = double((1 << bitDepth) - 1);
    const double yOffset = full ? 0.0 : 16.0 * unit;
    const double yScale = full ? maxCode : 219.0 * unit;
    const double cOffset = 128.0 * unit;
    const double cScale = full ? maxCode : 224.0 * unit;
    const double y = top / yScale;
    const double c = top / cScale;
    const double rv = 2.0 * (1.0 - w.kr) * c;
    const double gu = -2.0 * w.kb * (1.0 - w.kb) / kg * c;
    const double gv = -2.0 * w.kr * (1.0 - w.kr) / kg * c;
    const double bu = 2.0 * (1.0 - w.kb) * c;
    const double base = rounding - y * yOffset;
    return {float(y),
            float(rv),
            float(gu),
            float(gv),
            float(bu),
            float(base - rv * cOffset),
            float(base - (gu + gv) * cOffset),
            float(base - bu * cOffset)};
}

// Bicubic weights (B = 0, C = 0.6, swscale's default) for a point a quarter of a sample
// after sample k, on samples k - 1, k, k + 1 and k + 2. Mirrored they serve three
// quarters.
constexpr float kNear[4] = {-0.084375f, 0.871875f, 0.240625f, -0.028125f};

template <typename Sample> const Sample* rowOf(const YuvPicture& picture, int plane, int row) {
    return reinterpret_cast<const Sample*>(picture.planes[size_t(plane)] +
                                           picture.pitches[size_t(plane)] * row);
}

// One chroma row in float, with two samples repeated at either end for the filter.
template <typename Sample> inline void loadChromaRow(const Sample* in, int width, float* padded) {
    for (int i = 0; i < width; ++i)
        padded[i + 2] = float(in[i]);
    padded[0] = padded[1] = padded[2];
    padded[width + 2] = padded[width + 3] = padded[width + 1];
}

// A chroma row interpolated between source rows: weights w apply to rows r[0..3].
template <typename Sample>
inline void blendChromaRows(const Sample* const r[4], const float w[4], int width, float* padded) {
    for (int i = 0; i < width; ++i)
        padded[i + 2] = w[0] * float(r[0][i]) + w[1] * float(r[1][i]) + w[2] * float(r[2][i]) +
                        w[3] * float(r[3][i]);
    padded[0] = padded[1] = padded[2];
    padded[width + 2] = padded[width + 3] = padded[width + 1];
}

// Doubles a padded chroma row to luma width: output 2j lies a quarter sample before
// chroma sample j, output 2j + 1 a quarter after it.
inline void widenChromaRow(const float* padded, int chromaWidth, float* out) {
    const float* p = padded + 2;
    for (int j = 0; j < chromaWidth; ++j) {
        out[2 * j] =
            kNear[3] * p[j - 2] + kNear[2] * p[j - 1] + kNear[1] * p[j] + kNear[0] * p[j + 1];
        out[2 * j + 1] =
            kNear[0] * p[j - 1] + kNear[1] * p[j] + kNear[2] * p[j + 1] + kNear[3] * p[j + 2];
    }
}

inline quint32 channel(float value) {
    return quint32(std::min(std::max(value, 0.0f), 255.0f));
}

// What a row becomes: 8-bit pixels straight from the matrix, 8-bit pixels through a
// colour conversion, or 16-bit pixels of the video's own signal.
enum class Output { Rgb32, Rgb32Converted, Rgb64 };

template <typename Sample>
inline void packRow(const Sample* y, const float* u, const float* v, int width,
                    const Coefficients& k, quint32* out) {
    for (int x = 0; x < width; ++x) {
        const float luma = k.y * float(y[x]);
        const quint32 r = channel(luma + k.rv * v[x] + k.r0);
        const quint32 g = channel(luma + k.gu * u[x] + k.gv * v[x] + k.g0);
        const quint32 b = channel(luma + k.bu * u[x] + k.b0);
        out[x] = 0xff000000u | (r << 16) | (g << 8) | b;
    }
}

// The row's signal, unrounded, in three channels.
template <typename Sample>
inline void signalRow(const Sample* y, const float* u, const float* v, int width,
                      const Coefficients& k, float* r, float* g, float* b) {
    for (int x = 0; x < width; ++x) {
        const float luma = k.y * float(y[x]);
        r[x] = luma + k.rv * v[x] + k.r0;
        g[x] = luma + k.gu * u[x] + k.gv * v[x] + k.g0;
        b[x] = luma + k.bu * u[x] + k.b0;
    }
}

inline void packSignal(const float* r, const float* g, const float* b, int width, quint32* out) {
    for (int x = 0; x < width; ++x)
        out[x] = 0xff000000u | (channel(r[x] * 255.0f + 0.5f) << 16) |
                 (channel(g[x] * 255.0f + 0.5f) << 8) | channel(b[x] * 255.0f + 0.5f);
}

inline quint16 channel16(float value) {
    return quint16(std::min(std::max(value, 0.0f), 65535.0f));
}

template <typename Sample>
inline void packRow64(const Sample* y, const float* u, const float* v, int width,
                      const Coefficients& k, quint16* out) {
    for (int x = 0; x < width; ++x) {
        const float luma = k.y * float(y[x]);
        out[4 * x] = channel16(luma + k.rv * v[x] + k.r0);
        out[4 * x + 1] = channel16(luma + k.gu * u[x] + k.gv * v[x] + k.g0);
        out[4 * x + 2] = channel16(luma + k.bu * u[x] + k.b0);
        out[4 * x + 3] = 0xffff;
    }
}

template <typename Sample, Output kind>
[[gnu::always_inline]] inline void convert(const YuvPicture& picture, const Coefficients& k,
                                           const ColourConversion* conversion, uchar* out,
                                           qsizetype outPitch) {
    const int width = picture.size.width();
    const int height = picture.size.height();
    const QSize chroma = chromaPlaneSize(picture.size, picture.format.subsampling);
    const int cw = chroma.width();
    const int ch = chroma.height();
    const bool widen = picture.format.subsampling != ChromaSubsampling::Yuv444;
    const bool vertical = picture.format.subsampling == ChromaSubsampling::Yuv420;

    const bool signal = kind == Output::Rgb32Converted;
    std::vector<float> scratch(size_t(cw + 4) * 2 + size_t(2 * cw) * 2 +
                               (signal ? size_t(width) * 3 : 0));
    float* paddedU = scratch.data();
    float* paddedV = paddedU + cw + 4;
    float* wideU = paddedV + cw + 4;
    float* wideV = wideU + 2 * cw;
    float* red = wideV + 2 * cw;
    float* green = red + width;
    float* blue = green + width;

    for (int row = 0; row < height; ++row) {
        if (vertical) {
            // Luma row 2k lies a quarter chroma row before chroma row k, 2k + 1 a quarter
            // after it.
            const int k0 = row / 2;
            const bool after = row % 2 != 0;
            const int first = after ? k0 - 1 : k0 - 2;
            const float w[4] = {after ? kNear[0] : kNear[3], after ? kNear[1] : kNear[2],
                                after ? kNear[2] : kNear[1], after ? kNear[3] : kNear[0]};
            const Sample* ru[4];
            const Sample* rv[4];
            for (int i = 0; i < 4; ++i) {
                const int r = std::clamp(first + i, 0, ch - 1);
                ru[i] = rowOf<Sample>(picture, 1, r);
                rv[i] = rowOf<Sample>(picture, 2, r);
            }
            blendChromaRows(ru, w, cw, paddedU);
            blendChromaRows(rv, w, cw, paddedV);
        } else {
            loadChromaRow(rowOf<Sample>(picture, 1, row), cw, paddedU);
            loadChromaRow(rowOf<Sample>(picture, 2, row), cw, paddedV);
        }
        const float* u = paddedU + 2;
        const float* v = paddedV + 2;
        if (widen) {
            widenChromaRow(paddedU, cw, wideU);
            widenChromaRow(paddedV, cw, wideV);
            u = wideU;
            v = wideV;
        }
        const Sample* luma = rowOf<Sample>(picture, 0, row);
        uchar* line = out + outPitch * row;
        if constexpr (kind == Output::Rgb32) {
            packRow(luma, u, v, width, k, reinterpret_cast<quint32*>(line));
        } else if constexpr (kind == Output::Rgb64) {
            packRow64(luma, u, v, width, k, reinterpret_cast<quint16*>(line));
        } else {
            signalRow(luma, u, v, width, k, red, green, blue);
            conversion->toScreen(red, green, blue, width);
            packSignal(red, green, blue, width, reinterpret_cast<quint32*>(line));
        }
    }
}

template <typename Sample>
[[gnu::always_inline]] inline void
convertAs(Output kind, const YuvPicture& picture, const Coefficients& k,
          const ColourConversion* conversion, uchar* out, qsizetype outPitch) {
    switch (kind) {
    case Output::Rgb32:
        convert<Sample, Output::Rgb32>(picture, k, conversion, out, outPitch);
        break;
    case Output::Rgb32Converted:
        convert<Sample, Output::Rgb32Converted>(picture, k, conversion, out, outPitch);
        break;
    case Output::Rgb64:
        convert<Sample, Output::Rgb64>(picture, k, conversion, out, outPitch);
        break;
    }
}

FRAMORA_VECTOR_CLONES void convert8(Output kind, const YuvPicture& picture, const Coefficients& k,
                                    const ColourConversion* conversion, uchar* out,
                                    qsizetype outPitch) {
    convertAs<quint8>(kind, picture, k, conversion, out, outPitch);
}

FRAMORA_VECTOR_CLONES void convert16(Output kind, const YuvPicture& picture, const Coefficients& k,
                                     const ColourConversion* conversion, uchar* out,
                                     qsizetype outPitch) {
    convertAs<quint16>(kind, picture, k, conversion, out, outPitch);
}

void convertAny(Output kind, const YuvPicture& picture, const Coefficients& k,
                const ColourConversion* conversion, uchar* out, qsizetype outPitch) {
    if (picture.size.isEmpty())
        return;
    if (picture.format.bitDepth > 8)
        convert16(kind, picture, k, conversion, out, outPitch);
    else
        convert8(kind, picture, k, conversion, out, outPitch);
}

} // namespace

QSize chromaPlaneSize(QSize picture, ChromaSubsampling subsampling) {
    switch (subsampling) {
    case ChromaSubsampling::Yuv420:
        return {(picture.width() + 1) / 2, (picture.height() + 1) / 2};
    case ChromaSubsampling::Yuv422:
        return {(picture.width() + 1) / 2, picture.height()};
    case ChromaSubsampling::Yuv444:
        break;
    }
    return picture;
}

void convertYuvToRgb32(const YuvPicture& picture, const ColourConversion& conversion, uchar* out,
                       qsizetype outPitch) {
    const int depth = picture.format.bitDepth;
    if (conversion.passesThrough())
        convertAny(Output::Rgb32, picture, coefficientsFor(conversion.colours(), depth, 255, 0.5),
                   nullptr, out, outPitch);
    else
        convertAny(Output::Rgb32Converted, picture,
                   coefficientsFor(conversion.colours(), depth, 1, 0), &conversion, out, outPitch);
}

void convertYuvToRgb64(const YuvPicture& picture, const VideoColours& colours, uchar* out,
                       qsizetype outPitch) {
    convertAny(Output::Rgb64, picture,
               coefficientsFor(colours, picture.format.bitDepth, 65535, 0.5), nullptr, out,
               outPitch);
}
