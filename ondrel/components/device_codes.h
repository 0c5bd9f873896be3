#pragma once
#include <cstdint>
#include <type_traits>

namespace ondrel {

// The codes the device components take and give back, by name. The numbers are
// fixed: settings store them and the settings lists show them as positions. A
// device may still hand back a number outside a list; the program reports it
// rather than acting on it.

// How an analog channel is wired.
enum class Connection : int32_t { SingleEnded = 0, Differential = 1 };

// What paces a buffered run. Either is written only to learn whether a device
// offers the choice (it reads Either back); None is what a settings list with
// no choice writes.
enum class Pacer : int32_t { None = -1, Internal = 0, ExternalClock = 1, Either = 2 };

// When a buffered run starts keeping samples, measured from its trigger.
enum class Trigger : int32_t { None = 0, Post = 1, Delay = 2, About = 3 };

enum class Edge : int32_t { Rising = 0, Falling = 1 };

enum class TriggerInput : int32_t { Digital = 0, AI0 = 1, AI1 = 2, AI2 = 3, AI3 = 4 };

// The element type of a buffered run's samples.
enum class SampleData : int32_t { RawCounts = 1, Scaled = 2 };

enum class Thermocouple : int32_t { J = 0, K, S, T, B, R, E };

enum class TemperatureScale : int32_t { Celsius = 0, Fahrenheit, Rankine, Kelvin };

// The number a code stands for, where it is stored or shown as a position.
template <typename E>
requires std::is_enum_v<E>
constexpr std::underlying_type_t<E> Code(E e) { return static_cast<std::underlying_type_t<E>>(e); }

} // namespace ondrel
