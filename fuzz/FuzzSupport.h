#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// One scratch folder for the whole run: libFuzzer calls a target millions of times, and
// a folder per call would litter the disk. Removed when the fuzzer exits normally.
inline const QString& scratchFolder() {
    static const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/framora-fuzz-XXXXXX"));
    static const QString path = folder.path();
    if (!folder.isValid()) {
        std::fprintf(stderr, "cannot create a scratch folder: %s\n",
                     qPrintable(folder.errorString()));
        std::abort();
    }
    return path;
}

// A failure here is the harness's, not the code under test's, and must not pass quietly.
inline void writeInput(const QString& path, const std::uint8_t* data, std::size_t size) {
    QFile file(path);
    const auto length = static_cast<qint64>(size);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), length) != length) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

// A broken invariant is a finding: abort so that libFuzzer saves the input.
inline void require(bool holds, const char* invariant) {
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", invariant);
    std::abort();
}
