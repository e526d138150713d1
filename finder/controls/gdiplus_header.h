// The GDI+ header as this code base can include it: gdiplus.h uses min and
// max, which NOMINMAX takes away from windows.h; mingw-w64's copy does
// without them, the Windows SDK's does not.
#pragma once

#include <windows.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus

#include <gdiplus.h>
