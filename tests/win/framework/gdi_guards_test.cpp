// The scope guards give back what they hold: selections are undone, device
// context state is restored, objects and icons are deleted, and ownership
// moves with the guard.
#include "finder/framework/gdi_guards.h"

#include "pixel_canvas.h"

#include <gtest/gtest.h>

#include <utility>

TEST(GdiGuards, SelectionIsUndoneBeforeTheObjectIsDeleted) {
    PixelCanvas canvas(4, 4);
    const HGDIOBJ stockPen = GetCurrentObject(canvas.Dc(), OBJ_PEN);
    HPEN pen = nullptr;
    {
        ScopedPen owned(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
        pen = owned;
        ScopedSelect selected(canvas.Dc(), owned);
        EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), pen);
    }
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), stockPen);
    EXPECT_EQ(GetObjectType(pen), 0u) << "deleted";
}

TEST(GdiGuards, OwnershipMovesAndReleaseHandsItBack) {
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    ScopedBrush first(brush);
    ScopedBrush second(std::move(first));
    EXPECT_EQ(first.Get(), nullptr);
    EXPECT_EQ(second.Get(), brush);
    EXPECT_EQ(second.Release(), brush);
    EXPECT_NE(GetObjectType(brush), 0u) << "released, not deleted";
    second.Reset(brush);
    second.Reset();
    EXPECT_EQ(GetObjectType(brush), 0u);
}

TEST(GdiGuards, SavedDeviceContextStateComesBack) {
    PixelCanvas canvas(4, 4);
    SetTextColor(canvas.Dc(), RGB(10, 20, 30));
    SetBkMode(canvas.Dc(), OPAQUE);
    {
        ScopedSaveDC saved(canvas.Dc());
        SetTextColor(canvas.Dc(), RGB(200, 0, 0));
        SetBkMode(canvas.Dc(), TRANSPARENT);
    }
    EXPECT_EQ(GetTextColor(canvas.Dc()), RGB(10, 20, 30));
    EXPECT_EQ(GetBkMode(canvas.Dc()), OPAQUE);
}

TEST(GdiGuards, IconsAndMemoryContextsAreDestroyed) {
    HICON icon = CopyIcon(LoadIconW(nullptr, MAKEINTRESOURCEW(32512))); // an owned copy of IDI_APPLICATION
    ASSERT_NE(icon, nullptr);
    HDC memory = nullptr;
    {
        ScopedIcon owned(icon);
        ScopedWindowDC screen(nullptr);
        ASSERT_NE(screen.Get(), nullptr);
        ScopedMemoryDC context(screen);
        memory = context;
        EXPECT_EQ(GetObjectType(memory), static_cast<DWORD>(OBJ_MEMDC));
    }
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(icon, &info));
    EXPECT_EQ(GetObjectType(memory), 0u);
}
