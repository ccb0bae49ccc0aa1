#include "settings/ConfigFile.h"

#include "settings/SettingsLocation.h"

#include "localisation/TextDecoding.h"
#include "platform/OwnFiles.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <optional>

// Eight short lines; anything beyond this is not a settings file.
static constexpr qint64 maxConfigBytes = 1024 * 1024;
static constexpr int lineCount = 8;
// No folder, prefix or pack name is longer than a path may be.
static constexpr qsizetype longestLine = 4096;

// Lines end with CR LF or LF; a final line without an ending still counts, while the
// ending of the last line does not start another one.
static QStringList splitLines(const QString& text) {
    QStringList lines = text.split(u'\n');
    if (lines.back().isEmpty())
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

// A whole decimal number, blanks around it ignored, an optional sign.
static std::optional<qint64> parseWholeNumber(QStringView text) {
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    // Leading zeros change nothing; after them, 12 digits are far beyond every field.
    while (text.size() > 1 && text.front() == u'0')
        text = text.sliced(1);
    if (text.isEmpty() || text.size() > 12)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return negative ? -value : value;
}

template <typename Field> static bool readNumber(QStringView line, Field& field) {
    const std::optional<qint64> value = parseWholeNumber(line);
    if (!value || *value < std::numeric_limits<Field>::min() ||
        *value > std::numeric_limits<Field>::max())
        return false;
    field = static_cast<Field>(*value);
    return true;
}

static QString printForm(qint64 value) {
    const QString digits = QString::number(value);
    return (value < 0 ? digits : QLatin1Char(' ') + digits) + QLatin1Char(' ');
}

static bool writeLines(const QString& path, const QStringList& lines, QString* error) {
    for (const QString& line : lines) {
        if (line.contains(u'\n') || line.contains(u'\r')) {
            if (error)
                *error = QStringLiteral("A value holds a line break and cannot be stored.");
            return false;
        }
    }
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";

    return replaceFile(path, bytes, error);
}

bool LoadConfiguration(const QString& path, Settings& settings, QString* problem) {
    const auto fail = [problem](const QString& why) {
        if (problem)
            *problem = why;
        return false;
    };
    if (!QFileInfo(path).isFile())
        return fail(QFileInfo::exists(path) ? QStringLiteral("it is not a file")
                                            : QStringLiteral("it is missing"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QByteArray bytes = file.read(std::min<qint64>(file.size(), maxConfigBytes));
    file.close();

    const QStringList lines = splitLines(DecodeTextFile(bytes));
    if (lines.size() < lineCount)
        return fail(QStringLiteral("it has %1 lines, not %2").arg(lines.size()).arg(lineCount));
    for (int i = 0; i < lineCount; ++i) {
        // A CR left inside a line would become part of a folder or file name, which no
        // save could ever write back; a line longer than any path is no setting at all.
        if (lines[i].contains(u'\r'))
            return fail(QStringLiteral("line %1 holds a line break").arg(i + 1));
        if (lines[i].size() > longestLine)
            return fail(QStringLiteral("line %1 is longer than any setting can be").arg(i + 1));
    }

    Settings read = settings;
    const bool numbersFit =
        readNumber(lines[0], read.imageFormat) && readNumber(lines[3], read.skipTimedPrompt) &&
        readNumber(lines[4], read.timedInterval) && readNumber(lines[5], read.showPreview) &&
        readNumber(lines[6], read.disableScreenSaver);
    if (!numbersFit)
        return fail(QStringLiteral("a number in it cannot be read"));
    read.snapshotFolder = lines[1].trimmed();
    read.filePrefix = lines[2].trimmed();
    read.languageFile = lines[7].trimmed();
    settings = read;
    return true;
}

bool RecreateConfiguration(const QString& path, Settings& settings, QString* error,
                           const QString& languageFile) {
    settings = Settings{};
    if (!languageFile.isEmpty())
        settings.languageFile = languageFile;
    const QStringList defaults = {QStringLiteral("0"), settings.snapshotFolder, settings.filePrefix,
                                  QStringLiteral("0"), QStringLiteral("5000"),  QStringLiteral("0"),
                                  QStringLiteral("1"), settings.languageFile};
    return writeLines(path, defaults, error);
}

bool SaveConfiguration(const QString& path, const Settings& settings, QString* error) {
    const QStringList lines = {printForm(settings.imageFormat),
                               settings.snapshotFolder,
                               settings.filePrefix,
                               printForm(settings.skipTimedPrompt),
                               printForm(settings.timedInterval),
                               printForm(settings.showPreview),
                               printForm(settings.disableScreenSaver),
                               settings.languageFile};
    return writeLines(path, lines, error);
}

ConfigurationStart StartConfiguration(const SettingsLocation& location, Settings& settings,
                                      const QString& newUserPack) {
    ConfigurationStart start;
    const QString path = location.configFile();
    start.newUser = location.perUser && !QFileInfo::exists(path) && !QFileInfo(path).isSymLink();
    // A folder that cannot be made is the reason the settings cannot be saved.
    QString folderError;
    const bool folder = !start.newUser || makeFolder(location.folder, &folderError);
    start.read = !start.newUser && LoadConfiguration(path, settings, &start.problem);
    start.recreated = start.read || RecreateConfiguration(path, settings, &start.error,
                                                          start.newUser ? newUserPack : QString());
    if (!folder)
        start.error = folderError;
    return start;
}
