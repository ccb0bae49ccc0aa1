// Config.cfg reader: any bytes either load or are refused, and what loads survives a
// save and a second load unchanged.
#include "FuzzSupport.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

// Differs from the given settings in every field, to show which ones a load really set.
static Settings unlike(const Settings& settings) {
    Settings other = settings;
    other.imageFormat = static_cast<std::uint8_t>(settings.imageFormat + 1);
    other.snapshotFolder = settings.snapshotFolder + QStringLiteral("/elsewhere");
    other.filePrefix = settings.filePrefix + QStringLiteral("x");
    other.skipTimedPrompt = static_cast<std::uint8_t>(settings.skipTimedPrompt + 1);
    other.timedInterval = settings.timedInterval == 1 ? 2 : 1;
    other.showPreview = static_cast<std::int16_t>(settings.showPreview == 1 ? 2 : 1);
    other.disableScreenSaver = static_cast<std::int16_t>(settings.disableScreenSaver == 1 ? 2 : 1);
    other.languageFile = settings.languageFile + QStringLiteral(".old");
    return other;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = scratchFolder() + QStringLiteral("/Config.cfg");
    writeInput(path, data, size);

    const Settings before;
    Settings loaded = before;
    if (!LoadConfiguration(path, loaded)) {
        require(loaded == before, "a refused file leaves the settings as they were");
        return 0;
    }
    // What a load gives depends on the file alone.
    Settings fromOther = unlike(before);
    require(LoadConfiguration(path, fromOther) && fromOther == loaded, "a load sets every field");

    if (!SaveConfiguration(path, loaded))
        return 0; // refused (a text with a line break): nothing to read back
    Settings reloaded = unlike(loaded);
    require(LoadConfiguration(path, reloaded), "a saved file loads");
    require(reloaded == loaded, "save then load gives the same settings");
    return 0;
}
