// The owner-data report list (row count, columns, extended styles, cells
// through LVN_GETDISPINFOW, custom draw reflected to the list object), the
// image list and the popup menu (check state, tracking).
#include "finder/framework/dialog.h"
#include "finder/framework/image_list.h"
#include "finder/framework/list_ctrl.h"
#include "finder/framework/menu.h"

#include "test_resources.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <vector>

namespace {

class CustomDrawList : public CListCtrl {
public:
    std::set<DWORD> m_stages;

protected:
    BOOL OnNotifyReflect(NMHDR* header, LRESULT* pResult) override {
        if (header->code != NM_CUSTOMDRAW) return FALSE;
        const DWORD stage = reinterpret_cast<NMLVCUSTOMDRAW*>(header)->nmcd.dwDrawStage;
        m_stages.insert(stage);
        *pResult = stage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
        return TRUE;
    }
};

// The list stores no rows: the dialog makes each cell's text on request.
class OwnerDataDialog : public CDialogEx {
public:
    OwnerDataDialog() : CDialogEx(IDD_CONTROLS) {}
    CustomDrawList m_list;
    std::set<int> m_rowsAsked;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_LIST, m_list); }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom != IDC_LIST || header->code != LVN_GETDISPINFOW)
            return CDialogEx::OnNotify(wParam, lParam, pResult);
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(header)->item;
        m_rowsAsked.insert(item.iItem);
        if (item.mask & LVIF_TEXT)
            swprintf(item.pszText, item.cchTextMax, L"行 %d 列 %d", item.iItem, item.iSubItem);
        *pResult = 0;
        return TRUE;
    }
};

TEST(OwnerDataList, RowCountColumnsStylesAndCellsComeFromTheParent) {
    OwnerDataDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROLS));
    CustomDrawList& list = dlg.m_list;
    EXPECT_EQ(list.InsertColumn(0, L"文件名", LVCFMT_LEFT, 200), 0);
    EXPECT_EQ(list.InsertColumn(1, L"路径", LVCFMT_LEFT, 270), 1);
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    EXPECT_EQ(list.GetExtendedStyle() & (LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP),
              static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP));

    EXPECT_TRUE(list.SetItemCountEx(1000000, 0));
    EXPECT_EQ(list.GetItemCount(), 1000000);
    EXPECT_EQ(list.GetItemText(999999, 1), L"行 999999 列 1");
    EXPECT_EQ(list.GetItemText(0, 0), L"行 0 列 0");

    POINT first{-1, -1};
    POINT second{-1, -1};
    EXPECT_TRUE(list.GetItemPosition(0, &first));
    EXPECT_TRUE(list.GetItemPosition(1, &second));
    EXPECT_GT(second.y, first.y);
    EXPECT_GT(list.GetCountPerPage(), 0);

    EXPECT_EQ(list.SetSelectionMark(3), -1);
    EXPECT_EQ(list.GetSelectionMark(), 3);

    dlg.m_rowsAsked.clear();
    RedrawWindow(list.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(dlg.m_rowsAsked.count(0)) << "painting asks the parent for the visible rows";
    EXPECT_LT(dlg.m_rowsAsked.size(), 100u) << "and only for those";
    EXPECT_TRUE(list.m_stages.count(CDDS_PREPAINT)) << "custom draw reaches the list object";
    EXPECT_TRUE(list.m_stages.count(CDDS_ITEMPREPAINT));

    EXPECT_TRUE(list.SetItemCountEx(0, 0));
    EXPECT_EQ(list.GetItemCount(), 0);
    dlg.DestroyWindow();
}

