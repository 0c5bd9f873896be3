#include "kro/display/prepared_data.h"
#include "ondrel/components/component_error.h"
#include <algorithm>
#include <cmath>

namespace kro {
namespace {

template <typename Sample>
void split(std::span<const Sample> samples, int32_t chanCount, double scans, int32_t keepAtMost,
           ondrel::PreparedData& out)
{
    if (chanCount < 1)
        throw ondrel::ComponentError("PlotData: the channel count must be at least 1");
    if (!std::isfinite(scans) || scans < 0)
        throw ondrel::ComponentError("PlotData: invalid scan count");

    // A buffer that ends inside a scan contributes only its whole scans.
    const auto present = static_cast<int64_t>(samples.size()) / chanCount;
    const int64_t whole = std::min(static_cast<int64_t>(std::floor(scans)), present);
    const int64_t kept = keepAtMost > 0 ? std::min<int64_t>(whole, keepAtMost) : whole;

    out.chanCount = chanCount;
    out.scans = whole;
    out.firstScan = whole - kept;
    out.keptScans = kept;
    out.values.resize(static_cast<size_t>(kept * chanCount));
    for (int64_t s = 0; s < kept; ++s) {
        const Sample* scan = samples.data() + (out.firstScan + s) * chanCount;
        for (int32_t c = 0; c < chanCount; ++c)
            out.values[static_cast<size_t>(c * kept + s)] = static_cast<float>(scan[c]);
    }
}

} // namespace

void prepareScans(std::span<const float> samples, int32_t chanCount, double scans, int32_t keepAtMost,
                  ondrel::PreparedData& out)
{
    split(samples, chanCount, scans, keepAtMost, out);
}

void prepareScans(std::span<const int32_t> samples, int32_t chanCount, double scans, int32_t keepAtMost,
                  ondrel::PreparedData& out)
{
    split(samples, chanCount, scans, keepAtMost, out);
}

void checkPrepared(const ondrel::PreparedData& prepared)
{
    const bool consistent = prepared.chanCount >= 0 && prepared.keptScans >= 0 && prepared.firstScan >= 0
                            && prepared.firstScan + prepared.keptScans == prepared.scans
                            && prepared.values.size() == static_cast<size_t>(prepared.chanCount * prepared.keptScans);
    if (!consistent)
        throw ondrel::ComponentError("SetXStep: the data were not prepared by PlotData");
}

} // namespace kro
