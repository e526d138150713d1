// CButtonEx: an owner-drawn button with a picture per state (normal, hover,
// pressed, disabled) over a generated background, an optional icon and
// caption, hover tracking, and push, check box and radio kinds.
#pragma once

#include <windows.h>

#include "finder/framework/controls.h"
#include "finder/framework/image.h"
#include "image_ex.h"

enum ButtonExKind : BYTE {
    ButtonExCheckBox = 0,
    ButtonExPush = 1,
    ButtonExRadio = 2,
};

enum ButtonExFlag : BYTE {
    BTNX_FRAME = 0x01,       // frames in a state that has no picture
    BTNX_CENTER = 0x02,      // icon and caption centred; else 10 pixels from the left
    BTNX_CHECKED = 0x04,     // check box or radio button checked
    BTNX_HOVER = 0x08,       // the pointer is over the button
    BTNX_PHASE = 0x10,       // transparent mode: between the two paints
    BTNX_TRANSPARENT = 0x20, // the parent paints the face; the button adds icon and caption
    BTNX_NOTIFYHOVER = 0x40, // WM_BUTTONEX_HOVER to the parent when the pointer enters
};

// In the user data of every CButtonEx window: how the radio-group walk tells
// image buttons from other buttons of the same class.
constexpr LONG_PTR BTNX_MARKER = 0x19820806;
// wParam: the button's control id; lParam: 0.
constexpr UINT WM_BUTTONEX_HOVER = 0x9166;
constexpr COLORREF ButtonDisabledTextColor = RGB(160, 160, 160);

class CButtonEx : public CButton {
public:
    CButtonEx() = default;
    ~CButtonEx() override;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void SizeToContent();
    void SelectInRadioGroup();

    HICON m_hIconHover = nullptr;
    HICON m_hIcon = nullptr;
    HICON m_hIconPressed = nullptr;
    CImageEx m_bgHover;
    CImageEx m_bgNormal;
    CImageEx m_bgPressed;
    BYTE m_nFillMode = FillVerticalGradient;
    BYTE m_bHandCursor = 0;
    BYTE m_nKind = ButtonExPush;
    BYTE m_nFlags = BTNX_FRAME | BTNX_CENTER;
    COLORREF m_crBackground = RGB(218, 228, 234);
    COLORREF m_crFrame = RGB(128, 128, 255);
    COLORREF m_crText = 0;
    CImage* m_pImgNormal = nullptr;
    CImage* m_pImgHover = nullptr;
    CImage* m_pImgPressed = nullptr;
    CImage* m_pImgDisabled = nullptr;

protected:
    void PreSubclassWindow() override;

private:
    void OnMouseMove();
    void OnMouseLeave();
    void OnLeftButtonDown();
    void OnKeyUp(WPARAM key);
    BOOL OnSetCursor();

    void DrawFace(HDC dc, UINT state, int width, int height);
    void DrawBackground(HDC dc, CImageEx& holder, int width, int height);
    void DrawFrames(HDC dc, int width, int height, bool lighterInner);
    void DrawIconAndText(HDC dc, UINT state, RECT box);
    HICON IconForState(UINT state) const;
    void UncheckRadioSiblings(int step);
    void SetChecked(bool checked);
};
