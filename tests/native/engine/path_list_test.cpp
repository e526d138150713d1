#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace nuv::engine {
namespace {

// Lines that continue the previous line's folder are placed without splitting; each case here
// looks like such a line but is not, or is one written differently.
TEST(PathList, PlacesEveryLineInTheFolderItNames) {
    Catalog catalog;
    testing::AddPathList(catalog, "C:\\a\\\n"
                                  "C:\\a\\x.txt\n"
                                  "C:\\a\\Y.txt\n"
                                  "C:/a/z.txt\n"     // the other separator
                                  "C:\\a\\\\w.txt\n" // a doubled separator
                                  "C:\\ab\\v.txt\n"  // a folder whose name goes on from the last one
                                  "C:\\a\\B\n"
                                  "C:\\a\\b\\c\n" // one name more, but a folder and a file
                                  "D:\\a\\u.txt\r\n");
    EXPECT_EQ(testing::Query(catalog, ""),
              (std::vector<std::string>{"C:\\a\\", "D:\\a\\", "C:\\ab\\", "C:\\a\\B", "C:\\a\\b\\",
                                        "C:\\a\\b\\c", "D:\\a\\u.txt", "C:\\ab\\v.txt", "C:\\a\\w.txt",
                                        "C:\\a\\x.txt", "C:\\a\\Y.txt", "C:\\a\\z.txt"}));
}

} // namespace
} // namespace nuv::engine
