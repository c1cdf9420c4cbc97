// Canvas: drawing on a device context with a current pen, brush and font.
// The pen, brush and font are plain descriptions; the canvas creates and
// selects the GDI objects on the next drawing call that needs them, and puts
// the DC's original objects back when it is detached or destroyed.
#pragma once

#include "toolkit/Graphics.h"

#include <string>
#include <vector>

namespace tk {

// A glyph's ink can reach a pixel or two past its advance width (the fonts
// Wine substitutes for "MS Sans Serif" do at the end of a line), so a box
// sized to the measured width alone cuts the last letter: text boxes sized
// from a measurement add this much.
inline constexpr int kInkOverhang = 2;

class Canvas {
public:
    Canvas() = default;
    explicit Canvas(HDC dc);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Handle() const { return dc_; }
    // Restores the previous DC's objects and attaches to another (or none).
    void SetHandle(HDC dc);

    Pen pen;
    Brush brush;
    Font font;
    DWORD copyMode = SRCCOPY;

    // Current position for LineTo.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Line(int x1, int y1, int x2, int y2);
    void Polyline(const std::vector<POINT>& points);
    void Polygon(const std::vector<POINT>& points);
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
    void RoundRect(int left, int top, int right, int bottom, int cx, int cy);
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const RECT& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
    // Brush only, no outline.
    void FillRect(const RECT& r);
    // One-pixel frame in the brush colour.
    void FrameRect(const RECT& r);
    void DrawFocusRect(const RECT& r);
    void SetPixel(int x, int y, Color c);
    Color GetPixel(int x, int y);

    // Text is drawn in font.color; the background is filled with the brush
    // unless the brush style is Clear.
    void TextOut(int x, int y, const std::string& text);
    // Clipped to r, starting at (x, y).
    void TextRect(const RECT& r, int x, int y, const std::string& text);
    // DrawText with the given DT_* flags; returns the text height.
    int DrawText(RECT& r, const std::string& text, UINT format);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }

    void Draw(int x, int y, Bitmap& bitmap);
    // Colour-keyed: pixels of `transparent` in the bitmap leave the canvas as it is.
    void DrawTransparent(int x, int y, Bitmap& bitmap, Color transparent);
    void StretchDraw(const RECT& dest, Bitmap& bitmap);
    void CopyRect(const RECT& dest, Canvas& source, const RECT& src);
    void CopyRect(const RECT& dest, HDC source, const RECT& src);

    // Realise the current pen, brush or font now (for direct GDI calls on Handle()).
    void RequirePen();
    void RequireBrush();
    void RequireFont();

private:
    void Restore();

    HDC dc_ = nullptr;
    PenHandle penHandle_;
    BrushHandle brushHandle_;
    FontHandle fontHandle_;
    Pen realisedPen_;
    Brush realisedBrush_;
    Font realisedFont_;
    HGDIOBJ oldPen_ = nullptr;
    HGDIOBJ oldBrush_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
};

// Bevelled push-button face (the look of a standard button) into r; returns
// the rectangle left inside the bevel for the caption and picture.
enum class ButtonStyle { Auto, Win31, New };
RECT DrawButtonFace(Canvas& canvas, const RECT& client, int bevelWidth, ButtonStyle style, bool isRounded, bool isDown,
                    bool isFocused);

// The 3-D edges used by panels and bevels.
void Frame3D(Canvas& canvas, RECT& r, Color topLeft, Color bottomRight, int width);

}  // namespace tk
