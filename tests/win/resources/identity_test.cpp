// What the program shows about itself: the About item's text, the icon at every
// size the shell asks for, the version and the manifest's process settings.
#include "resource.h"
#include "resource_bytes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width; // 0 stands for 256
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD iconId;
};
#pragma pack(pop)

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};

struct ObjectDeleter {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};

std::vector<IconGroupEntry> IconGroup(WORD id) {
    std::span<const std::uint8_t> bytes = ResourceBytes(RT_GROUP_ICON, id);
    if (bytes.size() < 6) return {};
    WORD count = 0;
    std::memcpy(&count, bytes.data() + 4, sizeof(count));
    if (bytes.size() < 6 + count * sizeof(IconGroupEntry)) return {};
    std::vector<IconGroupEntry> entries(count);
    std::memcpy(entries.data(), bytes.data() + 6, count * sizeof(IconGroupEntry));
    return entries;
}

// The colour bitmap's width and bits per pixel of the icon the system loads at that size.
std::pair<int, int> LoadedIconFormat(int size) {
    std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter> icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0)));
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon.get(), &info)) return {0, 0};
    std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDeleter> colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    if (!colour || !GetObjectW(colour.get(), sizeof(bitmap), &bitmap)) return {0, 0};
    return {bitmap.bmWidth, bitmap.bmBitsPixel};
}

std::vector<BYTE> OwnVersionInfo() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(path, &ignored));
    if (block.empty() || !GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()))
        return {};
    return block;
}

} // namespace

TEST(Identity, AboutMenuItemTextIsChinese) {
    // A script read in the wrong code page turns the Chinese into other characters.
    wchar_t text[64] = {};
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 64), 0);
    EXPECT_STREQ(text, L"关于 nuvSokra(&A)...");
}

TEST(Identity, IconGroupHoldsFiveSizesOf32Bits) {
    std::set<int> sizes;
    for (const IconGroupEntry& entry : IconGroup(IDR_MAINFRAME)) {
        const int size = entry.width == 0 ? 256 : entry.width;
        sizes.insert(size);
        EXPECT_EQ(entry.height, entry.width);
        EXPECT_EQ(entry.bitCount, 32) << size;
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 128}));
    for (int size : sizes)
        EXPECT_EQ(LoadedIconFormat(size), std::make_pair(size, 32)) << size;
}

TEST(Identity, VersionIs1_0_0_6) {
    std::vector<BYTE> block = OwnVersionInfo();
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(6, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(6, 0));
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\080404b0\\ProductVersion",
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, L"1.0.0.6");
}

TEST(Identity, ManifestMakesTheProcessDpiAwareWithCommonControls6) {
    EXPECT_TRUE(IsProcessDPIAware());
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    HWND edit = CreateWindowExW(0, L"Edit", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(edit);
    // Only version 6 of the common controls knows the cue banner.
    EXPECT_TRUE(SendMessageW(edit, EM_SETCUEBANNER, FALSE, reinterpret_cast<LPARAM>(L"cue")));
    DestroyWindow(edit);
}