TEST(ImageList, AppendsIconsAndBecomesTheListsSmallImages) {
    OwnerDataDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROLS));
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 8));
    EXPECT_FALSE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 8)) << "already made";
    HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512)); // IDI_APPLICATION, shared
    EXPECT_EQ(images.Add(icon), 0);
    EXPECT_EQ(images.Add(icon), 1);
    EXPECT_EQ(images.GetImageCount(), 2);

    EXPECT_EQ(dlg.m_list.SetImageList(&images, LVSIL_SMALL), nullptr);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(dlg.m_list.SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL)),
              images.m_hImageList);
    // The list would otherwise destroy a shared image list with itself.
    dlg.m_list.SetImageList(nullptr, LVSIL_SMALL);
    dlg.DestroyWindow();
    EXPECT_EQ(images.GetImageCount(), 2);
}

TEST(PopupMenu, CheckStateFollowsCheckMenuItem) {
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    EXPECT_FALSE(menu.CreatePopupMenu()) << "already made";
    ASSERT_TRUE(menu.AppendMenu(MF_STRING, 1005, L"访问官网"));
    ASSERT_TRUE(menu.AppendMenu(MF_STRING, 1006, L"开机自启动"));
    ASSERT_TRUE(menu.AppendMenu(MF_STRING, 1001, L"退出"));
    EXPECT_EQ(GetMenuItemCount(menu), 3);

    struct Step {
        UINT check;
        UINT previous;
        bool checkedAfter;
    };
    const Step steps[] = {{MF_CHECKED, MF_UNCHECKED, true},
                          {MF_CHECKED, MF_CHECKED, true},
                          {MF_UNCHECKED, MF_CHECKED, false},
                          {MF_UNCHECKED, MF_UNCHECKED, false}};
    for (const Step& step : steps) {
        EXPECT_EQ(menu.CheckMenuItem(1006, MF_BYCOMMAND | step.check), step.previous);
        EXPECT_EQ((menu.GetMenuState(1006, MF_BYCOMMAND) & MF_CHECKED) != 0, step.checkedAfter);
        EXPECT_EQ(menu.GetMenuState(1005, MF_BYCOMMAND) & MF_CHECKED, 0u) << "other items keep theirs";
    }
    EXPECT_EQ(menu.CheckMenuItem(4242, MF_BYCOMMAND | MF_CHECKED), static_cast<UINT>(-1)) << "no such item";
}

TEST(PopupMenu, AttachDetachAndDestroyOwnTheHandle) {
    HMENU raw = CreatePopupMenu();
    {
        CMenu menu;
        ASSERT_TRUE(menu.Attach(raw));
        EXPECT_FALSE(menu.Attach(raw)) << "already holds one";
        EXPECT_EQ(menu.Detach(), raw);
        EXPECT_EQ(menu.m_hMenu, nullptr);
    }
    EXPECT_TRUE(IsMenu(raw)) << "detached: not destroyed";
    {
        CMenu menu;
        ASSERT_TRUE(menu.Attach(raw));
    }
    EXPECT_FALSE(IsMenu(raw)) << "destroyed with its owner";
}

class MenuOwner : public CDialogEx {
public:
    MenuOwner() : CDialogEx(IDD_BUTTONS) {}
    std::vector<int> m_commands;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        m_commands.push_back(LOWORD(wParam));
        return CDialogEx::OnCommand(wParam, lParam);
    }
};

TEST(PopupMenu, TrackedChoiceArrivesAtTheOwnersOnCommand) {
    MenuOwner owner;
    ASSERT_TRUE(owner.Create(IDD_BUTTONS));
    owner.ShowWindow(SW_SHOW);
    SetForegroundWindow(owner.m_hWnd);
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 1005, L"访问官网");
    menu.AppendMenu(MF_STRING, 1006, L"开机自启动");
    menu.AppendMenu(MF_STRING, 1004, L"关于");

    // The menu's own loop reads these: down to the second item, then Enter.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        owner.PostMessage(WM_KEYDOWN, key, 1);
    RECT rect;
    owner.GetWindowRect(&rect);
    EXPECT_TRUE(menu.TrackPopupMenu(TPM_RIGHTBUTTON, rect.left + 10, rect.top + 10, &owner));

    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_EQ(owner.m_commands, std::vector<int>{1006});
    owner.DestroyWindow();
}

} // namespace
