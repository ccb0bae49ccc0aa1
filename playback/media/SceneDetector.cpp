#include "playback/media/SceneDetector.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// Samples read from each picture: rows and columns spread evenly over it, each block of
// the grid holding 8 x 16 of them and each profile column 2 of each row.
constexpr int kSampleRows = SceneFeatures::kProfileRows;
constexpr int kSampleColumns = 256;
constexpr int kRowsPerBlock = kSampleRows / SceneFeatures::kGridRows;
constexpr int kColumnsPerBlock = kSampleColumns / SceneFeatures::kGridColumns;
constexpr int kColumnsPerProfile = kSampleColumns / SceneFeatures::kProfileColumns;
constexpr int kSamples = kSampleRows * kSampleColumns;

// Gathers the samples of one picture, in 8-bit levels.
class Gatherer {
public:
    void add(int row, int column, float y, float u, float v) {
        const size_t block =
            size_t((row / kRowsPerBlock) * SceneFeatures::kGridColumns + column / kColumnsPerBlock);
        blockLuma_[block] += y;
        blockBlue_[block] += u;
        blockRed_[block] += v;
        columnLuma_[size_t(column / kColumnsPerProfile)] += y;
        rowLuma_[size_t(row)] += y;
        f_.luma[bin(y, SceneFeatures::kLumaBins)] += 1;
        f_.blue[bin(u, SceneFeatures::kChromaBins)] += 1;
        f_.red[bin(v, SceneFeatures::kChromaBins)] += 1;
        lumaSquares_ += double(y) * y;
        chromaSquares_ += double(u) * u + double(v) * v;
    }

    SceneFeatures finish() {
        const double perBlock = kRowsPerBlock * kColumnsPerBlock;
        double luma = 0, blue = 0, red = 0;
        for (size_t i = 0; i < size_t(SceneFeatures::kBlocks); ++i) {
            f_.blockLuma[i] = float(blockLuma_[i] / perBlock);
            f_.blockBlue[i] = float(blockBlue_[i] / perBlock);
            f_.blockRed[i] = float(blockRed_[i] / perBlock);
            luma += blockLuma_[i];
            blue += blockBlue_[i];
            red += blockRed_[i];
        }
        for (size_t i = 0; i < columnLuma_.size(); ++i)
            f_.columnLuma[i] = float(columnLuma_[i] / (kSampleRows * kColumnsPerProfile));
        for (size_t i = 0; i < rowLuma_.size(); ++i)
            f_.rowLuma[i] = float(rowLuma_[i] / kSampleColumns);
        for (float& share : f_.luma)
            share /= kSamples;
        for (float& share : f_.blue)
            share /= kSamples;
        for (float& share : f_.red)
            share /= kSamples;
        luma /= kSamples;
        blue /= kSamples;
        red /= kSamples;
        f_.lumaSpread = float(std::sqrt(std::max(0.0, lumaSquares_ / kSamples - luma * luma)));
        f_.chromaSpread =
            float(std::sqrt(std::max(0.0, chromaSquares_ / kSamples - blue * blue - red * red)));
        return f_;
    }

private:
    static size_t bin(float level, int bins) {
        return size_t(std::clamp(int(level * float(bins) / 256.0f), 0, bins - 1));
    }

    SceneFeatures f_;
    std::array<double, SceneFeatures::kBlocks> blockLuma_{};
    std::array<double, SceneFeatures::kBlocks> blockBlue_{};
    std::array<double, SceneFeatures::kBlocks> blockRed_{};
    std::array<double, SceneFeatures::kProfileColumns> columnLuma_{};
    std::array<double, SceneFeatures::kProfileRows> rowLuma_{};
    double lumaSquares_ = 0;
    double chromaSquares_ = 0;
};

// Where the samples lie: centred in equal parts of the picture.
int sampleAt(int index, int count, int length) {
    return std::min(length - 1, int((2 * qint64(index) + 1) * length / (2 * count)));
}

