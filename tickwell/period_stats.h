#pragma once
// Statistics of the periods between successive events (milliseconds), for
// the tools and benchmarks that watch TimerEvent.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <vector>

namespace tickwell {

struct PeriodStats {
    size_t periods = 0; // events - 1
    double mean = 0;
    double p50 = 0;
    double p99 = 0;
    double max = 0;
    double p99Error = 0; // 99th percentile of |period - interval|
};

// Percentiles by nearest rank.
inline PeriodStats periodStats(const std::vector<std::chrono::steady_clock::time_point>& times, double interval = 0)
{
    PeriodStats s;
    std::vector<double> p, err;
    for (size_t i = 1; i < times.size(); ++i) {
        double ms = std::chrono::duration<double, std::milli>(times[i] - times[i - 1]).count();
        p.push_back(ms);
        err.push_back(std::abs(ms - interval));
    }
    if (p.empty())
        return s;
    double sum = 0;
    for (double v : p)
        sum += v;
    std::sort(p.begin(), p.end());
    std::sort(err.begin(), err.end());
    auto rank = [](const std::vector<double>& v, double q) {
        size_t k = static_cast<size_t>(std::ceil(q * static_cast<double>(v.size())));
        return v[std::min(v.size() - 1, k ? k - 1 : 0)];
    };
    s.periods = p.size();
    s.mean = sum / static_cast<double>(p.size());
    s.p50 = rank(p, 0.5);
    s.p99 = rank(p, 0.99);
    s.max = p.back();
    s.p99Error = rank(err, 0.99);
    return s;
}

} // namespace tickwell
