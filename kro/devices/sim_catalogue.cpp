#include "kro/devices/sim_catalogue.h"

namespace kro {
namespace {

std::vector<SimRange> withCodes(std::vector<SimRange> ranges)
{
    int32_t code = 0;
    for (auto& r : ranges)
        r.code = code++;
    return ranges;
}

const std::vector<SimRange>& bipolarRanges()
{
    static const auto r = withCodes({{-10, 10}, {-5, 5}, {-2.5, 2.5}, {0, 10}});
    return r;
}

const std::vector<SimRange>& thermoCardRanges()
{
    static const auto r = withCodes({{-10, 10}, {-1, 1}, {-0.1, 0.1}, {-0.05, 0.05}});
    return r;
}

std::vector<SimAiCard> buildAiCards()
{
    std::vector<SimAiCard> cards;
    cards.push_back({card::Differential16, "KroSim-1716 16-bit 16ch", 16, 16, 250e3, 1 << 22, SimConnection::Selectable,
                     true, true, 0, withCodes({{-10, 10}, {-5, 5}, {-2.5, 2.5}, {-1.25, 1.25}, {0, 10}, {4, 20}})});
    cards.push_back({card::Model5342, "KroSim-5342 12-bit 16ch", 12, 16, 100e3, 1 << 20, SimConnection::Selectable,
                     true, false, 0, bipolarRanges()});
    cards.push_back({card::Thermo5340, "KroSim-5340QX thermocouple 16ch", 16, 16, 10e3, 1 << 20,
                     SimConnection::Selectable, false, false, 16, thermoCardRanges()});
    cards.push_back({card::Thermo5348, "KroSim-5348QX thermocouple 16ch", 16, 16, 10e3, 1 << 20,
                     SimConnection::FixedDifferential, false, false, 32, thermoCardRanges()});
    cards.push_back({card::Thermo9948, "KroSim-9948 thermocouple 16ch", 16, 16, 10e3, 1 << 20,
                     SimConnection::FixedSingleEnded, false, false, 16, thermoCardRanges()});
    cards.push_back({card::Basic, "KroSim-1710L basic 8ch", 12, 8, 100e3, 1 << 20, SimConnection::FixedSingleEnded,
                     false, false, 0, withCodes({{-10, 10}, {-5, 5}})});
    cards.push_back({card::Fast, "KroSim-2020F fast 16ch", 16, 16, 20e6, 1 << 24, SimConnection::Selectable, true, true,
                     0, withCodes({{-10, 10}, {-5, 5}})});
    return cards;
}

} // namespace

std::span<const SimAiCard> aiCatalogue()
{
    static const std::vector<SimAiCard> cards = buildAiCards();
    return cards;
}

std::span<const SimDioCard> dioCatalogue()
{
    static const std::vector<SimDioCard> cards{
        {card::Di3Ports, "KroSim-DI24 3 ports", 3},
        {card::Di0Ports, "KroSim-DI00 no ports", 0},
    };
    return cards;
}

const SimAiCard* findAiCard(int32_t number)
{
    const auto cards = aiCatalogue();
    if (number < 0 || number >= static_cast<int32_t>(cards.size()))
        return nullptr;
    return &cards[static_cast<size_t>(number)];
}

const SimDioCard* findDioCard(int32_t number)
{
    const auto cards = dioCatalogue();
    if (number < 0 || number >= static_cast<int32_t>(cards.size()))
        return nullptr;
    return &cards[static_cast<size_t>(number)];
}

} // namespace kro
