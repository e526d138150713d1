#include "recording_browser_session.h"

#include "finder/system/scoped_reg_key.h"

#include <fstream>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string_view>

namespace {

constexpr const wchar_t* kRecordingVariable = L"NUV_RECORDING_FILE";

// Each key from "http" down to its open command, below path.
std::vector<std::wstring> HttpCommandKeys(std::wstring path) {
    std::vector<std::wstring> keys;
    for (const wchar_t* part : {L"http", L"shell", L"open", L"command"}) {
        if (!path.empty()) path += L'\\';
        keys.push_back(path += part);
    }
    return keys;
}

bool KeyExists(HKEY root, const std::wstring& subKey) {
    ScopedRegKey key;
    return ::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

std::optional<std::wstring> DefaultText(HKEY root, const std::wstring& subKey) {
    DWORD size = 0;
    if (::RegGetValueW(root, subKey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (::RegGetValueW(root, subKey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    text.resize(size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

std::wstring Utf16Of(std::string_view utf8) {
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
    return text;
}

std::optional<BrowserStart> FirstCompleteRecord(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) return std::nullopt;
    const std::string recorded(std::istreambuf_iterator<char>(in), {});
    // The reader may catch the browser's one write half done.
    if (recorded.find("\nend\n") == std::string::npos) return std::nullopt;
    std::istringstream lines(recorded);
    BrowserStart start;
    size_t argc = 0;
    for (std::string line; std::getline(lines, line);) {
        const std::string_view view(line);
        if (view.starts_with("command line: "))
            start.commandLine = Utf16Of(view.substr(14));
        else if (view.starts_with("argc: "))
            argc = std::stoul(line.substr(6));
        else if (view.starts_with("argv: "))
            start.argv.push_back(Utf16Of(view.substr(6)));
        else if (view == "end")
            break;
    }
    return start.argv.size() == argc ? std::optional(start) : std::nullopt;
}

} // namespace

std::wstring RecordingBrowserPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\')) + L"\\recording_browser.exe";
}

ScopedDefaultValue::ScopedDefaultValue(HKEY root, const std::vector<std::wstring>& subKeys,
                                       const std::wstring& value)
    : m_root(root), m_key(subKeys.back()) {
    for (const std::wstring& subKey : subKeys) {
        if (!KeyExists(root, subKey)) {
            m_createdKey = subKey;
            break;
        }
    }
    ScopedRegKey key;
    if (::RegCreateKeyExW(root, m_key.c_str(), 0, nullptr, 0, KEY_READ | KEY_SET_VALUE, nullptr,
                          key.Receive(), nullptr) != ERROR_SUCCESS)
        return;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key.Get(), nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        m_previousData.resize(size);
        if (::RegQueryValueExW(key.Get(), nullptr, nullptr, &type, m_previousData.data(), &size) ==
            ERROR_SUCCESS)
            m_previousType = type;
    }
    m_set = ::RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

ScopedDefaultValue::~ScopedDefaultValue() {
    if (!m_createdKey.empty()) {
        ::RegDeleteTreeW(m_root, m_createdKey.c_str());
        return;
    }
    if (!m_set) return; // the value was never touched
    ScopedRegKey key;
    if (::RegOpenKeyExW(m_root, m_key.c_str(), 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS) return;
    if (m_previousType)
        ::RegSetValueExW(key.Get(), nullptr, 0, *m_previousType, m_previousData.data(),
                         static_cast<DWORD>(m_previousData.size()));
    else
        ::RegDeleteValueW(key.Get(), nullptr);
}

ScopedHttpOpenCommand::ScopedHttpOpenCommand(const std::wstring& command)
    : m_userCommand(HKEY_CURRENT_USER, HttpCommandKeys(L"Software\\Classes"), command) {
    const std::wstring merged = HttpCommandKeys(L"").back();
    if (m_userCommand.IsSet() && DefaultText(HKEY_CLASSES_ROOT, merged) != command)
        m_classesRootCommand.emplace(HKEY_CLASSES_ROOT, HttpCommandKeys(L""), command);
    m_registered = DefaultText(HKEY_CLASSES_ROOT, merged) == command;
}

BrowserRecording::BrowserRecording() {
    static int s_counter = 0;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"browser-recording-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
             std::to_wstring(++s_counter) + L".txt";
    ::DeleteFileW(m_path.c_str());
    ::SetEnvironmentVariableW(kRecordingVariable, m_path.c_str());
}

BrowserRecording::~BrowserRecording() {
    ::SetEnvironmentVariableW(kRecordingVariable, nullptr);
    ::DeleteFileW(m_path.c_str());
}

std::optional<BrowserStart> BrowserRecording::WaitForStart(DWORD timeoutMs) const {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (std::optional<BrowserStart> start = FirstCompleteRecord(m_path)) return start;
        if (::GetTickCount64() >= deadline) return std::nullopt;
        ::Sleep(20);
    }
}
