// How a registry key named by its full textual path ("HKEY_CURRENT_USER\...")
// is taken apart, and which access the start-with-Windows key is opened with.
// No registry calls here: root keys are carried as the values Windows gives
// its predefined handles, so the logic builds and is tested natively too.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The value of a predefined root-key handle (HKEY_CURRENT_USER is
// (HKEY)(ULONG_PTR)(LONG)0x80000001), or 0 for none.
using RootKeyValue = std::uintptr_t;

constexpr RootKeyValue PredefinedRootKey(std::uint32_t code) {
    // The SDK sign-extends the 32-bit code to the pointer's width.
    return static_cast<RootKeyValue>(static_cast<std::intptr_t>(static_cast<std::int32_t>(code)));
}

// The current user's Run key and the program's value in it.
inline constexpr wchar_t kRunKeyPath[] =
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"orvelSokra";

// h = h * 131 + unit over the name's UTF-16 units, modulo 2^32.
std::uint32_t RootKeyNameHash(std::wstring_view name);

// The seven root-key names, each in slot (hash mod 15). The table keeps no
// names: a name outside the seven gets whatever root shares its slot, or 0.
class RootKeyTable {
public:
    static constexpr std::size_t kSlotCount = 15;

    RootKeyTable();
    static std::size_t SlotOf(std::wstring_view name) { return RootKeyNameHash(name) % kSlotCount; }
    RootKeyValue Lookup(std::wstring_view name) const { return m_slots[SlotOf(name)]; }
    RootKeyValue Slot(std::size_t index) const { return m_slots[index]; }

private:
    std::array<RootKeyValue, kSlotCount> m_slots{};
};

// The process's one table, filled at its first use.
const RootKeyTable& TheRootKeyTable();

// Splits `path` at its first backslash: sets root from the table for the text
// before it and returns the text after it (a view into path, so the sub-key
// of a NUL-terminated path is NUL-terminated too). Without a backslash root
// is 0 and nothing is returned.
std::optional<std::wstring_view> ParseKeyPath(std::wstring_view path, RootKeyValue& root);

// The access the Run key is opened with: full access in the 64-bit view for a
// 32-bit process on 64-bit Windows, else in the 32-bit view. The user's own
// Run key is the user's to change, so full access is no more than needed.
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kKeyWow64View64 = 0x100;
inline constexpr std::uint32_t kKeyWow64View32 = 0x200;
constexpr std::uint32_t RunKeyAccessMask(bool wow64Process) {
    return kKeyAllAccess | (wow64Process ? kKeyWow64View64 : kKeyWow64View32);
}
