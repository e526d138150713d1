#include "index_settings.h"

#include "wide_text.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace nuv::service {
namespace {

std::wstring_view Trim(std::wstring_view text) {
    constexpr std::wstring_view kSpace = L" \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

std::vector<std::wstring> SplitList(std::wstring_view value) {
    std::vector<std::wstring> items;
    while (!value.empty()) {
        const std::size_t end = value.find(L';');
        const std::wstring_view item = Trim(value.substr(0, end));
        if (!item.empty()) items.emplace_back(item);
        value = end == std::wstring_view::npos ? std::wstring_view() : value.substr(end + 1);
    }
    return items;
}

void ApplyKey(IndexSettings& settings, std::wstring_view key, std::wstring_view value) {
    if (SameName(key, L"roots")) {
        settings.roots.clear();
        for (const std::wstring& root : SplitList(value))
            settings.roots.push_back(NormaliseFolderPath(root));
    } else if (SameName(key, L"exclude")) {
        settings.excludes = SplitList(value);
    } else if (SameName(key, L"index")) {
        settings.indexFile = Trim(value);
    }
}

} // namespace

IndexSettings ParseIndexSettings(std::wstring_view iniText) {
    IndexSettings settings;
    bool inIndexSection = false;
    while (!iniText.empty()) {
        const std::size_t end = iniText.find(L'\n');
        const std::wstring_view line = Trim(iniText.substr(0, end));
        iniText = end == std::wstring_view::npos ? std::wstring_view() : iniText.substr(end + 1);
        if (line.empty() || line.front() == L';' || line.front() == L'#') continue;
        if (line.front() == L'[') {
            inIndexSection = line.back() == L']' && SameName(Trim(line.substr(1, line.size() - 2)), L"index");
            continue;
        }
        const std::size_t equals = line.find(L'=');
        if (inIndexSection && equals != std::wstring_view::npos)
            ApplyKey(settings, Trim(line.substr(0, equals)), line.substr(equals + 1));
    }
    return settings;
}

std::optional<std::wstring> ReadSettingsText(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        std::wstring text((bytes.size() - 2) / 2, L'\0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                           static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
        return text;
    }
    const std::string_view utf8 =
        bytes.starts_with("\xEF\xBB\xBF") ? std::string_view(bytes).substr(3) : bytes;
    return ToWide(utf8);
}

std::wstring NormaliseFolderPath(std::wstring_view path) {
    std::wstring text(path);
    for (wchar_t& c : text)
        if (c == L'/') c = L'\\';
    if (text.size() == 2 && text[1] == L':') text += L'\\';
    wchar_t full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(text.c_str(), ARRAYSIZE(full), full, nullptr);
    if (length > 0 && length < ARRAYSIZE(full)) text.assign(full, length);
    // A drive root keeps its backslash ("C:\"); any other folder drops it.
    while (text.size() > 3 && text.back() == L'\\')
        text.pop_back();
    return text;
}

} // namespace nuv::service
