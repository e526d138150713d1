// The search field's text box: an edit control that shows a prompt until the
// user first presses a key or a mouse button in it, or a real text is set.
//
// While the prompt is on, the box's text reads as empty whatever it shows.
// The prompt text itself is empty in this program, so the visible effect is
// the prompt colour and that the first key press starts from an empty box.
#pragma once

#include "finder/framework/controls.h"
#include "finder/framework/gdi_guards.h"

#include <string>

class CXEditPrompt : public CEdit {
public:
    CXEditPrompt() = default;

    // The prompt-aware setter: an empty text while the prompt is on changes
    // nothing; any text other than the prompt ends the prompt.
    void SetText(LPCWSTR lpszText);
    bool IsPromptOn() const { return m_bPromptOn; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void PreSubclassWindow() override;
    HBRUSH CtlColor(HDC hDC, UINT nCtlColor) override;

private:
    LRESULT OnSetText(LPCWSTR lpszText);
    LRESULT OnGetText(WPARAM cchBuffer, LPWSTR lpszBuffer);
    LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnPress(UINT message, WPARAM wParam, LPARAM lParam);

    bool m_bPromptOn = true;
    std::wstring m_strPrompt;
    COLORREF m_crPrompt = RGB(119, 121, 118);
    ScopedBrush m_brBackground;
};
