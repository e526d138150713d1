#include "finder/controls/background_fill.h"

void FillBackground(HDC dc, CImageEx& holder, BYTE fillMode, int width, int height, COLORREF color) {
    switch (fillMode) {
    case FillBitmap:
        if (holder.HasBitmap()) holder.DrawAtOrigin(dc);
        break;
    case FillHorizontalGradient:
        if (!holder.Header() || holder.Header()->biWidth != width)
            holder.FillGradient(width, 1, color, GradientAlongX);
        holder.DrawStretched(dc, 0, 0, width, height);
        break;
    case FillVerticalGradient:
        if (!holder.Header() || holder.Header()->biHeight != height) {
            holder.FillGradient(1, height, color, GradientAlongY);
        }
        holder.DrawStretched(dc, 0, 0, width, height);
        break;
    default: break;
    }
}
