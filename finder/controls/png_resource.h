// The PNG images carried as resources of the custom type "PNG" in the
// program's own module, decoded for GDI+ drawing or into CImage bitmaps.
#pragma once

#include <windows.h>

#include "finder/framework/image.h"

namespace Gdiplus {
class Image;
}

// Decodes PNG `id` into a new GDI+ image stored at *image. FALSE, with
// *image untouched, when the resource is missing or no image object can be
// made; TRUE otherwise, also when the bytes do not decode (the image then
// measures 0 x 0). The encoded bytes live exactly as long as the image, which
// reads them lazily. An image already held at *image is not released.
BOOL LoadPngImage(WORD id, Gdiplus::Image** image);

// Empties `image` and decodes PNG `id` into it. false, with the image
// untouched, when the resource is missing; true otherwise, also when nothing
// decodes (the image is then empty).
bool LoadPngIntoImage(CImage& image, WORD id);

// LoadPngIntoImage for an image slot owned by a control: a null slot first
// receives a new image, a filled one is emptied and reused. A missing
// resource leaves the slot as it was.
void LoadPngIntoSlot(CImage*& slot, WORD id);
