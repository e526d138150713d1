#include "registry_path.h"

namespace {

struct RootKeyName {
    std::wstring_view name;
    RootKeyValue root;
};

// In this order: a later name in a taken slot would win, though these seven
// all land in different slots.
constexpr RootKeyName kRootKeyNames[] = {
    {L"HKEY_CLASSES_ROOT", PredefinedRootKey(0x80000000)},
    {L"HKEY_CURRENT_CONFIG", PredefinedRootKey(0x80000005)},
    {L"HKEY_CURRENT_USER", PredefinedRootKey(0x80000001)},
    {L"HKEY_LOCAL_MACHINE", PredefinedRootKey(0x80000002)},
    {L"HKEY_USERS", PredefinedRootKey(0x80000003)},
    {L"HKEY_DYN_DATA", PredefinedRootKey(0x80000006)},
    {L"HKEY_PERFORMANCE_DATA", PredefinedRootKey(0x80000004)},
};

} // namespace

std::uint32_t RootKeyNameHash(std::wstring_view name) {
    std::uint32_t hash = 0;
    // Where wchar_t is 32 bits wide the text still holds UTF-16 units here.
    for (const wchar_t unit : name)
        hash = hash * 131u + static_cast<std::uint32_t>(unit);
    return hash;
}

RootKeyTable::RootKeyTable() {
    for (const RootKeyName& entry : kRootKeyNames)
        m_slots[SlotOf(entry.name)] = entry.root;
}

const RootKeyTable& TheRootKeyTable() {
    static const RootKeyTable table;
    return table;
}

std::optional<std::wstring_view> ParseKeyPath(std::wstring_view path, RootKeyValue& root) {
    root = 0;
    const std::size_t backslash = path.find(L'\\');
    if (backslash == std::wstring_view::npos) return std::nullopt;
    root = TheRootKeyTable().Lookup(path.substr(0, backslash));
    return path.substr(backslash + 1);
}
