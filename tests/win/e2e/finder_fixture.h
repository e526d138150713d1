// A finder started afresh for each test, from its own folder, with the search
// service stand-in beside it.
#pragma once

#include "finder_session.h"

#include <gtest/gtest.h>

#include <memory>

class FinderTest : public testing::Test {
protected:
    FinderTest() : FinderTest(std::make_unique<FinderFolder>(true)) {}
    explicit FinderTest(std::unique_ptr<FinderFolder> finderFolder) : folder(std::move(finderFolder)) {}

    void SetUp() override;

    // WM_NCHITTEST for a point in the bar's client area, answered while the
    // left button is held down (elsewhere on the screen) or up.
    LRESULT HitTestBar(POINT client, bool leftButtonDown);
    // Opens the field as a left press on the magnifier does, and waits until
    // the text box has the keyboard focus.
    void OpenField();
    void MoveBarTo(int x, int y);
    // Types into the focused text box and waits until the box and the popup's
    // last query both show `expected`.
    void TypeAndWaitForQuery(const std::wstring& text, const std::wstring& expected);
    void ClearField();

    std::unique_ptr<FinderFolder> folder;
    FinderProcess finder;
    HWND bar = nullptr;
};

bool operator==(const RECT& a, const RECT& b);
void PrintTo(const RECT& rect, std::ostream* os);
