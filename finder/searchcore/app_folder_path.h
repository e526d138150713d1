#pragma once
// The state behind GetAppFolderFile, apart from the program's own path so that
// any path can be given to it.
#include <cstddef>

namespace nuv::searchcore {

class AppFolderPath {
public:
    static constexpr std::size_t kCapacity = 260;

    bool IsFilled() const { return m_szPath[0] != L'\0'; }
    // Takes the program's full path; false when it does not fit.
    bool Fill(const wchar_t* programPath);
    // The folder of the program's path, a backslash and name; the empty text
    // when that would not fit, leaving the previous result in place.
    const wchar_t* Compose(const wchar_t* name);

private:
    wchar_t m_szPath[kCapacity] = {};
    wchar_t* m_pName = m_szPath;
};

} // namespace nuv::searchcore
