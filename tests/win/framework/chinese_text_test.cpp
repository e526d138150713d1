// Chinese text renders as glyphs, not as the missing-glyph box, in the fonts
// the finder uses: the dialogs' "MS Shell Dlg" and the created "新宋体". A
// broken font setup draws "共查找出" exactly like four private-use code
// points, which are always boxes. Also leaves a screenshot of a framework
// dialog with Chinese text in TEST_ARTIFACTS.
#include "finder/framework/dialog.h"
#include "finder/framework/gdi_guards.h"

#include "pixel_canvas.h"
#include "test_resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

// gdiplus.h uses min and max, which NOMINMAX takes away.
namespace Gdiplus {
using std::max;
using std::min;
} // namespace Gdiplus
#include <gdiplus.h>

namespace {

std::vector<uint32_t> Render(HFONT font, const wchar_t* text) {
    PixelCanvas canvas(160, 40);
    canvas.Fill(0xFFFFFF);
    ScopedSelect selected(canvas.Dc(), font);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    SetTextColor(canvas.Dc(), RGB(0, 0, 0));
    TextOutW(canvas.Dc(), 2, 2, text, static_cast<int>(wcslen(text)));
    return std::vector<uint32_t>(canvas.Bits(), canvas.Bits() + canvas.PixelCount());
}

// Draws text in the font and checks it is not the boxes of a missing font.
void ExpectChineseGlyphs(HFONT font) {
    const std::vector<uint32_t> chinese = Render(font, L"共查找出");
    const std::vector<uint32_t> boxes = Render(font, L"\uE000\uE001\uE002\uE003");
    EXPECT_NE(std::count(chinese.begin(), chinese.end(), 0xFFFFFFu), static_cast<long>(chinese.size()))
        << "nothing drawn";
    EXPECT_NE(chinese, boxes) << "Chinese drawn as missing-glyph boxes";
}

ScopedFont MakeFont(const wchar_t* face, int height) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return ScopedFont(CreateFontIndirectW(&lf));
}

int PointsToPixels(int points) {
    ScopedWindowDC screen(nullptr);
    return -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
}

struct FontCase {
    const char* name;
    const wchar_t* face;
    int height;
};

class ChineseFonts : public testing::TestWithParam<FontCase> {};

TEST_P(ChineseFonts, DrawChineseAsGlyphs) {
    const int height = GetParam().height != 0 ? GetParam().height : PointsToPixels(8);
    ScopedFont font = MakeFont(GetParam().face, height);
    ASSERT_TRUE(font);
    ExpectChineseGlyphs(font);
}

INSTANTIATE_TEST_SUITE_P(Faces, ChineseFonts,
                         testing::Values(FontCase{"MsShellDlg8pt", L"MS Shell Dlg", 0},
                                         FontCase{"NSimSun13px", L"新宋体", -13}),
                         [](const testing::TestParamInfo<FontCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ChineseDialog, TemplateFontOfAFrameworkDialogDrawsChinese) {
    CDialogEx dlg(IDD_BUTTONS);
    ASSERT_TRUE(dlg.Create(IDD_BUTTONS));
    HFONT dialogFont = dlg.GetFont();
    ASSERT_NE(dialogFont, nullptr);
    ExpectChineseGlyphs(dialogFont);
    dlg.DestroyWindow();
}

// --- screenshot --------------------------------------------------------------

// Wine maps the Unix root to drive Z:.
std::wstring ArtifactPath(const wchar_t* fileName) {
    const char* folder = std::getenv("TEST_ARTIFACTS");
    std::wstring path;
    if (folder && *folder) {
        std::string unixPath(folder);
        path = unixPath[0] == '/' ? L"Z:" : L"";
        for (char c : unixPath)
            path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    } else {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path = temp;
    }
    CreateDirectoryW(path.c_str(), nullptr);
    if (path.back() != L'\\') path += L'\\';
    return path + fileName;
}

bool SavePng(HBITMAP bitmap, const std::wstring& path) {
    namespace gdip = Gdiplus::DllExports;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool saved = false;
    Gdiplus::GpBitmap* image = nullptr;
    if (gdip::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok) {
        const CLSID pngEncoder = {
            0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
        saved = gdip::GdipSaveImageToFile(image, path.c_str(), &pngEncoder, nullptr) == Gdiplus::Ok;
        gdip::GdipDisposeImage(image);
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

void PumpPendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

TEST(ChineseDialog, ScreenshotShowsTheDialogWithChineseText) {
    CDialogEx dlg(IDD_CHINESE);
    ASSERT_TRUE(dlg.Create(IDD_CHINESE));
    dlg.SetBackgroundColor(RGB(255, 255, 255));
    ScopedFont nsimsun = MakeFont(L"新宋体", -13);
    dlg.GetDlgItem(IDC_NSIMSUN)->SetFont(nsimsun);
    dlg.SetWindowPos(HWND_TOPMOST, 100, 100, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(dlg.m_hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpPendingMessages();
    Sleep(300); // the X server draws asynchronously
    PumpPendingMessages();

    RECT rect;
    dlg.GetWindowRect(&rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    PixelCanvas shot(width, height);
    ASSERT_TRUE(shot.Valid());
    {
        ScopedWindowDC screen(nullptr);
        ASSERT_TRUE(BitBlt(shot.Dc(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY));
    }
    std::vector<uint32_t> pixels(shot.Bits(), shot.Bits() + shot.PixelCount());
    std::sort(pixels.begin(), pixels.end());
    EXPECT_GT(std::unique(pixels.begin(), pixels.end()) - pixels.begin(), 8) << "the capture is blank";

    HBITMAP captured = static_cast<HBITMAP>(GetCurrentObject(shot.Dc(), OBJ_BITMAP));
    const std::wstring path = ArtifactPath(L"framework-chinese-dialog.png");
    EXPECT_TRUE(SavePng(captured, path));
    dlg.DestroyWindow();
}

} // namespace
