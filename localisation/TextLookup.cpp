#include "localisation/TextLookup.h"

#include "localisation/ErrorLog.h"
#include "localisation/IniReader.h"
#include "localisation/TextDecoding.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <new>

static const QString packSection = QStringLiteral("Framora Language Pack");

static QString cutToMaxLength(QString text) {
    if (text.size() <= TextLookup::maxTextLength)
        return text;
    qsizetype length = TextLookup::maxTextLength;
    if (text.at(length - 1).isHighSurrogate())
        --length; // never leave half a character behind
    text.truncate(length);
    return text;
}

static QString removeLeadingBlanks(const QString& text) {
    qsizetype first = 0;
    while (first < text.size() && text.at(first) == u' ')
        ++first;
    return text.sliced(first);
}

static QString removeTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    return text.first(end);
}

TextLookup::TextLookup(QString applicationFolder, const QString& languageFile, QString errorLog)
    : applicationFolder_(std::move(applicationFolder)), languageFile_(languageFile),
      errorLog_(errorLog.isEmpty() ? applicationFolder_ + QStringLiteral("/errorlog.txt")
                                   : std::move(errorLog)) {}

bool TextLookup::isPackName(const QString& name) {
    return !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QStringLiteral(".."));
}

QString TextLookup::packPath() const {
    // A name that would lead out of Lang/ is no pack: the folder itself is read, as nothing.
    return applicationFolder_ + QStringLiteral("/Lang/") +
           (isPackName(languageFile_) ? languageFile_ : QString());
}

QByteArray TextLookup::readPack(const QString& path) const {
    // Not a regular file (the Lang folder itself when languageFile is empty, a device or
    // a pipe): nothing to read, and nothing that could block.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Read what is there, up to the limit: this runs on every mouse move over a button.
    QByteArray bytes = file.read(std::min<qint64>(file.size(), maxPackBytes + 1));
    file.close();
    if (bytes.size() > maxPackBytes) {
        // Cut after the last whole line, so a UTF-8 pack stays valid UTF-8.
        bytes.truncate(bytes.lastIndexOf('\n', maxPackBytes - 1) + 1);
    }
    return bytes;
}

QString TextLookup::lookup(const QString& key, const QString& defaultText) const {
    const QString pack = DecodeTextFile(readPack(packPath()));
    const std::optional<QString> stored = FindIniValue(pack, packSection, key);

    QString text;
    if (stored) {
        text = *stored;
        if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
            text = text.sliced(1, text.size() - 2);
    } else {
        text = removeTrailingBlanks(defaultText);
    }
    return removeLeadingBlanks(cutToMaxLength(std::move(text)));
}

QString TextLookup::SetCaptionfromINI(const QString& key, const QString& defaultText) const {
    QString description;
    int number = 0;
    try {
        return lookup(key, defaultText);
    } catch (const std::bad_alloc&) {
        description = QStringLiteral("Out of memory");
        number = 7;
    } catch (const std::exception& failure) {
        description = QString::fromLocal8Bit(failure.what());
        number = 51;
    } catch (...) {
        description = QStringLiteral("Internal error");
        number = 51;
    }
    WriteErrorLog(errorLog_, QStringLiteral("Error Description: %1, Error Number: %2, Method: "
                                            "SetCaptionfromINI")
                                 .arg(description)
                                 .arg(number));
    return {};
}