template <typename Sample> void gatherYuv(const YuvPicture& picture, Gatherer& gatherer) {
    const int width = picture.size.width();
    const int height = picture.size.height();
    const int columnShift = picture.format.subsampling == ChromaSubsampling::Yuv444 ? 0 : 1;
    const int rowShift = picture.format.subsampling == ChromaSubsampling::Yuv420 ? 1 : 0;
    const float toLevels = 1.0f / float(1 << (picture.format.bitDepth - 8));
    std::array<int, kSampleColumns> xs{};
    for (int c = 0; c < kSampleColumns; ++c)
        xs[size_t(c)] = sampleAt(c, kSampleColumns, width);
    const auto rowOf = [&](int plane, int y) {
        return reinterpret_cast<const Sample*>(picture.planes[size_t(plane)] +
                                               picture.pitches[size_t(plane)] * y);
    };
    for (int r = 0; r < kSampleRows; ++r) {
        const int y = sampleAt(r, kSampleRows, height);
        const Sample* luma = rowOf(0, y);
        const Sample* blue = rowOf(1, y >> rowShift);
        const Sample* red = rowOf(2, y >> rowShift);
        for (int c = 0; c < kSampleColumns; ++c) {
            const int x = xs[size_t(c)];
            gatherer.add(r, c, float(luma[x]) * toLevels, float(blue[x >> columnShift]) * toLevels,
                         float(red[x >> columnShift]) * toLevels);
        }
    }
}

// BT.601 from RGB: any fixed matrix tells pictures apart as well.
void gatherRgb(QImage image, Gatherer& gatherer) {
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    for (int r = 0; r < kSampleRows; ++r) {
        const auto* line = reinterpret_cast<const QRgb*>(
            image.constScanLine(sampleAt(r, kSampleRows, image.height())));
        for (int c = 0; c < kSampleColumns; ++c) {
            const QRgb pixel = line[sampleAt(c, kSampleColumns, image.width())];
            const float y = 0.299f * float(qRed(pixel)) + 0.587f * float(qGreen(pixel)) +
                            0.114f * float(qBlue(pixel));
            gatherer.add(r, c, y, 128.0f + 0.564f * (float(qBlue(pixel)) - y),
                         128.0f + 0.713f * (float(qRed(pixel)) - y));
        }
    }
}

template <size_t N>
double meanDifference(const std::array<float, N>& a, const std::array<float, N>& b) {
    double sum = 0;
    for (size_t i = 0; i < N; ++i)
        sum += std::abs(double(a[i]) - double(b[i]));
    return sum / N;
}

// How far the levels of one histogram must move to make the other, as a share of the
// whole range: a fade moves them a little, another picture far.
template <size_t N>
double levelsMoved(const std::array<float, N>& a, const std::array<float, N>& b) {
    double aBelow = 0, bBelow = 0, moved = 0;
    for (size_t i = 0; i < N; ++i) {
        aBelow += a[i];
        bBelow += b[i];
        moved += std::abs(aBelow - bBelow);
    }
    return moved / N;
}

// How different two pictures are, about 0 for the same and 0.2 or more for two shots of
// different things: half how their levels are spread, half where they are.
double difference(const SceneFeatures& a, const SceneFeatures& b) {
    const double spread = levelsMoved(a.luma, b.luma) +
                          0.5 * (levelsMoved(a.blue, b.blue) + levelsMoved(a.red, b.red));
    const double layout = (meanDifference(a.blockLuma, b.blockLuma) +
                           0.5 * (meanDifference(a.blockBlue, b.blockBlue) +
                                  meanDifference(a.blockRed, b.blockRed))) /
                          255.0;
    return 0.5 * (spread + layout);
}

// The least mean difference of two profiles once one is shifted (by up to a sixth of its
// length) and scaled about its middle (by up to 6 %) against the other: what is left of a
// change once a camera's pan, tilt or zoom is taken out.
template <size_t N>
double leastMovedDifference(const std::array<float, N>& a, const std::array<float, N>& b) {
    constexpr int kLength = int(N);
    constexpr double kMiddle = (kLength - 1) / 2.0;
    constexpr std::array<double, 5> kScales{0.94, 0.97, 1.0, 1.03, 1.06};
    double least = 1e9;
    for (const double scale : kScales) {
        for (int shift = -kLength / 6; shift <= kLength / 6; ++shift) {
            double sum = 0;
            int count = 0;
            for (int i = 0; i < kLength; ++i) {
                const double at = kMiddle + (i - kMiddle) * scale + shift;
                if (at < 0 || at > kLength - 1)
                    continue;
                const int below = std::min(int(at), kLength - 2);
                const double above = at - below;
                const double moved =
                    (1 - above) * double(b[size_t(below)]) + above * double(b[size_t(below + 1)]);
                sum += std::abs(double(a[size_t(i)]) - moved);
                ++count;
            }
            // At least half the picture must overlap to count as the same one moved.
            if (count >= kLength / 2)
                least = std::min(least, sum / count);
        }
    }
    return least / 255.0;
}

