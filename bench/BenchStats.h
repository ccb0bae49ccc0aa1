#pragma once

#include <vector>

// Order statistics of a set of samples; every function returns 0 for an empty set.
[[nodiscard]] double median(std::vector<double> values);
// p in [0, 100], nearest rank.
[[nodiscard]] double percentile(std::vector<double> values, double p);
[[nodiscard]] double largest(const std::vector<double>& values);
