// The dialog templates as the windows are built from them: styles, fonts and
// dialog-unit geometry as written, and every template creating its window with
// its controls of the right classes.
#include "dialog_template_reader.h"
#include "png_decoder.h"
#include "resource.h"
#include "resource_bytes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <type_traits>
#include <vector>

namespace {

constexpr POINT kAnyPosition{-1, -1};
constexpr SIZE kAnySize{-1, -1};
constexpr DWORD kAllBits = 0xFFFFFFFF;
constexpr DWORD kWindowKindBits = WS_POPUP | WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kStaticId = static_cast<DWORD>(-1);
constexpr DWORD kListStyle =
    LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS;

struct ItemExpectation {
    DWORD id;
    const wchar_t* className;
    DWORD style;
    DWORD styleMask;
    DWORD exStyle;
    POINT position; // dialog units, or kAnyPosition where the window places it itself
    SIZE size;
    const wchar_t* text; // null: any text
};

struct DialogExpectation {
    WORD id;
    DWORD style;
    DWORD styleMask;
    DWORD exStyle;
    SIZE size;
    const wchar_t* caption;
    WORD pointSize;
    WORD weight;                        // 0 where the template leaves it to the font
    std::vector<ItemExpectation> items; // in template (tab) order
};

const std::vector<DialogExpectation>& Dialogs() {
    static const std::vector<DialogExpectation> dialogs = {
        {IDD_ABOUTBOX,
         0x80C800C8,
         kAllBits,
         0,
         {170, 62},
         L"关于 nuvSokra",
         9,
         0,
         {
             {kStaticId, L"Static", SS_ICON, SS_TYPEMASK, 0, {14, 14}, {21, 20}, nullptr},
             {kStaticId, L"Static", SS_NOPREFIX, SS_NOPREFIX, 0, {42, 14}, {114, 8}, L"nuvSokra，1.0 版"},
             {kStaticId, L"Static", SS_LEFT, SS_TYPEMASK, 0, {42, 26}, {114, 8}, nullptr},
             {IDOK, L"Button", BS_DEFPUSHBUTTON, BS_TYPEMASK, 0, {113, 41}, {50, 14}, L"确定"},
         }},
        {IDD_SEARCHBAR_DIALOG,
         WS_POPUP | WS_VISIBLE | WS_SYSMENU,
         kWindowKindBits,
         WS_EX_APPWINDOW,
         {266, 105},
         L"",
         8,
         0,
         {}},
        {IDD_SEARCH_EDIT,
         WS_POPUP | WS_SYSMENU,
         kWindowKindBits,
         0,
         {128, 26},
         L"",
         8,
         0,
         {
             {IDC_SEARCH_EDIT,
              L"Edit",
              WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
              kAllBits,
              WS_EX_STATICEDGE,
              {1, 5},
              {108, 12},
              L""},
         }},
        {IDD_RESULTS,
         WS_POPUP | WS_SYSMENU,
         kWindowKindBits,
         0,
         {298, 274},
         L"",
         8,
         0,
         {
             {IDC_RESULTS_CLOSE, L"Button", 0, 0, 0, kAnyPosition, kAnySize, nullptr},
             {IDC_RESULTS_LIST, WC_LISTVIEWW, kListStyle, kListStyle | LVS_TYPEMASK, 0, kAnyPosition,
              kAnySize, nullptr},
             {IDC_SPARE_LIST, WC_LISTVIEWW, kListStyle, kListStyle | LVS_TYPEMASK, 0, kAnyPosition, kAnySize,
              nullptr},
             {IDC_WEB_SEARCH, L"Static", 0, 0, 0, kAnyPosition, kAnySize, L"web搜索"},
             {IDC_RESULTS_TITLE, L"Static", 0, 0, 0, kAnyPosition, {205, 8}, L"Title"},
             {IDC_ABOUT_LINK, L"Button", 0, 0, 0, kAnyPosition, kAnySize, nullptr},
             {IDC_QUOTED_TEXT, L"Static", 0, 0, 0, kAnyPosition, kAnySize, L"搜索内容"},
             {IDC_WEB_PANE, L"Static", 0, 0, 0, {16, 213}, {242, 35}, nullptr},
         }},
        {IDD_ABOUT_NUV,
         0x80080048,
         kAllBits,
         0,
         {316, 183},
         L"",
         8,
         400,
         {
             {IDC_ABOUT_CLOSE, L"Button", 0x50010000, kAllBits, 0, {259, 7}, {50, 14}, L""},
             {IDC_LEARN_MORE, L"Button", 0x50010000, kAllBits, 0, {213, 113}, {50, 14}, L""},
         }},
    };
    return dialogs;
}

INT_PTR CALLBACK AcceptDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

UniqueWindow CreateFromTemplate(WORD id) {
    return UniqueWindow(
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, AcceptDialog, 0));
}

RECT ChildRectInParent(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class DialogTemplates : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&classes);
    }
};

} // namespace