double unexplainedDifference(const SceneFeatures& a, const SceneFeatures& b) {
    return std::min(leastMovedDifference(a.columnLuma, b.columnLuma),
                    leastMovedDifference(a.rowLuma, b.rowLuma));
}

// Black, white or one flat colour: a picture between scenes, never one of its own.
bool isEven(const SceneFeatures& f) {
    return f.lumaSpread < 3.0f && f.chromaSpread < 3.0f;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

} // namespace

SceneFeatures sceneFeaturesOf(const VideoFrame& frame) {
    if (!frame.picture || frame.picture->size().isEmpty())
        return {};
    Gatherer gatherer;
    if (frame.picture->isYuv()) {
        const YuvPicture& planes = frame.picture->planes();
        if (planes.format.bitDepth > 8)
            gatherYuv<quint16>(planes, gatherer);
        else
            gatherYuv<uchar>(planes, gatherer);
    } else {
        gatherRgb(frame.picture->rgb(), gatherer);
    }
    return gatherer.finish();
}

SceneDetector::SceneDetector(int sensitivity) : SceneDetector(sensitivity, 25.0) {}

SceneDetector::SceneDetector(int sensitivity, double framesPerSecond) {
    const double fps = framesPerSecond > 0 ? framesPerSecond : 25.0;
    // The difference a cut must make: 0.1 by default, four times that at the least
    // sensitive and a quarter at the most.
    cutLevel_ = 0.1 * std::pow(4.0, (kDefaultSensitivity - std::clamp(sensitivity, 1, 100)) /
                                        double(kDefaultSensitivity));
    window_ = std::max(4, int(std::lround(fps * 0.5)));
    shortestScene_ = std::max(2, int(std::lround(fps * 0.5)));
    longestTransition_ = std::max(8, int(std::lround(fps * 4.0)));
}

const SceneDetector::Seen& SceneDetector::at(qint64 index) const {
    return seen_[size_t(index - (added_ - qint64(seen_.size())))];
}

SceneDetector::Seen& SceneDetector::at(qint64 index) {
    return const_cast<Seen&>(std::as_const(*this).at(index));
}

// The typical change from frame to frame before frame end, in this scene.
double SceneDetector::usualChange(qint64 end) const {
    std::vector<double> changes;
    for (qint64 i = std::max(windowStart_ + 1, end - window_); i < end; ++i)
        changes.push_back(at(i).change);
    return median(std::move(changes));
}

std::optional<qint64> SceneDetector::add(qint64 frameNumber, const SceneFeatures& features) {
    Seen seen{frameNumber, features, 0, -1, isEven(features)};
    if (!seen_.empty())
        seen.change = difference(features, seen_.back().features);
    seen_.push_back(std::move(seen));
    ++added_;
    const size_t keep = size_t(longestTransition_ + 2 * window_ + 4);
    while (seen_.size() > keep)
        seen_.pop_front();
    checkCut();
    checkTransition();
    return takeFound();
}

std::optional<qint64> SceneDetector::finish() {
    if (transition_ && transition_->frames >= 3)
        settle(added_ - 1);
    transition_.reset();
    return takeFound();
}

std::optional<qint64> SceneDetector::takeFound() {
    if (found_.empty())
        return {};
    const qint64 number = found_.front();
    found_.pop_front();
    return number;
}

