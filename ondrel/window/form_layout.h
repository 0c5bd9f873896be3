#pragma once
#include <map>
#include <string>

namespace ondrel {

// A control's rectangle in twips, relative to its container.
struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// The main window's controls by name, in twips, with the design geometry as the
// starting point.
using FormGeometry = std::map<std::string, TwipsRect>;

FormGeometry DesignGeometry();

inline constexpr int kMinFormHeight = 7245;
inline constexpr int kMinFormWidth = 11445;
inline constexpr int kLayoutMargin = 50;

enum class ResizeOutcome { LaidOut, SnappedToMinimum, Ignored };

// Lays the controls out for a window of the given outer size (twips). A window
// below the minimum is snapped to it (both dimensions) without moving anything:
// the size change brings the next call, which lays out. A minimized window is
// left alone.
ResizeOutcome FormResize(FormGeometry& geometry, int& height, int& width, bool minimized);

} // namespace ondrel
