// The PNG resources the windows load: id, size in pixels and whether the image
// carries an alpha channel.
#pragma once

#include "resource.h"

#include <windows.h>

struct PngFacts {
    WORD id;
    int width;
    int height;
    bool alpha;
};

inline constexpr PngFacts kImages[] = {
    {IDB_PNG_BAR, 112, 31, true},
    {IDB_PNG_FIELD, 179, 31, true},
    {IDB_PNG_RESULTS, 493, 440, true},
    {IDB_PNG_WEB_SEARCH, 112, 22, false},
    {IDB_PNG_CLOSE_NORMAL, 22, 19, false},
    {IDB_PNG_CLOSE_PRESSED, 22, 19, false},
    {IDB_PNG_CLOSE_HOVER, 22, 19, false},
    {IDB_PNG_ABOUT_LINK, 95, 17, false},
    {IDB_PNG_ABOUT_LINK_HOVER, 95, 17, false},
    {IDB_PNG_ABOUT_BACKGROUND, 605, 340, false},
    {IDB_PNG_ABOUT_CLOSE, 47, 25, false},
    {IDB_PNG_ABOUT_CLOSE_HOVER, 47, 25, false},
    {IDB_PNG_LEARN_MORE, 118, 37, false},
    {IDB_PNG_LEARN_MORE_HOVER, 118, 37, false},
};
