// The finder's start-with-Windows value, read and written raw around a test:
// the value "orvelSokra" of the current user's Run key as the test found it is
// put back when the test ends.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct RawRegValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// The value as it stands; nothing when it is missing.
std::optional<RawRegValue> ReadRawRunValue();
bool WriteRawRunValue(DWORD type, const void* data, DWORD bytes);
bool WriteRunText(const std::wstring& text); // REG_SZ with its NUL
void DeleteRawRunValue();
// The data of a REG_SZ value up to its first NUL; nothing when the value is
// missing or of another type.
std::optional<std::wstring> RunValueText();

class SavedRunValue {
public:
    SavedRunValue() : m_saved(ReadRawRunValue()) {}
    SavedRunValue(const SavedRunValue&) = delete;
    SavedRunValue& operator=(const SavedRunValue&) = delete;
    ~SavedRunValue();

private:
    std::optional<RawRegValue> m_saved;
};
