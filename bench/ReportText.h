#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QSize>
#include <QString>

#include <vector>

// Small helpers for reading the measured runs and writing the tables.
[[nodiscard]] QSize parseSize(const QString& text);
[[nodiscard]] QString fixed(double value, int decimals = 1);
[[nodiscard]] std::vector<double> numbers(const QJsonArray& array);
// The value of name in each run.
[[nodiscard]] std::vector<double> field(const std::vector<QJsonObject>& runs, const char* name);
