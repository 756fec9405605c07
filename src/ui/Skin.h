#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"

// The look every window of the program shares: grey ground, brushed-metal backgrounds, windows
// that drag from any point, owner-drawn buttons with a one-pixel 3-D frame, and owner-drawn tab
// items that each page joins to its own tab.
namespace ui {

inline constexpr COLORREF kGround = RGB(204, 204, 204);
inline constexpr COLORREF kTopRow = RGB(236, 236, 236);
inline constexpr COLORREF kButtonFace = RGB(180, 180, 180);
inline constexpr COLORREF kDisabledFace = RGB(192, 192, 192);
inline constexpr COLORREF kEngraved = RGB(128, 128, 128);

void FillSolid(HDC dc, const RECT& rect, COLORREF colour);

// A window's shape from its background bitmap: the bitmap's rectangle. The skin bitmaps hold no
// pixel of a transparent key colour, so nothing is cut out; without a bitmap there is no region
// and the window keeps its plain shape.
fw::Region RegionFromBitmap(HBITMAP bitmap);

// Copies a bitmap to (x, y) at its own size; false when there is no bitmap or no memory DC, and
// the caller then erases the default way.
bool PaintBitmap(HDC dc, HBITMAP bitmap, int x = 0, int y = 0);
// One of the program's bitmap resources as a device-dependent bitmap, or null.
HBITMAP LoadBitmapResource(UINT id);
SIZE BitmapSize(HBITMAP bitmap);

// The edges of the tab items as they were last drawn, in the tab control's coordinates: the
// right edge of item 0 and both edges of items 1 to 5. One table for the whole program; the
// settings window's strip and the speaker test window's strip both write it.
struct TabEdges {
    bool hasLeft;  // item 0's left edge is not kept
    int left;
    int right;
};
void RecordTabEdges(int item, const RECT& rect);
TabEdges TabEdgesOf(int item);
void ClearTabEdges();

// An owner-drawn tab item: its edges recorded, then its text centred on the grey ground. The same
// whether selected or not.
void DrawTabItem(const DRAWITEMSTRUCT& item);

// A page's ground with its light top row, broken under the page's own tab (tabIndex < 0: ground
// only).
void PaintPageGround(HDC dc, const RECT& client, int tabIndex);

// The frame of an owner-drawn push button looks pressed only while the button is being pressed
// (ODA_SELECT) and the cursor is inside it.
bool ButtonLooksPressed(const DRAWITEMSTRUCT& item);
void FrameButton(HDC dc, const RECT& rect, bool pressed);

// The grey captioned push button of the pages: face RGB(180,180,180), the frame's top lowered by
// the edge height, the caption centred; disabled, optionally engraved.
void DrawCaptionButton(const DRAWITEMSTRUCT& item, const std::string& caption,
                       bool engraveWhenDisabled);

}  // namespace ui