// A cut at the frame two back: known once the frames after it show that it lasts.
void SceneDetector::checkCut() {
    const qint64 cut = added_ - 3;
    if (cut <= windowStart_)
        return;
    const double change = at(cut).change;
    const SceneFeatures& before = at(cut - 1).features;
    const double lasting = difference(at(added_ - 1).features, before);
    // A cut makes most of the change of those frames in one step; a fade spreads it.
    if (change < cutLevel_ || lasting < cutLevel_ || change < 0.5 * lasting ||
        change < 3.0 * usualChange(cut))
        return;
    if (transition_) {
        if (transition_->frames >= 3)
            settle(cut - 1);
        transition_.reset();
    }
    windowStart_ = cut;
    if (at(cut).even) {
        if (!beforeEven_)
            beforeEven_ = before;
        return;
    }
    begin(cut, before, cutLevel_);
}

// A dissolve or fade: over the last half second the picture has gone far, nearly straight
// from where it was, and not by moving.
void SceneDetector::checkTransition() {
    const qint64 last = added_ - 1;
    const qint64 first = std::max(windowStart_, last - window_);
    bool looksLikeOne = false;
    if (last - first >= window_ / 2) {
        double path = 0;
        for (qint64 i = first + 1; i <= last; ++i)
            path += at(i).change;
        const double distance = difference(at(last).features, at(first).features);
        looksLikeOne = distance >= 1.5 * cutLevel_ && distance >= 0.5 * path;
        if (looksLikeOne) {
            // What no camera move explains costs the most to find: only asked for here, and
            // then kept.
            double unexplained = 0;
            for (qint64 i = first + 1; i <= last; ++i) {
                Seen& seen = at(i);
                if (seen.unexplained < 0)
                    seen.unexplained = unexplainedDifference(seen.features, at(i - 1).features);
                unexplained += seen.unexplained;
            }
            looksLikeOne = unexplained >= 0.5 * distance;
        }
    }
    if (transition_ && last - transition_->before > longestTransition_) {
        // A change that goes on this long is the shot itself changing (light, growth,
        // motion), not one picture giving way to another.
        transition_.reset();
        looksLikeOne = false;
    }
    if (looksLikeOne) {
        if (!transition_)
            transition_ = Transition{first, 0, 0};
        ++transition_->frames;
        transition_->quiet = 0;
        return;
    }
    if (!transition_)
        return;
    // Through black the change turns back on itself and stops looking like a transition
    // halfway; what it turns into is known only once the picture has come back.
    const qint64 even = lastEven(transition_->before, last);
    const bool comingBack = even >= 0 && even < last && last - even < window_;
    if (++transition_->quiet > window_ / 4 && !comingBack) {
        if (transition_->frames >= 3)
            settle(last);
        transition_.reset();
    }
}

qint64 SceneDetector::lastEven(qint64 after, qint64 last) const {
    for (qint64 i = last; i > after; --i) {
        if (at(i).even)
            return i;
    }
    return -1;
}

// Where the transition that began after frame before ended: from the first frame that
// stays as far from where it began as the last ones are, and is not black.
void SceneDetector::settle(qint64 last) {
    const qint64 before = transition_->before;
    const SceneFeatures& from = at(before).features;
    if (at(last).even) {
        if (!beforeEven_)
            beforeEven_ = from;
        return;
    }
    const qint64 earliest = std::max(before, lastEven(before, last)) + 1;
    std::vector<double> distances;
    for (qint64 i = earliest; i <= last; ++i)
        distances.push_back(difference(at(i).features, from));
    const size_t tail = std::min(distances.size(), size_t(std::max(3, window_ / 4)));
    const double reached =
        median(std::vector<double>(distances.end() - std::ptrdiff_t(tail), distances.end()));
    qint64 end = last;
    while (end > earliest && distances[size_t(end - 1 - earliest)] >= 0.9 * reached)
        --end;
    // Slow changes within a shot (light, growth, a zoom) add up too: a transition must
    // go further than a cut.
    begin(end, from, 2.0 * cutLevel_);
}

// A new scene from frame index, if it differs from what came before the change (before
// the picture went even, if it did) and the last scene has had its time.
void SceneDetector::begin(qint64 index, const SceneFeatures& before, double needed) {
    const SceneFeatures& was = beforeEven_ ? *beforeEven_ : before;
    const bool differs = difference(at(index).features, was) >= needed;
    beforeEven_.reset();
    if (!differs || at(index).even || index - sceneStart_ < shortestScene_)
        return;
    sceneStart_ = index;
    windowStart_ = std::max(windowStart_, index);
    found_.push_back(at(index).number);
}
