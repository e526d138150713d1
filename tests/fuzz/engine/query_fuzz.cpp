// Any text is a query: parsing never fails, searching never crashes, and a search that refines
// its previous results answers exactly as a fresh search would.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/catalog.h"
#include "engine/path_list.h"
#include "engine/search.h"

namespace {

using nuv::engine::Catalog;
using nuv::engine::Row;
using nuv::engine::Search;

const Catalog& FixtureCatalog() {
    static Catalog* catalog = [] {
        auto* c = new Catalog;
        const char* lines = "C:\\Users\\Anna\\Report.docx\nC:\\Users\\Anna\\report-old.docx\n"
                            "C:\\Users\\Anna\\Straße.mp3\nC:\\Users\\Anna\\ΣΑΣ.flac\nC:\\Data\\ＡＢＣ.txt\n"
                            "C:\\Data\\中文文件.txt\nC:\\Data\\a*b?c.txt\nC:\\Data\\bad\xED\xA0\x80.bin\n"
                            "D:\\Backup\\Users\\\nD:\\Backup\\x\\y\\z\\deep.txt\n";
        for (auto& scan : nuv::engine::ScansFromPathList(lines))
            c->ReplaceRoot(std::move(scan));
        c->AddPath("C:\\Users\\Anna\\added.txt", false);
        c->RenamePath("C:\\Data", "C:\\Moved");
        return c;
    }();
    return *catalog;
}

void ReadEveryRow(const Search& search) {
    Row row;
    for (std::size_t i = 0; search.GetRow(i, row); ++i)
        if (row.folder.empty()) __builtin_trap();
}

bool SameRows(const Search& a, const Search& b) {
    if (a.Count() != b.Count()) return false;
    Row ra, rb;
    for (std::size_t i = 0; a.GetRow(i, ra); ++i) {
        if (!b.GetRow(i, rb) || ra.name != rb.name || ra.folder != rb.folder || ra.isFolder != rb.isFolder)
            return false;
    }
    return true;
}

} // namespace

// The input holds two queries split at the first zero byte; the second runs on the same search
// as the first, so it may refine.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view first = input.substr(0, split);
    const std::string_view second = split == std::string_view::npos ? first : input.substr(split + 1);

    const Catalog& catalog = FixtureCatalog();
    Search typing(catalog);
    typing.Run(first);
    ReadEveryRow(typing);
    typing.Run(second);
    Search fresh(catalog);
    fresh.Run(second);
    if (!SameRows(typing, fresh)) __builtin_trap();
    return 0;
}
