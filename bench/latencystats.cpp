#include "bench/latencystats.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

TLatencyStats TLatencyStats::Of(std::vector<double> samples)
{
    TLatencyStats stats;
    if (samples.empty())
        return stats;
    std::sort(samples.begin(), samples.end());
    const auto rank = [&](double p) {
        const auto index = std::size_t(std::ceil(p * double(samples.size())));
        return samples[std::clamp<std::size_t>(index, 1, samples.size()) - 1];
    };
    stats.median = rank(0.5);
    stats.p99 = rank(0.99);
    stats.max = samples.back();
    return stats;
}
