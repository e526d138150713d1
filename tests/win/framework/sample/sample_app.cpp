// A small program on the window framework: a dialog from a template with
// Chinese text in "MS Shell Dlg" and in a created "新宋体" font, an
// owner-drawn button that draws itself, and a report list whose rows are
// made on request. Escape or the close button ends it.
#include "finder/framework/app.h"
#include "finder/framework/controls.h"
#include "finder/framework/dialog.h"
#include "finder/framework/gdi_guards.h"
#include "finder/framework/list_ctrl.h"

#include "sample_resources.h"

#include <commctrl.h>

#include <cwchar>

namespace {

constexpr int kRowCount = 1000;

// Draws a two-tone face and its caption; darker while pressed.
class SampleButton : public CButton {
public:
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        const bool pressed = (item->itemState & ODS_SELECTED) != 0;
        RECT face = item->rcItem;
        ScopedBrush fill(CreateSolidBrush(pressed ? RGB(40, 90, 170) : RGB(70, 130, 220)));
        FillRect(item->hDC, &face, fill);
        ScopedBrush frame(CreateSolidBrush(RGB(20, 50, 110)));
        FrameRect(item->hDC, &face, frame);

        wchar_t caption[64] = {};
        GetWindowText(caption, 64);
        ScopedSaveDC saved(item->hDC);
        ScopedSelect font(item->hDC, GetParent()->GetFont());
        SetBkMode(item->hDC, TRANSPARENT);
        SetTextColor(item->hDC, RGB(255, 255, 255));
        DrawTextW(item->hDC, caption, -1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
};

class SampleDialog : public CDialogEx {
public:
    SampleDialog() : CDialogEx(IDD_SAMPLE) {}

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_SAMPLE_BUTTON, m_button);
        DDX_Control(pDX, IDC_SAMPLE_LIST, m_list);
    }

    BOOL OnInitDialog() override {
        CDialogEx::OnInitDialog();
        SetBackgroundColor(RGB(240, 247, 249));
        LOGFONTW lf{};
        lf.lfHeight = -13;
        lf.lfCharSet = DEFAULT_CHARSET;
        wcscpy(lf.lfFaceName, L"新宋体");
        m_nsimsun.Reset(CreateFontIndirectW(&lf));
        GetDlgItem(IDC_SAMPLE_NSIMSUN)->SetFont(m_nsimsun);

        m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
        m_list.InsertColumn(0, L"文件名", LVCFMT_LEFT, 150);
        m_list.InsertColumn(1, L"路径", LVCFMT_LEFT, 220);
        m_list.SetItemCountEx(kRowCount, 0);
        return TRUE;
    }

    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == IDC_SAMPLE_LIST && header->code == LVN_GETDISPINFOW) {
            *pResult = OnGetRowText(reinterpret_cast<NMLVDISPINFOW*>(header)->item);
            return TRUE;
        }
        return CDialogEx::OnNotify(wParam, lParam, pResult);
    }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(wParam) == IDC_SAMPLE_BUTTON && HIWORD(wParam) == BN_CLICKED) {
            GetDlgItem(IDC_SAMPLE_COUNT)->SetWindowText(L"按下了自绘按钮");
            return TRUE;
        }
        return CDialogEx::OnCommand(wParam, lParam);
    }

private:
    LRESULT OnGetRowText(LVITEMW& item) {
        if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0) return 0;
        if (item.iSubItem == 0)
            swprintf(item.pszText, static_cast<size_t>(item.cchTextMax), L"报告 %04d.txt", item.iItem);
        else
            swprintf(item.pszText, static_cast<size_t>(item.cchTextMax), L"C:\\文档\\项目 %d",
                     item.iItem / 10);
        return 0;
    }

    SampleButton m_button;
    CListCtrl m_list;
    ScopedFont m_nsimsun;
};

class SampleApp : public CWinApp {
public:
    BOOL InitInstance() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        SampleDialog dialog;
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
        return FALSE;
    }
};

SampleApp g_sampleApp;

} // namespace
