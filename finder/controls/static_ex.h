// CStaticEx: an owner-drawn static that never erases, so the dialog's skin
// shows through, and draws in one pass an optional background, an icon or a
// picture, and plain text in its own font or markup text.
#pragma once

#include <windows.h>

#include "finder/framework/controls.h"
#include "finder/framework/image.h"
#include "image_ex.h"

#include <string>

enum StaticExOption : BYTE {
    SX_CENTER = 0x01, // centre the text (and the icon)
    SX_LINK = 0x02,   // link colour and hand cursor
    SX_NOBACK = 0x04, // no background
    SX_MARKUP = 0x08, // draw m_strMarkup as markup instead of the window text
};

constexpr COLORREF StaticLinkColor = 0xFF8000;
constexpr WORD StaticPictureResource = 135;

class CStaticEx : public CStatic {
public:
    CStaticEx() = default;
    ~CStaticEx() override;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void LoadPicture();
    void FitToContent();
    void SetTextFace();
    void SetTextHeight();

    HFONT m_hTextFont = nullptr;
    HICON m_hIcon = nullptr;
    CImageEx m_bgImage;
    BYTE m_nFillMode = FillVerticalGradient;
    BYTE m_nOptions = SX_NOBACK;
    BYTE m_bHandCursor = 0;
    COLORREF m_crBackground = 0xFFFFFF;
    COLORREF m_crText = 0;
    CImage* m_pPicture = nullptr;
    std::wstring m_strMarkup;

protected:
    void PreSubclassWindow() override;

private:
    BOOL OnSetCursor();
    void DrawBackground(HDC dc, const RECT& client);
    void DrawIconOrPicture(HDC dc, const RECT& client, RECT& textBox);
    void DrawPlainText(HDC dc, RECT textBox);
    SIZE ContentSize();
    template <class Change> void ChangeTextFont(Change change);
};
