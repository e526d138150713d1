#include "finder/controls/png_resource.h"

#include "finder/controls/gdiplus_header.h"

#include <cstring>
#include <new>

namespace {

struct PngBytes {
    const void* data = nullptr;
    DWORD size = 0;
};

// Resource memory belongs to the module and needs no release.
bool FindPngResource(WORD id, PngBytes& bytes) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!info) return false;
    HGLOBAL loaded = LoadResource(module, info);
    if (!loaded) return false;
    bytes.size = SizeofResource(module, info);
    bytes.data = LockResource(loaded);
    return bytes.data != nullptr;
}

// A stream over a private copy of the bytes that frees the copy with its last
// reference, so whoever keeps the stream keeps the bytes. Null when memory or
// the stream cannot be had.
IStream* CreateStreamOverCopy(const PngBytes& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, bytes.size);
    if (!block) return nullptr;
    std::memcpy(reinterpret_cast<void*>(block), bytes.data, bytes.size);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return nullptr;
    }
    return stream;
}

void DecodeInto(CImage& image, IStream* stream) {
    image.Destroy();
    if (stream) image.Load(stream);
}

} // namespace

BOOL LoadPngImage(WORD id, Gdiplus::Image** image) {
    PngBytes bytes;
    if (!FindPngResource(id, bytes)) return FALSE;
    IStream* stream = CreateStreamOverCopy(bytes);
    if (!stream) return FALSE;
    // GDI+ images are allocated by GDI+ (and freed by it through delete); its
    // allocator reports failure with null, which a plain new would not check.
    void* memory = Gdiplus::DllExports::GdipAlloc(sizeof(Gdiplus::Image));
    if (!memory) {
        stream->Release();
        return FALSE;
    }
    // The image holds its own reference to the stream for as long as it lives.
    *image = ::new (memory) Gdiplus::Image(stream);
    stream->Release();
    return TRUE;
}

bool LoadPngIntoImage(CImage& image, WORD id) {
    PngBytes bytes;
    if (!FindPngResource(id, bytes)) return false;
    IStream* stream = CreateStreamOverCopy(bytes);
    DecodeInto(image, stream);
    if (stream) stream->Release();
    return true;
}

void LoadPngIntoSlot(CImage*& slot, WORD id) {
    PngBytes bytes;
    if (!FindPngResource(id, bytes)) return;
    IStream* stream = CreateStreamOverCopy(bytes);
    if (!slot) slot = new (std::nothrow) CImage;
    if (slot) DecodeInto(*slot, stream);
    if (stream) stream->Release();
}
