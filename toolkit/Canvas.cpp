// Canvas: lazily realised GDI objects over a borrowed DC.
#include "toolkit/Canvas.h"

#include "toolkit/WideText.h"

namespace tk {

Canvas::Canvas(HDC dc) : dc_(dc) {}

Canvas::~Canvas() { Restore(); }

void Canvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    Restore();
    dc_ = dc;
}

void Canvas::Restore() {
    if (dc_) {
        if (oldPen_) ::SelectObject(dc_, oldPen_);
        if (oldBrush_) ::SelectObject(dc_, oldBrush_);
        if (oldFont_) ::SelectObject(dc_, oldFont_);
    }
    oldPen_ = oldBrush_ = oldFont_ = nullptr;
    penHandle_.Reset();
    brushHandle_.Reset();
    fontHandle_.Reset();
}

void Canvas::RequirePen() {
    if (!dc_) return;
    if (penHandle_ && pen == realisedPen_) return;
    PenHandle fresh = CreatePen(pen);
    HGDIOBJ prev = ::SelectObject(dc_, fresh.Get());
    if (!oldPen_) oldPen_ = prev;
    penHandle_ = std::move(fresh);
    realisedPen_ = pen;
}

void Canvas::RequireBrush() {
    if (!dc_) return;
    if (brushHandle_ && brush == realisedBrush_) return;
    BrushHandle fresh = CreateBrush(brush);
    HGDIOBJ prev = ::SelectObject(dc_, fresh.Get());
    if (!oldBrush_) oldBrush_ = prev;
    brushHandle_ = std::move(fresh);
    realisedBrush_ = brush;
    ::SetBkColor(dc_, ColorToRGB(brush.color));
    ::SetBkMode(dc_, brush.style == BrushStyle::Clear ? TRANSPARENT : OPAQUE);
}

void Canvas::RequireFont() {
    if (!dc_) return;
    if (!fontHandle_ || !(font == realisedFont_)) {
        FontHandle fresh = font.Create();
        HGDIOBJ prev = ::SelectObject(dc_, fresh.Get());
        if (!oldFont_) oldFont_ = prev;
        fontHandle_ = std::move(fresh);
        realisedFont_ = font;
    }
    ::SetTextColor(dc_, ColorToRGB(font.color));
}

void Canvas::MoveTo(int x, int y) {
    if (dc_) ::MoveToEx(dc_, x, y, nullptr);
}

void Canvas::LineTo(int x, int y) {
    RequirePen();
    if (dc_) ::LineTo(dc_, x, y);
}

void Canvas::Line(int x1, int y1, int x2, int y2) {
    MoveTo(x1, y1);
    LineTo(x2, y2);
}

void Canvas::Polyline(const std::vector<POINT>& points) {
    RequirePen();
    if (dc_ && !points.empty()) ::Polyline(dc_, points.data(), static_cast<int>(points.size()));
}

void Canvas::Polygon(const std::vector<POINT>& points) {
    RequirePen();
    RequireBrush();
    if (dc_ && !points.empty()) ::Polygon(dc_, points.data(), static_cast<int>(points.size()));
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
    RequirePen();
    RequireBrush();
    if (dc_) ::Rectangle(dc_, left, top, right, bottom);
}

void Canvas::RoundRect(int left, int top, int right, int bottom, int cx, int cy) {
    RequirePen();
    RequireBrush();
    if (dc_) ::RoundRect(dc_, left, top, right, bottom, cx, cy);
}

void Canvas::Ellipse(int left, int top, int right, int bottom) {
    RequirePen();
    RequireBrush();
    if (dc_) ::Ellipse(dc_, left, top, right, bottom);
}

void Canvas::FillRect(const RECT& r) {
    RequireBrush();
    if (dc_) ::FillRect(dc_, &r, brushHandle_.Get());
}

void Canvas::FrameRect(const RECT& r) {
    RequireBrush();
    if (dc_) ::FrameRect(dc_, &r, brushHandle_.Get());
}

void Canvas::DrawFocusRect(const RECT& r) {
    if (dc_) ::DrawFocusRect(dc_, &r);
}

void Canvas::SetPixel(int x, int y, Color c) {
    if (dc_) ::SetPixel(dc_, x, y, ColorToRGB(c));
}

Color Canvas::GetPixel(int x, int y) { return dc_ ? static_cast<Color>(::GetPixel(dc_, x, y)) : clNone; }

void Canvas::TextOut(int x, int y, const std::string& text) {
    RequireFont();
    RequireBrush();
    if (!dc_) return;
    const std::wstring wide = Wide(text);
    ::TextOutW(dc_, x, y, wide.data(), static_cast<int>(wide.size()));
}

void Canvas::TextRect(const RECT& r, int x, int y, const std::string& text) {
    RequireFont();
    RequireBrush();
    UINT options = ETO_CLIPPED;
    if (brush.style != BrushStyle::Clear) options |= ETO_OPAQUE;
    if (!dc_) return;
    const std::wstring wide = Wide(text);
    ::ExtTextOutW(dc_, x, y, options, &r, wide.data(), static_cast<UINT>(wide.size()), nullptr);
}

int Canvas::DrawText(RECT& r, const std::string& text, UINT format) {
    RequireFont();
    RequireBrush();
    if (!dc_) return 0;
    const std::wstring wide = Wide(text);
    return ::DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &r, format);
}

SIZE Canvas::TextExtent(const std::string& text) {
    SIZE s{0, 0};
    RequireFont();
    if (!dc_) return s;
    const std::wstring wide = Wide(text);
    ::GetTextExtentPoint32W(dc_, wide.data(), static_cast<int>(wide.size()), &s);
    return s;
}

