// The few Win32 value types the drawing logic shares with GDI, so that the
// pure parts of the controls build and run natively as well.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

using COLORREF = std::uint32_t;
using BYTE = std::uint8_t;

constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) |
           (static_cast<COLORREF>(blue) << 16);
}
constexpr BYTE GetRValue(COLORREF color) {
    return static_cast<BYTE>(color);
}
constexpr BYTE GetGValue(COLORREF color) {
    return static_cast<BYTE>(color >> 8);
}
constexpr BYTE GetBValue(COLORREF color) {
    return static_cast<BYTE>(color >> 16);
}
#endif
