#include "saved_run_value.h"

#include "finder/system/scoped_reg_key.h"

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"orvelSokra";

} // namespace

std::optional<RawRegValue> ReadRawRunValue() {
    ScopedRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return std::nullopt;
    RawRegValue value;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key.Get(), kValueName, nullptr, &value.type, nullptr, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(bytes);
    if (::RegQueryValueExW(key.Get(), kValueName, nullptr, &value.type, value.data.data(), &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(bytes);
    return value;
}

bool WriteRawRunValue(DWORD type, const void* data, DWORD bytes) {
    ScopedRegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Receive(),
                          nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExW(key.Get(), kValueName, 0, type, static_cast<const BYTE*>(data), bytes) ==
           ERROR_SUCCESS;
}

bool WriteRunText(const std::wstring& text) {
    return WriteRawRunValue(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void DeleteRawRunValue() {
    ScopedRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, key.Receive()) == ERROR_SUCCESS)
        ::RegDeleteValueW(key.Get(), kValueName);
}

std::optional<std::wstring> RunValueText() {
    const std::optional<RawRegValue> value = ReadRawRunValue();
    if (!value || value->type != REG_SZ) return std::nullopt;
    const std::wstring text(reinterpret_cast<const wchar_t*>(value->data.data()),
                            value->data.size() / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

SavedRunValue::~SavedRunValue() {
    if (m_saved)
        WriteRawRunValue(m_saved->type, m_saved->data.data(), static_cast<DWORD>(m_saved->data.size()));
    else
        DeleteRawRunValue();
}
