#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Clips made with ffmpeg by tools/make-test-clips.sh into a temporary folder that lives
// as long as this object.
class TestClips {
public:
    // Makes the named clips (see the script for names). Check error() afterwards.
    explicit TestClips(const QStringList& names);

    // Empty on success; otherwise why the clips could not be made.
    [[nodiscard]] const QString& error() const { return error_; }
    // False when ffmpeg is not installed, so the test can be skipped rather than failed.
    [[nodiscard]] bool ffmpegFound() const { return ffmpegFound_; }
    [[nodiscard]] QString path(const QString& name) const;
    [[nodiscard]] QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QString error_;
    bool ffmpegFound_ = false;
};
