#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace kro {

// The input-range walk of an analog input whose ranges are a list of
// {low, high} entries, each entry's code its position: GetFirstRange and
// GetNextRange hand them out in order and end with low = high = 0.
class RangeWalk {
public:
    template <class Range>
    void first(const std::vector<Range>& ranges, double& low, double& high, int32_t& code)
    {
        position_ = 0;
        next(ranges, low, high, code);
    }

    template <class Range>
    void next(const std::vector<Range>& ranges, double& low, double& high, int32_t& code)
    {
        if (position_ >= ranges.size()) {
            low = high = 0.0;
            code = -1;
            return;
        }
        code = static_cast<int32_t>(position_);
        low = ranges[position_].low;
        high = ranges[position_].high;
        ++position_;
    }

private:
    size_t position_ = 0;
};

// The position of the range low .. high in `ranges`, the limits compared to a
// few parts in a billion so that a value that went through text still matches.
template <class Range>
std::optional<size_t> findRange(const std::vector<Range>& ranges, double low, double high)
{
    const auto same = [](double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b)); };
    const auto it = std::find_if(ranges.begin(), ranges.end(),
                                 [&](const Range& r) { return same(r.low, low) && same(r.high, high); });
    if (it == ranges.end())
        return std::nullopt;
    return static_cast<size_t>(it - ranges.begin());
}

} // namespace kro
