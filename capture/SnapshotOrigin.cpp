#include "capture/SnapshotOrigin.h"

#include <QLocale>

QString formatMediaTime(qint64 ms) {
    ms = std::max<qint64>(0, ms);
    return QStringLiteral("%1:%2:%3.%4")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QString escapedFieldText(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            escaped += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

QList<QPair<QString, QString>> originFields(const SnapshotOrigin& origin) {
    QList<QPair<QString, QString>> fields;
    fields << qMakePair(QStringLiteral("Software"), QStringLiteral("Framora %1.%2.%3")
                                                        .arg(FRAMORA_VERSION_MAJOR)
                                                        .arg(FRAMORA_VERSION_MINOR)
                                                        .arg(FRAMORA_VERSION_REVISION));
    if (origin.created.isValid())
        // RFC 1123, as the PNG standard asks of Creation Time.
        fields << qMakePair(QStringLiteral("Creation Time"),
                            QLocale::c().toString(origin.created.toUTC(),
                                                  QStringLiteral("ddd, dd MMM yyyy hh:mm:ss")) +
                                QStringLiteral(" +0000"));
    QString description = origin.video;
    if (origin.timeMs >= 0)
        description += QStringLiteral(" at ") + formatMediaTime(origin.timeMs);
    if (origin.frameNumber >= 0)
        description += QStringLiteral(", frame %1").arg(origin.frameNumber);
    if (!description.isEmpty())
        fields << qMakePair(QStringLiteral("Description"), description.trimmed());
    if (!origin.video.isEmpty())
        fields << qMakePair(QStringLiteral("Video"), origin.video);
    if (origin.timeMs >= 0) {
        fields << qMakePair(QStringLiteral("Media Time"), formatMediaTime(origin.timeMs));
        fields << qMakePair(QStringLiteral("Media Time ms"), QString::number(origin.timeMs));
    }
    if (origin.frameNumber >= 0)
        fields << qMakePair(QStringLiteral("Frame Number"), QString::number(origin.frameNumber));
    fields << origin.more;
    for (auto& field : fields)
        field.second = escapedFieldText(field.second);
    return fields;
}
