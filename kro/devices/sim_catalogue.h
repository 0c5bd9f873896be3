#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kro {

// One input range of an analog card, in the card's walk order. A high limit of
// exactly 20 marks a current range (mA); all others are volts.
struct SimRange {
    double low = 0.0;
    double high = 0.0;
    int32_t code = 0;
};

// How a card's channels may be wired.
enum class SimConnection {
    Selectable,        // single-ended or differential on even/odd pairs
    FixedSingleEnded,  // refuses differential
    FixedDifferential, // refuses single-ended
};

struct SimAiCard {
    int32_t number = -1;
    std::string name;
    int32_t resolutionBits = 16;
    int32_t channels = 16;
    double maxSampleRate = 100e3; // aggregate Hz
    int32_t maxBufferSamples = 1 << 20;
    SimConnection connection = SimConnection::Selectable;
    bool pacerChoice = false;   // PacerSource takes 0, 1 and 2
    bool triggers = false;      // TriggerMode takes 0..3
    int32_t thermoChannels = 0; // > 0: the thermocouple component can bind to this card
    std::vector<SimRange> ranges;
};

struct SimDioCard {
    int32_t number = -1;
    std::string name;
    int32_t ports = 0;
};

// The simulated cards, indexed by device number (number == position).
std::span<const SimAiCard> aiCatalogue();
std::span<const SimDioCard> dioCatalogue();

// nullptr when the number names no card.
const SimAiCard* findAiCard(int32_t number);
const SimDioCard* findDioCard(int32_t number);

// Device numbers of the catalogue, for tests and hosts that want a given kind.
namespace card {
inline constexpr int32_t Differential16 = 0; // 16-bit, pacer choice, triggers, mA range
inline constexpr int32_t Model5342 = 1;      // 12-bit raw counts
inline constexpr int32_t Thermo5340 = 2;
inline constexpr int32_t Thermo5348 = 3; // fixed differential; thermocouple channels 2 * p
inline constexpr int32_t Thermo9948 = 4; // fixed single-ended
inline constexpr int32_t Basic = 5;      // no pacer choice, no triggers
inline constexpr int32_t Fast = 6;       // 20 MS/s aggregate
inline constexpr int32_t Di3Ports = 0;
inline constexpr int32_t Di0Ports = 1;
} // namespace card

} // namespace kro
