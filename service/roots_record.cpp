#include "roots_record.h"

#include "wide_text.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace nuv::service {
namespace {

std::string RecordText(const std::vector<std::wstring>& roots) {
    std::string text;
    for (const std::wstring& root : roots)
        text += ToEngineText(root) + "\n";
    return text;
}

std::string ReadRecord(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

void ForgetIndexOfOtherRoots(const std::wstring& indexFile, const std::vector<std::wstring>& roots) {
    const std::wstring recordFile = indexFile + L".roots";
    const std::string record = RecordText(roots);
    if (ReadRecord(recordFile) == record) return;
    DeleteFileW(indexFile.c_str());
    std::ofstream(std::filesystem::path(recordFile), std::ios::binary | std::ios::trunc) << record;
}

} // namespace nuv::service
