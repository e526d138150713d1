#include "dialog_template_reader.h"

#include <cstring>

namespace {

// Reads little-endian fields in order and remembers when it ran past the end.
class Cursor {
public:
    explicit Cursor(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool failed() const { return m_failed; }

    template <typename T> T Read() {
        T value{};
        if (m_offset + sizeof(T) > m_bytes.size()) {
            m_failed = true;
            return value;
        }
        std::memcpy(&value, m_bytes.data() + m_offset, sizeof(T));
        m_offset += sizeof(T);
        return value;
    }

    std::wstring ReadString() {
        std::wstring text;
        while (!m_failed) {
            const wchar_t unit = Read<wchar_t>();
            if (unit == 0) break;
            text.push_back(unit);
        }
        return text;
    }

    // A field that holds nothing (0), an ordinal (0xFFFF then the number) or a string.
    void ReadStringOrOrdinal(std::wstring& text, WORD& ordinal) {
        const WORD first = Read<WORD>();
        if (first == 0) return;
        if (first == 0xFFFF) {
            ordinal = Read<WORD>();
            return;
        }
        m_offset -= sizeof(WORD);
        text = ReadString();
    }

    void AlignTo(std::size_t boundary) { m_offset = (m_offset + boundary - 1) / boundary * boundary; }
    void Skip(std::size_t count) { m_offset += count; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_offset = 0;
    bool m_failed = false;
};

std::wstring PredefinedClassName(WORD ordinal) {
    switch (ordinal) {
    case 0x80: return L"Button";
    case 0x81: return L"Edit";
    case 0x82: return L"Static";
    case 0x83: return L"ListBox";
    case 0x84: return L"ScrollBar";
    case 0x85: return L"ComboBox";
    default: return L"#" + std::to_wstring(ordinal);
    }
}

RECT ReadBox(Cursor& cursor) {
    const short x = cursor.Read<short>();
    const short y = cursor.Read<short>();
    const short cx = cursor.Read<short>();
    const short cy = cursor.Read<short>();
    return RECT{x, y, x + cx, y + cy};
}

DialogItemTemplate ReadItem(Cursor& cursor) {
    DialogItemTemplate item;
    cursor.AlignTo(4);
    cursor.Read<DWORD>(); // help id
    item.exStyle = cursor.Read<DWORD>();
    item.style = cursor.Read<DWORD>();
    item.box = ReadBox(cursor);
    item.id = cursor.Read<DWORD>();
    WORD classOrdinal = 0;
    cursor.ReadStringOrOrdinal(item.className, classOrdinal);
    if (classOrdinal != 0) item.className = PredefinedClassName(classOrdinal);
    cursor.ReadStringOrOrdinal(item.text, item.textOrdinal);
    cursor.Skip(cursor.Read<WORD>()); // creation data
    return item;
}

} // namespace

const DialogItemTemplate* DialogTemplate::Item(DWORD id) const {
    for (const DialogItemTemplate& item : items)
        if (item.id == id) return &item;
    return nullptr;
}

std::optional<DialogTemplate> ReadDialogTemplate(std::span<const std::uint8_t> bytes) {
    Cursor cursor(bytes);
    if (cursor.Read<WORD>() != 1 || cursor.Read<WORD>() != 0xFFFF) return std::nullopt;
    DialogTemplate dialog;
    cursor.Read<DWORD>(); // help id
    dialog.exStyle = cursor.Read<DWORD>();
    dialog.style = cursor.Read<DWORD>();
    const WORD itemCount = cursor.Read<WORD>();
    const RECT box = ReadBox(cursor);
    dialog.size = SIZE{box.right - box.left, box.bottom - box.top};
    std::wstring ignoredText;
    WORD ignoredOrdinal = 0;
    cursor.ReadStringOrOrdinal(ignoredText, ignoredOrdinal); // menu
    cursor.ReadStringOrOrdinal(ignoredText, ignoredOrdinal); // window class
    dialog.caption = cursor.ReadString();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = cursor.Read<WORD>();
        dialog.weight = cursor.Read<WORD>();
        cursor.Read<BYTE>(); // italic
        cursor.Read<BYTE>(); // character set
        dialog.typeface = cursor.ReadString();
    }
    for (WORD i = 0; i < itemCount && !cursor.failed(); ++i)
        dialog.items.push_back(ReadItem(cursor));
    if (cursor.failed()) return std::nullopt;
    return dialog;
}