TEST_F(DialogTemplates, StylesFontsAndGeometryAreAsWritten) {
    for (const DialogExpectation& want : Dialogs()) {
        SCOPED_TRACE(want.id);
        std::optional<DialogTemplate> dialog = ReadDialogTemplate(ResourceBytes(RT_DIALOG, want.id));
        ASSERT_TRUE(dialog.has_value());
        EXPECT_EQ(dialog->style & want.styleMask, want.style);
        EXPECT_EQ(dialog->exStyle, want.exStyle);
        EXPECT_EQ(dialog->size.cx, want.size.cx);
        EXPECT_EQ(dialog->size.cy, want.size.cy);
        EXPECT_EQ(dialog->caption, want.caption);
        EXPECT_EQ(dialog->typeface, L"MS Shell Dlg");
        EXPECT_EQ(dialog->pointSize, want.pointSize);
        if (want.weight != 0) EXPECT_EQ(dialog->weight, want.weight);
        ASSERT_EQ(dialog->items.size(), want.items.size());
        for (size_t i = 0; i < want.items.size(); ++i) {
            const ItemExpectation& wantItem = want.items[i];
            const DialogItemTemplate& item = dialog->items[i];
            SCOPED_TRACE(testing::Message() << "control " << static_cast<int>(wantItem.id));
            EXPECT_EQ(item.id, wantItem.id);
            EXPECT_EQ(_wcsicmp(item.className.c_str(), wantItem.className), 0);
            EXPECT_EQ(item.style & wantItem.styleMask, wantItem.style);
            EXPECT_EQ(item.exStyle, wantItem.exStyle);
            if (wantItem.position.x != kAnyPosition.x) {
                EXPECT_EQ(item.box.left, wantItem.position.x);
                EXPECT_EQ(item.box.top, wantItem.position.y);
            }
            if (wantItem.size.cx != kAnySize.cx) {
                EXPECT_EQ(item.box.right - item.box.left, wantItem.size.cx);
                EXPECT_EQ(item.box.bottom - item.box.top, wantItem.size.cy);
            }
            if (wantItem.text) EXPECT_EQ(item.text, wantItem.text);
        }
    }
}

TEST_F(DialogTemplates, AboutBoxShowsTheApplicationIcon) {
    std::optional<DialogTemplate> about = ReadDialogTemplate(ResourceBytes(RT_DIALOG, IDD_ABOUTBOX));
    ASSERT_TRUE(about.has_value());
    ASSERT_FALSE(about->items.empty());
    EXPECT_EQ(about->items[0].textOrdinal, IDR_MAINFRAME);
}

TEST_F(DialogTemplates, EachCreatesItsWindowWithItsControls) {
    for (const DialogExpectation& want : Dialogs()) {
        SCOPED_TRACE(want.id);
        UniqueWindow dialog = CreateFromTemplate(want.id);
        ASSERT_TRUE(dialog) << GetLastError();
        // Only the bar shows itself; every other window stays hidden until its owner shows it.
        EXPECT_EQ(IsWindowVisible(dialog.get()) != FALSE, (want.style & WS_VISIBLE) != 0);
        for (const ItemExpectation& wantItem : want.items) {
            if (wantItem.id == kStaticId) continue;
            SCOPED_TRACE(testing::Message() << "control " << static_cast<int>(wantItem.id));
            HWND control = GetDlgItem(dialog.get(), static_cast<int>(wantItem.id));
            ASSERT_TRUE(control);
            wchar_t className[64] = {};
            GetClassNameW(control, className, 64);
            EXPECT_EQ(_wcsicmp(className, wantItem.className), 0) << className;
            EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)) & wantItem.styleMask,
                      wantItem.style);
            if (wantItem.position.x == kAnyPosition.x || wantItem.size.cx == kAnySize.cx) continue;
            // The dialog manager converts position and size separately, each rounded on its own.
            RECT placement{wantItem.position.x, wantItem.position.y, wantItem.size.cx, wantItem.size.cy};
            MapDialogRect(dialog.get(), &placement);
            RECT actual = ChildRectInParent(control);
            EXPECT_EQ(actual.left, placement.left);
            EXPECT_EQ(actual.top, placement.top);
            EXPECT_EQ(actual.right - actual.left, placement.right);
            EXPECT_EQ(actual.bottom - actual.top, placement.bottom);
        }
    }
}

TEST_F(DialogTemplates, SearchBoxLiesOnTheFieldsWhiteEntryAreaLeftOfTheCloseArrow) {
    UniqueWindow field = CreateFromTemplate(IDD_SEARCH_EDIT);
    ASSERT_TRUE(field);
    RECT edit = ChildRectInParent(GetDlgItem(field.get(), IDC_SEARCH_EDIT));
    std::optional<DecodedPng> face = DecodePng(ResourceBytes(L"PNG", IDB_PNG_FIELD));
    ASSERT_TRUE(face.has_value());
    EXPECT_LE(edit.right, 167) << "the box would cover the close arrow";
    EXPECT_GE(edit.top, 6) << "the box would stick out above the field";
    EXPECT_LE(edit.bottom, face->height);
    // Around the box the face is white, so the box and its entry area read as one.
    for (int x = edit.left; x < edit.right; ++x) {
        EXPECT_EQ(face->At(x, edit.top) & 0xFFFFFF, 0xFFFFFFu) << x;
        EXPECT_EQ(face->At(x, edit.bottom - 1) & 0xFFFFFF, 0xFFFFFFu) << x;
    }
}

TEST_F(DialogTemplates, ResultsTitleFitsTheTitleBandBetweenIconAndCloseButton) {
    // The popup keeps the title's template size and puts it at (30, 7); the band
    // ends at row 27 and the close button starts at x 465.
    UniqueWindow popup = CreateFromTemplate(IDD_RESULTS);
    ASSERT_TRUE(popup);
    RECT title = ChildRectInParent(GetDlgItem(popup.get(), IDC_RESULTS_TITLE));
    EXPECT_LE(7 + (title.bottom - title.top), 27);
    EXPECT_LE(30 + (title.right - title.left), 465);
}
