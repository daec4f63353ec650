#pragma once

#include <vector>

// Median, 99th percentile and maximum of a set of round-trip times (nearest rank).
struct TLatencyStats {
    double median = 0;
    double p99 = 0;
    double max = 0;

    static TLatencyStats Of(std::vector<double> samples);
};
