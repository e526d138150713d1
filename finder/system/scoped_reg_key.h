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

private:
    HKEY m_hKey = nullptr;
};
