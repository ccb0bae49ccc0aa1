#pragma once

#include <QByteArray>
#include <QLibrary>

#include <cstddef>
#include <memory>

struct libdeflate_compressor;

// Whole-buffer compression into a zlib stream, the form of a PNG's image data. The
// system's libdeflate, where it is installed, is used: on detailed frames it gives the
// same size as zlib at the same level in less than half the time (a 720p frame at level
// 5: about 50 ms instead of 115 ms), which is what lets continuous PNG capture keep up
// with ffmpeg's own encoder. Without it zlib (through Qt) does the work. It is loaded at
// run time, so neither the build nor the program depends on it.
class SnapshotDeflate {
public:
    enum class Backend { Fastest, Zlib };

    explicit SnapshotDeflate(Backend backend = Backend::Fastest);
    ~SnapshotDeflate();
    SnapshotDeflate(const SnapshotDeflate&) = delete;
    SnapshotDeflate& operator=(const SnapshotDeflate&) = delete;

    [[nodiscard]] bool usesLibdeflate() const { return compress_ != nullptr; }
    // Appends a zlib stream of data at level (1 to 9) to out. False, with out as it was,
    // when compression failed. Safe on any number of threads at once.
    [[nodiscard]] bool compress(const char* data, qsizetype size, int level, QByteArray& out) const;

private:
    using Alloc = libdeflate_compressor* (*)(int);
    using Compress = std::size_t (*)(libdeflate_compressor*, const void*, std::size_t, void*,
                                     std::size_t);
    using Bound = std::size_t (*)(libdeflate_compressor*, std::size_t);
    using Free = void (*)(libdeflate_compressor*);

    // Destroying it leaves the library loaded (QLibrary unloads only when asked to).
    std::unique_ptr<QLibrary> library_;
    Alloc alloc_ = nullptr;
    Compress compress_ = nullptr;
    Bound bound_ = nullptr;
    Free free_ = nullptr;
};
