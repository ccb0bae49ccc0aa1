// Language-pack reader: any bytes as Lang/English.ini give texts of at most 499
// characters, never half a character, and never an internal failure.
#include "FuzzSupport.h"
#include "localisation/TextLookup.h"
#include "settings/Settings.h"

#include <QFileInfo>
#include <array>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString& folder = scratchFolder();
    static const bool langFolder = QDir(folder).mkpath(QStringLiteral("Lang"));
    require(langFolder, "the Lang folder exists");
    writeInput(folder + QStringLiteral("/Lang/English.ini"), data, size);

    const Settings settings; // languageFile is English.ini
    const TextLookup texts(folder, settings.languageFile);
    // A default longer than the cut, with a character of two UTF-16 units across it.
    static const QString longDefault =
        QString(TextLookup::maxTextLength - 1, u'd') + QStringLiteral("\U0001F600 tail");
    const std::array<std::pair<QString, QString>, 7> lookups = {{
        {QStringLiteral("10"), QStringLiteral("&File")},
        {QStringLiteral("010"), QStringLiteral("  padded  ")},
        {QStringLiteral("53"), longDefault},
        {QStringLiteral("Name"), QString()},
        {QStringLiteral("x y"), QStringLiteral("x")},
        {QStringLiteral(""), QStringLiteral("empty key")},
        {QStringLiteral("[Framora Language Pack]"), QStringLiteral("section as key")},
    }};
    for (const auto& [key, defaultText] : lookups) {
        const QString text = texts.SetCaptionfromINI(key, defaultText);
        require(text.size() <= TextLookup::maxTextLength, "a text is at most 499 characters");
        require(text.isEmpty() || !text.back().isHighSurrogate(),
                "a text never ends in half a character");
        require(!text.startsWith(u' '), "a text never starts with a blank");
    }
    require(!QFileInfo::exists(folder + QStringLiteral("/errorlog.txt")),
            "no lookup fails internally");
    return 0;
}
