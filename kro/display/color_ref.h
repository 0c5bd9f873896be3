#pragma once
#include "ondrel/components/graph.h"
#include <QColor>
#include <QPalette>

namespace kro {

// Resolves a colour reference: R + 256*G + 65536*B, or 0x80000000 + n for the
// system colour n, which is taken from `palette` (the desktop's colour scheme).
QColor colorFromRef(ondrel::ColorRef ref, const QPalette& palette);

} // namespace kro
