#include "capture/SnapshotDeflate.h"

#include <algorithm>

SnapshotDeflate::SnapshotDeflate(Backend backend) {
    if (backend != Backend::Fastest)
        return;
    auto library = std::make_unique<QLibrary>(QStringLiteral("deflate"), 0);
    if (!library->load())
        return;
    // The whole-buffer interface, unchanged since libdeflate 1.0.
    const auto alloc = reinterpret_cast<Alloc>(library->resolve("libdeflate_alloc_compressor"));
    const auto compress = reinterpret_cast<Compress>(library->resolve("libdeflate_zlib_compress"));
    const auto bound = reinterpret_cast<Bound>(library->resolve("libdeflate_zlib_compress_bound"));
    const auto release = reinterpret_cast<Free>(library->resolve("libdeflate_free_compressor"));
    if (!alloc || !compress || !bound || !release)
        return;
    library_ = std::move(library);
    alloc_ = alloc;
    compress_ = compress;
    bound_ = bound;
    free_ = release;
}

SnapshotDeflate::~SnapshotDeflate() = default;

bool SnapshotDeflate::compress(const char* data, qsizetype size, int level, QByteArray& out) const {
    level = std::clamp(level, 1, 9);
    if (!compress_) {
        // qCompress puts the stream behind a 4-byte length of the input.
        const QByteArray packed = qCompress(reinterpret_cast<const uchar*>(data), size, level);
        if (packed.size() <= 4)
            return false;
        out.append(packed.constData() + 4, packed.size() - 4);
        return true;
    }
    const std::unique_ptr<libdeflate_compressor, Free> compressor(alloc_(level), free_);
    if (!compressor)
        return false;
    const qsizetype start = out.size();
    const std::size_t room = bound_(compressor.get(), std::size_t(size));
    out.resize(start + qsizetype(room));
    const std::size_t written =
        compress_(compressor.get(), data, std::size_t(size), out.data() + start, room);
    out.resize(written > 0 ? start + qsizetype(written) : start);
    return written > 0;
}
