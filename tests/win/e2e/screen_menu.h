// A popup menu of another process, read off the screen. Under Wine 8 a menu
// handle means nothing outside its own process (MN_GETHMENU hands one out,
// but GetMenuItemCount on it fails with ERROR_INVALID_MENU_HANDLE), so the
// items are found by their ink: each expected text is drawn here in the menu
// font and looked for in the menu's pixels.
#pragma once

#include "finder_session.h"

#include <optional>
#include <string>

struct ShownMenuText {
    int left; // where the text's ink starts, in menu pixels
    int top;
    int bottom;
    double match; // of 1: how much of the ink agrees
};

// Where `text` shows in the captured menu: the best place its ink matches,
// when at least nine tenths of the ink there agree.
std::optional<ShownMenuText> FindMenuText(const ScreenPixels& menu, const std::wstring& text);

// Whether anything is drawn in the menu's rows top to bottom between x = 1
// and x = right, beside a text: the check mark's gutter.
bool HasInkInGutter(const ScreenPixels& menu, int top, int bottom, int right);
