#pragma once
#include <optional>
#include <string>
#include <vector>

namespace ondrel {

// One visible plot as the measuring cursors cross it: its value at A and at
// B, nothing where the cursor lies outside its data.
struct CursorTrace {
    std::string name;
    std::optional<double> atA, atB;
};

// The cursors' read-out, one line each:
//   "t(A) = 1 s   t(B) = 1.25 s"
//   "Δt = 0.25 s   1/Δt = 4 Hz"          ("1/Δt = -" when Δt is 0)
//   "AI 0: A = 2   B = 3   B-A = 1"      ("-" for a value outside the data)
std::string CursorReadout(double tA, double tB, const std::vector<CursorTrace>& traces);

} // namespace ondrel
