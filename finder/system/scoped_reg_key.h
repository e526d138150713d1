// Owns an open registry key and closes it when it goes out of scope.
#pragma once

#include <windows.h>

class ScopedRegKey {
public:
    ScopedRegKey() = default;
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;
    ~ScopedRegKey() { Reset(); }

    // For the result parameter of RegOpenKeyExW and RegCreateKeyExW: the key
    // held so far is closed first.
    HKEY* Receive() {
        Reset();
        return &m_hKey;
    }
    void Reset() {
        if (m_hKey) ::RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
    HKEY Get() const { return m_hKey; }
    // Trades keys with another guard, so a key opened on the side replaces
    // the held one only once it is open.
    void Swap(ScopedRegKey& other) {
        const HKEY held = m_hKey;
        m_hKey = other.m_hKey;
        other.m_hKey = held;
    }

private:
    HKEY m_hKey = nullptr;
};
