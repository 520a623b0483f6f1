// GDI+ for the program's picture code. NOMINMAX keeps <windows.h> from defining min and
// max, which GDI+'s headers expect; they get the standard ones instead.
#pragma once

#include <windows.h>

#include <algorithm>

#include <objidl.h>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>
