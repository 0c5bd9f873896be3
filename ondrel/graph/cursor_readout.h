#pragma once
#include <optional>
#include <string>
#include <vector>

namespace ondrel {

// One visible plot as the measuring cursors cross it: its value at A and at
// B, nothing where the cursor lies outside its data. A digital line's values
// are as plotted (its level over the line's place on the DI axis) and read
// as the level, 0 or 1.
struct CursorTrace {
    std::string name;
    std::optional<double> atA, atB;
    bool digital = false;
};

// The cursors' read-out, one line each:
//   "t(A) = 1 s   t(B) = 1.25 s"
//   "Δt = 0.25 s   1/Δt = 4 Hz"          ("1/Δt = -" when Δt is 0)
//   "AI 0: A = 2   B = 3   B-A = 1"      ("-" for a value outside the data)
//   "DI 0:1: A = 0   B = 1   B-A = 1"
std::string CursorReadout(double tA, double tB, const std::vector<CursorTrace>& traces);

} // namespace ondrel