void Canvas::Draw(int x, int y, Bitmap& bitmap) {
    if (!dc_ || bitmap.Empty()) return;
    ::BitBlt(dc_, x, y, bitmap.Width(), bitmap.Height(), bitmap.DC(), 0, 0, copyMode);
}

void Canvas::DrawTransparent(int x, int y, Bitmap& bitmap, Color transparent) {
    if (!dc_ || bitmap.Empty()) return;
    const int w = bitmap.Width(), h = bitmap.Height();
    HDC src = bitmap.DC();
    // Mask: set where the picture has the transparent colour.
    BitmapHandle mask(::CreateBitmap(w, h, 1, 1, nullptr));
    auto maskDC = CreateMemoryDC(dc_);
    SelectGuard selMask(maskDC.Get(), mask.Get());
    COLORREF oldSrcBk = ::SetBkColor(src, ColorToRGB(transparent));
    ::BitBlt(maskDC.Get(), 0, 0, w, h, src, 0, 0, SRCCOPY);
    ::SetBkColor(src, oldSrcBk);
    COLORREF oldText = ::SetTextColor(dc_, RGB(0, 0, 0));
    COLORREF oldBk = ::SetBkColor(dc_, RGB(255, 255, 255));
    ::BitBlt(dc_, x, y, w, h, src, 0, 0, SRCINVERT);
    ::BitBlt(dc_, x, y, w, h, maskDC.Get(), 0, 0, SRCAND);
    ::BitBlt(dc_, x, y, w, h, src, 0, 0, SRCINVERT);
    ::SetTextColor(dc_, oldText);
    ::SetBkColor(dc_, oldBk);
}

void Canvas::StretchDraw(const RECT& dest, Bitmap& bitmap) {
    if (!dc_ || bitmap.Empty()) return;
    int oldMode = ::SetStretchBltMode(dc_, COLORONCOLOR);
    ::StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, bitmap.DC(), 0, 0,
                 bitmap.Width(), bitmap.Height(), copyMode);
    ::SetStretchBltMode(dc_, oldMode);
}

void Canvas::CopyRect(const RECT& dest, Canvas& source, const RECT& src) { CopyRect(dest, source.Handle(), src); }

void Canvas::CopyRect(const RECT& dest, HDC source, const RECT& src) {
    if (!dc_ || !source) return;
    int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    int sw = src.right - src.left, sh = src.bottom - src.top;
    if (dw == sw && dh == sh)
        ::BitBlt(dc_, dest.left, dest.top, dw, dh, source, src.left, src.top, copyMode);
    else
        ::StretchBlt(dc_, dest.left, dest.top, dw, dh, source, src.left, src.top, sw, sh, copyMode);
}

void Frame3D(Canvas& canvas, RECT& r, Color topLeft, Color bottomRight, int width) {
    Pen saved = canvas.pen;
    canvas.pen.width = 1;
    canvas.pen.style = PenStyle::Solid;
    --r.bottom;
    --r.right;
    for (int i = 0; i < width; ++i) {
        canvas.pen.color = topLeft;
        canvas.Polyline({{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}});
        canvas.pen.color = bottomRight;
        canvas.Polyline({{r.right, r.top}, {r.right, r.bottom}, {r.left - 1, r.bottom}});
        ::InflateRect(&r, -1, -1);
    }
    ++r.bottom;
    ++r.right;
    canvas.pen = saved;
}

RECT DrawButtonFace(Canvas& canvas, const RECT& client, int bevelWidth, ButtonStyle style, bool isRounded, bool isDown,
                    bool isFocused) {
    RECT r = client;
    Pen savedPen = canvas.pen;
    Brush savedBrush = canvas.brush;
    canvas.pen = Pen{clWindowFrame, 1, PenStyle::Solid};
    canvas.brush = Brush{clBtnFace, BrushStyle::Solid};

    if (style == ButtonStyle::Win31) {
        // Black outline, optionally with clipped corners, then the bevel.
        canvas.Rectangle(r);
        if (isRounded) {
            canvas.SetPixel(r.left, r.top, clBtnFace);
            canvas.SetPixel(r.left, r.bottom - 1, clBtnFace);
            canvas.SetPixel(r.right - 1, r.top, clBtnFace);
            canvas.SetPixel(r.right - 1, r.bottom - 1, clBtnFace);
        }
        if (isFocused) {
            ::InflateRect(&r, -1, -1);
            canvas.brush.style = BrushStyle::Clear;
            canvas.Rectangle(r);
            canvas.brush.style = BrushStyle::Solid;
        }
        ::InflateRect(&r, -1, -1);
        if (isDown) {
            canvas.pen.color = clBtnShadow;
            canvas.Polyline({{r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top}});
            ::OffsetRect(&r, 1, 1);
        } else {
            Frame3D(canvas, r, clBtnHighlight, clBtnShadow, bevelWidth);
        }
        canvas.FillRect(r);
    } else {
        if (isFocused) {
            canvas.brush.style = BrushStyle::Clear;
            canvas.Rectangle(r);
            canvas.brush.style = BrushStyle::Solid;
            ::InflateRect(&r, -1, -1);
        }
        if (isDown) {
            Frame3D(canvas, r, clBtnShadow, clBtnHighlight, 1);
        } else {
            Frame3D(canvas, r, clBtnHighlight, cl3DDkShadow, 1);
            Frame3D(canvas, r, cl3DLight, clBtnShadow, bevelWidth > 1 ? bevelWidth - 1 : 1);
        }
        canvas.FillRect(r);
    }
    RECT inner = r;
    canvas.pen = savedPen;
    canvas.brush = savedBrush;
    return inner;
}

}  // namespace tk
