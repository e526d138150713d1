#include "remote_list_view.h"

#include "finder_session.h"

#include <commctrl.h>

namespace {

// One request record and the text buffer behind it.
constexpr SIZE_T kTextOffset = 256;
constexpr int kTextCapacity = 2048;
constexpr SIZE_T kRemoteSize = kTextOffset + kTextCapacity * sizeof(wchar_t);

} // namespace

RemoteListView::RemoteListView(HWND list) : m_list(list) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    m_process = nuv::session::UniqueHandle(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (m_process.Valid())
        m_remote = static_cast<BYTE*>(
            VirtualAllocEx(m_process.Get(), nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

RemoteListView::~RemoteListView() {
    if (m_remote) VirtualFreeEx(m_process.Get(), m_remote, 0, MEM_RELEASE);
}

int RemoteListView::Count() const {
    return static_cast<int>(SendTo(m_list, LVM_GETITEMCOUNT));
}

std::wstring RemoteListView::Text(int item, int subItem) const {
    if (!m_remote) return {};
    LVITEMW request = {};
    request.iSubItem = subItem;
    request.pszText = reinterpret_cast<LPWSTR>(m_remote + kTextOffset);
    request.cchTextMax = kTextCapacity;
    if (!Write(&request, sizeof request)) return {};
    const auto length = static_cast<int>(
        SendTo(m_list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(m_remote)));
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0 && !Read(text.data(), text.size() * sizeof(wchar_t), kTextOffset)) return {};
    return text;
}

int RemoteListView::Image(int item, int unset) const {
    if (!m_remote) return unset;
    LVITEMW request = {};
    request.mask = LVIF_IMAGE;
    request.iItem = item;
    request.iImage = unset;
    if (!Write(&request, sizeof request)) return unset;
    SendTo(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(m_remote));
    Read(&request, sizeof request);
    return request.iImage;
}

RECT RemoteListView::ItemRect(int item) const {
    RECT rect = {LVIR_BOUNDS, 0, 0, 0};
    if (!m_remote || !Write(&rect, sizeof rect)) return RECT{};
    SendTo(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(m_remote));
    Read(&rect, sizeof rect);
    MapWindowPoints(m_list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int RemoteListView::SelectionMark() const {
    return static_cast<int>(SendTo(m_list, LVM_GETSELECTIONMARK));
}

int RemoteListView::FirstSelected() const {
    return static_cast<int>(SendTo(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool RemoteListView::Write(const void* bytes, SIZE_T size, SIZE_T offset) const {
    SIZE_T written = 0;
    return WriteProcessMemory(m_process.Get(), m_remote + offset, bytes, size, &written) && written == size;
}

bool RemoteListView::Read(void* bytes, SIZE_T size, SIZE_T offset) const {
    SIZE_T read = 0;
    return ReadProcessMemory(m_process.Get(), m_remote + offset, bytes, size, &read) && read == size;
}
