// An owned reference to a COM object: released when the owner goes.
#pragma once

#include <windows.h>

#include <oleauto.h>
#include <unknwn.h>

#include <utility>

template <class T> class ComRef {
public:
    ComRef() = default;
    // Takes over a reference the caller already holds.
    explicit ComRef(T* p) : m_p(p) {}
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.m_p, nullptr));
        return *this;
    }
    ~ComRef() { Reset(); }

    void Reset(T* p = nullptr) {
        if (m_p) m_p->Release();
        m_p = p;
    }
    // For out-parameters: releases what is held and gives its slot.
    T** Put() {
        Reset();
        return &m_p;
    }
    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

// An owned BSTR: freed when the owner goes.
class ScopedBstr {
public:
    ScopedBstr() = default;
    explicit ScopedBstr(const wchar_t* text) : m_bstr(text ? ::SysAllocString(text) : nullptr) {}
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ~ScopedBstr() { ::SysFreeString(m_bstr); }

    BSTR Get() const { return m_bstr; }
    // Gives up the string, to a VARIANT that frees it.
    BSTR Release() { return std::exchange(m_bstr, nullptr); }

private:
    BSTR m_bstr = nullptr;
};

// An owned VARIANT: cleared, with whatever it holds, when the owner goes.
class ScopedVariant {
public:
    ScopedVariant() { ::VariantInit(&m_variant); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { ::VariantClear(&m_variant); }

    VARIANT* Get() { return &m_variant; }

private:
    VARIANT m_variant;
};
