// Scope guards for device contexts, selections and GDI objects. Each one
// releases or restores what it holds when it goes out of scope, so a paint
// leaves its device context as it found it.
#pragma once

#include <windows.h>

#include <utility>

// A GDI object (pen, brush, font, bitmap, region) owned and deleted. Delete
// it only after it is deselected: declare the owner before the ScopedSelect.
template <class Handle> class ScopedGdiObject {
public:
    ScopedGdiObject() = default;
    explicit ScopedGdiObject(Handle h) : m_h(h) {}
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    ScopedGdiObject(ScopedGdiObject&& other) noexcept : m_h(std::exchange(other.m_h, nullptr)) {}
    ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.m_h, nullptr));
        return *this;
    }
    ~ScopedGdiObject() { Reset(); }

    void Reset(Handle h = nullptr) {
        if (m_h) ::DeleteObject(m_h);
        m_h = h;
    }
    Handle Release() { return std::exchange(m_h, nullptr); }
    Handle Get() const { return m_h; }
    operator Handle() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }

private:
    Handle m_h = nullptr;
};

using ScopedPen = ScopedGdiObject<HPEN>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedRegion = ScopedGdiObject<HRGN>;

// Selects an object into a device context and selects the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC hdc, HGDIOBJ obj) : m_hdc(hdc), m_old(obj ? ::SelectObject(hdc, obj) : nullptr) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (m_old && m_old != HGDI_ERROR) ::SelectObject(m_hdc, m_old);
    }

private:
    HDC m_hdc;
    HGDIOBJ m_old;
};

// Saves the whole state of a device context (colours, modes, selections,
// clipping) and restores it.
class ScopedSaveDC {
public:
    explicit ScopedSaveDC(HDC hdc) : m_hdc(hdc), m_nSaved(::SaveDC(hdc)) {}
    ScopedSaveDC(const ScopedSaveDC&) = delete;
    ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;
    ~ScopedSaveDC() {
        if (m_nSaved) ::RestoreDC(m_hdc, m_nSaved);
    }

private:
    HDC m_hdc;
    int m_nSaved;
};

// GetDC / ReleaseDC. A null window gives the screen's context.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(::GetDC(hwnd)) {}
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    ~ScopedWindowDC() {
        if (m_hdc) ::ReleaseDC(m_hwnd, m_hdc);
    }
    HDC Get() const { return m_hdc; }
    operator HDC() const { return m_hdc; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

// CreateCompatibleDC / DeleteDC.
class ScopedMemoryDC {
public:
    explicit ScopedMemoryDC(HDC compatibleWith) : m_hdc(::CreateCompatibleDC(compatibleWith)) {}
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
    ~ScopedMemoryDC() {
        if (m_hdc) ::DeleteDC(m_hdc);
    }
    HDC Get() const { return m_hdc; }
    operator HDC() const { return m_hdc; }

private:
    HDC m_hdc;
};

// BeginPaint / EndPaint, for WM_PAINT.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND hwnd) : m_hwnd(hwnd), m_hdc(::BeginPaint(hwnd, &m_ps)) {}
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    ~ScopedPaint() { ::EndPaint(m_hwnd, &m_ps); }
    HDC Get() const { return m_hdc; }
    operator HDC() const { return m_hdc; }
    const PAINTSTRUCT& Info() const { return m_ps; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_hdc;
};

// An owned icon, destroyed with DestroyIcon. Not for shared icons (LR_SHARED).
class ScopedIcon {
public:
    ScopedIcon() = default;
    explicit ScopedIcon(HICON h) : m_h(h) {}
    ScopedIcon(const ScopedIcon&) = delete;
    ScopedIcon& operator=(const ScopedIcon&) = delete;
    ScopedIcon(ScopedIcon&& other) noexcept : m_h(std::exchange(other.m_h, nullptr)) {}
    ScopedIcon& operator=(ScopedIcon&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.m_h, nullptr));
        return *this;
    }
    ~ScopedIcon() { Reset(); }

    void Reset(HICON h = nullptr) {
        if (m_h) ::DestroyIcon(m_h);
        m_h = h;
    }
    HICON Release() { return std::exchange(m_h, nullptr); }
    HICON Get() const { return m_h; }
    operator HICON() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }

private:
    HICON m_h = nullptr;
};
