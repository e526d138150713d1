#include "app_folder_path.h"

#include <cwchar>

namespace nuv::searchcore {

bool AppFolderPath::Fill(const wchar_t* programPath) {
    const std::size_t length = std::wcslen(programPath);
    if (length >= kCapacity) return false;
    std::wmemcpy(m_szPath, programPath, length + 1);
    const wchar_t* lastBackslash = std::wcsrchr(m_szPath, L'\\');
    m_pName = lastBackslash ? m_szPath + (lastBackslash - m_szPath) + 1 : m_szPath;
    return true;
}

const wchar_t* AppFolderPath::Compose(const wchar_t* name) {
    const std::size_t room = kCapacity - static_cast<std::size_t>(m_pName - m_szPath);
    const std::size_t length = std::wcslen(name);
    if (length >= room) return L"";
    std::wmemcpy(m_pName, name, length + 1);
    return m_szPath;
}

} // namespace nuv::searchcore
