// Raw access to this executable's own resources, for tests that check what the
// resource compiler wrote rather than what a loader makes of it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

// The bytes of the resource of the given type and integer id; empty when it is missing.
inline std::span<const std::uint8_t> ResourceBytes(const wchar_t* type, WORD id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!info) return {};
    HGLOBAL loaded = LoadResource(module, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::uint8_t*>(data), SizeofResource(module, info)};
}
