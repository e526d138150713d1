// Reads a list view of another process as the list itself shows it: its row
// count, each cell's text and image (for an owner-data list, what the owner
// answers), and where a row lies. The request records live in the other
// process, since a list view only reads and writes its own memory.
#pragma once

#include "service/session/unique_handle.h"

#include <windows.h>

#include <string>

class RemoteListView {
public:
    explicit RemoteListView(HWND list);
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;
    ~RemoteListView();

    bool IsOpen() const { return m_remote != nullptr; }
    int Count() const;
    std::wstring Text(int item, int subItem) const;
    // The row's image index as the list draws it; `unset` is what the
    // request starts with, so a value the owner leaves alone reads back.
    int Image(int item, int unset = -2) const;
    // The row's rectangle in screen coordinates.
    RECT ItemRect(int item) const;
    int SelectionMark() const;
    // The first selected row; -1 when none.
    int FirstSelected() const;

private:
    bool Write(const void* bytes, SIZE_T size, SIZE_T offset = 0) const;
    bool Read(void* bytes, SIZE_T size, SIZE_T offset = 0) const;

    HWND m_list;
    nuv::session::UniqueHandle m_process;
    BYTE* m_remote = nullptr;
};
