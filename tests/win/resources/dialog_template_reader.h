// Reads an extended dialog template (DLGTEMPLATEEX) as the resource compiler wrote
// it, so that styles, fonts and dialog-unit geometry can be checked byte for byte.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct DialogItemTemplate {
    DWORD exStyle = 0;
    DWORD style = 0;
    RECT box{}; // dialog units: left, top, right, bottom
    DWORD id = 0;
    std::wstring className; // predefined classes by name: "Button", "Edit", "Static", ...
    std::wstring text;
    WORD textOrdinal = 0; // a resource id in place of a text (an icon static's icon)
};

struct DialogTemplate {
    DWORD exStyle = 0;
    DWORD style = 0;
    SIZE size{}; // dialog units
    std::wstring caption;
    WORD pointSize = 0;
    WORD weight = 0;
    std::wstring typeface;
    std::vector<DialogItemTemplate> items;

    const DialogItemTemplate* Item(DWORD id) const;
};

std::optional<DialogTemplate> ReadDialogTemplate(std::span<const std::uint8_t> bytes);
