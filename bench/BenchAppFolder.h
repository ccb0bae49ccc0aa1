#pragma once

#include <QString>
#include <QTemporaryDir>

struct Settings;

// A private application folder: Config.cfg holding the given settings, and the language
// packs, skin and help pages copied from the build's own application folder, so that
// measured runs neither read nor change the build's Config.cfg.
class BenchAppFolder {
public:
    BenchAppFolder(const QString& buildAppFolder, const Settings& settings);

    [[nodiscard]] bool isValid() const { return valid_; }
    [[nodiscard]] QString path() const { return dir_.path(); }
    // Places an executable in the folder (a hard link where possible), so that the
    // program takes this folder for its own; returns its path, empty on failure.
    [[nodiscard]] QString addExecutable(const QString& executable) const;

private:
    QTemporaryDir dir_;
    bool valid_ = false;
};
