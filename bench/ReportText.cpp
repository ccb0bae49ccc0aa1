#include "bench/ReportText.h"

QSize parseSize(const QString& text) {
    // "1920x1080", or with the name of a variant after it: "1920x1080-smooth".
    const QStringList parts = text.section(QLatin1Char('-'), 0, 0).split(QLatin1Char('x'));
    return parts.size() == 2 ? QSize(parts[0].toInt(), parts[1].toInt()) : QSize();
}

QString fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

std::vector<double> numbers(const QJsonArray& array) {
    std::vector<double> values;
    for (const QJsonValue& v : array)
        values.push_back(v.toDouble());
    return values;
}

std::vector<double> field(const std::vector<QJsonObject>& runs, const char* name) {
    std::vector<double> values;
    for (const QJsonObject& run : runs)
        values.push_back(run.value(QLatin1String(name)).toDouble());
    return values;
}
