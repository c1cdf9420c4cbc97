// Graphics: colours, fonts and move-only owners for every GDI handle the toolkit
// touches (pens, brushes, fonts, bitmaps, regions, DCs), selection and SaveDC
// guards, and the Bitmap class (resource loading, pixel formats, DIB sections,
// a canvas of its own).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

namespace tk {

class Canvas;

// ---------------------------------------------------------------------------
// Colours. A Color is either a plain 0x00BBGGRR value or, with the high bit
// set, a system colour index (the low byte is the GetSysColor index).
using Color = std::int32_t;

constexpr Color SystemColor(int index) { return static_cast<Color>(0x80000000u | static_cast<unsigned>(index)); }

constexpr Color clBlack = 0x000000;
constexpr Color clMaroon = 0x000080;
constexpr Color clGreen = 0x008000;
constexpr Color clOlive = 0x008080;
constexpr Color clNavy = 0x800000;
constexpr Color clPurple = 0x800080;
constexpr Color clTeal = 0x808000;
constexpr Color clGray = 0x808080;
constexpr Color clSilver = 0xC0C0C0;
constexpr Color clRed = 0x0000FF;
constexpr Color clLime = 0x00FF00;
constexpr Color clYellow = 0x00FFFF;
constexpr Color clBlue = 0xFF0000;
constexpr Color clFuchsia = 0xFF00FF;
constexpr Color clAqua = 0xFFFF00;
constexpr Color clWhite = 0xFFFFFF;
// "No colour" and "the default of whoever draws"; never sent to GDI as such.
constexpr Color clNone = 0x1FFFFFFF;
constexpr Color clDefault = 0x20000000;

constexpr Color clScrollBar = SystemColor(COLOR_SCROLLBAR);
constexpr Color clBackground = SystemColor(COLOR_BACKGROUND);
constexpr Color clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
constexpr Color clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
constexpr Color clMenu = SystemColor(COLOR_MENU);
constexpr Color clWindow = SystemColor(COLOR_WINDOW);
constexpr Color clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
constexpr Color clMenuText = SystemColor(COLOR_MENUTEXT);
constexpr Color clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr Color clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
constexpr Color clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
constexpr Color clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
constexpr Color clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
constexpr Color clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr Color clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr Color clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr Color clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr Color clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr Color clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr Color clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr Color clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr Color cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
constexpr Color cl3DLight = SystemColor(COLOR_3DLIGHT);
constexpr Color clInfoText = SystemColor(COLOR_INFOTEXT);
constexpr Color clInfoBk = SystemColor(COLOR_INFOBK);
constexpr Color clGradientActiveCaption = SystemColor(COLOR_GRADIENTACTIVECAPTION);
constexpr Color clGradientInactiveCaption = SystemColor(COLOR_GRADIENTINACTIVECAPTION);

constexpr bool IsSystemColor(Color c) { return (static_cast<std::uint32_t>(c) & 0x80000000u) != 0; }

// Resolves system colours; clNone and clDefault come back as black.
COLORREF ColorToRGB(Color c);

// "clBtnFace" -> clBtnFace, "$00FF00" / "0x00FF00" / "65280" -> value. Used by
// window descriptions; false when the text names no colour.
bool IdentToColor(const std::string& text, Color& out);
std::string ColorToIdent(Color c);

// ---------------------------------------------------------------------------
// Move-only owner of one handle; Deleter is a stateless functor. Live()
// counts the handles of this kind that owners hold right now, so tests can
// find leaks where GetGuiResources answers nothing (Wine).
template <typename H, typename Deleter>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : handle_(h) {
        if (h != H{}) ++live_;
    }
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : handle_(std::exchange(o.handle_, H{})) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) Reset(o.Release());
        return *this;
    }
    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != H{}; }
    H Release() {
        if (handle_ != H{}) --live_;
        return std::exchange(handle_, H{});
    }
    void Reset(H h = H{}) {
        if (h != H{}) ++live_;
        H old = std::exchange(handle_, h);
        if (old != H{}) {
            --live_;
            Deleter{}(old);
        }
    }
    static long Live() { return live_; }

private:
    H handle_{};
    static inline long live_ = 0;
};

struct GdiObjectDeleter {
    void operator()(HGDIOBJ h) const { ::DeleteObject(h); }
};
struct DcDeleter {
    void operator()(HDC h) const { ::DeleteDC(h); }
};

using PenHandle = UniqueHandle<HPEN, GdiObjectDeleter>;
using BrushHandle = UniqueHandle<HBRUSH, GdiObjectDeleter>;
using FontHandle = UniqueHandle<HFONT, GdiObjectDeleter>;
using BitmapHandle = UniqueHandle<HBITMAP, GdiObjectDeleter>;
using RegionHandle = UniqueHandle<HRGN, GdiObjectDeleter>;
using PaletteHandle = UniqueHandle<HPALETTE, GdiObjectDeleter>;
// A DC from CreateDC / CreateCompatibleDC.
using MemoryDCHandle = UniqueHandle<HDC, DcDeleter>;

MemoryDCHandle CreateMemoryDC(HDC compatibleWith = nullptr);

// Every pen, brush, font, bitmap, region, palette and memory DC that the
// owners above hold at this moment.
inline long LiveGdiHandles() {
    return PenHandle::Live() + BrushHandle::Live() + FontHandle::Live() + BitmapHandle::Live() +
           RegionHandle::Live() + PaletteHandle::Live() + MemoryDCHandle::Live();
}

// GetDC / GetDCEx ... ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND wnd);
    WindowDC(HWND wnd, HRGN clip, DWORD flags);
    ~WindowDC();
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// BeginPaint ... EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND wnd);
    ~PaintDC();
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return ps_.hdc; }
    const RECT& UpdateRect() const { return ps_.rcPaint; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
};

// Selects an object and puts the previous one back on scope exit.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard() {
        if (old_) ::SelectObject(dc_, old_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

class SaveDCGuard {
public:
    explicit SaveDCGuard(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
    ~SaveDCGuard() {
        if (saved_) ::RestoreDC(dc_, saved_);
    }
    SaveDCGuard(const SaveDCGuard&) = delete;
    SaveDCGuard& operator=(const SaveDCGuard&) = delete;

private:
    HDC dc_;
    int saved_;
};

// ---------------------------------------------------------------------------
// Pens, brushes and fonts as plain descriptions; Canvas realises them.
enum class PenStyle { Solid = PS_SOLID, Dash = PS_DASH, Dot = PS_DOT, DashDot = PS_DASHDOT, Clear = PS_NULL };
enum class BrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

struct Pen {
    Color color = clBlack;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    bool operator==(const Pen&) const = default;
};

struct Brush {
    Color color = clWhite;
    BrushStyle style = BrushStyle::Solid;
    bool operator==(const Brush&) const = default;
};

enum FontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// Height is in pixels as LOGFONT wants it: negative = character height.
struct Font {
    std::string name = "MS Sans Serif";
    int height = -11;
    unsigned style = 0;  // FontStyle bits
    Color color = clWindowText;
    BYTE charset = DEFAULT_CHARSET;
    bool operator==(const Font&) const = default;

    // Point size at the screen's resolution (and back).
    int Size() const;
    void SetSize(int points);
    FontHandle Create() const;
};

PenHandle CreatePen(const Pen& pen);
BrushHandle CreateBrush(const Brush& brush);
BrushHandle CreateSolidBrush(Color color);

// Horizontal placement of a caption and vertical placement of a label's text.
enum Alignment { taLeftJustify, taRightJustify, taCenter };
enum TextLayout { tlTop, tlCenter, tlBottom };

// ---------------------------------------------------------------------------
enum class PixelFormat { Device, Bit1, Bit4, Bit8, Bit15, Bit16, Bit24, Bit32 };

// An owned bitmap with its own memory DC and canvas, made on demand. Copying
// duplicates the pixels.
class Bitmap {
public:
    Bitmap();
    Bitmap(int width, int height, PixelFormat format = PixelFormat::Device);
    ~Bitmap();
    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;

    bool Empty() const { return !handle_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    PixelFormat Format() const { return format_; }
    bool Monochrome() const { return format_ == PixelFormat::Bit1; }
    HBITMAP Handle() const { return handle_.Get(); }
    // Top-down 32-bit DIB sections expose their pixels (0x00RRGGBB per pixel).
    std::uint32_t* Bits() const { return bits_; }

    // Keeps the picture when possible (copied into the new size/format).
    void SetSize(int width, int height);
    void SetFormat(PixelFormat format);
    void SetMonochrome(bool mono) { SetFormat(mono ? PixelFormat::Bit1 : PixelFormat::Device); }
    void Clear();

    // A DIB section; top-down for Bit32 so that Bits()[y * Width() + x] works.
    static Bitmap CreateDIB(int width, int height, PixelFormat format = PixelFormat::Bit32);

    // From a module's resources (the exe, a plug-in, a language module). The
    // name is a resource name such as "SB1"; false when missing.
    bool LoadFromResourceName(HINSTANCE module, const std::string& name);
    bool LoadFromResourceID(HINSTANCE module, int id);
    bool LoadFromFile(const std::string& path);
    // The bytes of a .bmp file (a 4-byte length in front, as window
    // descriptions store pictures, is skipped); false when not a bitmap.
    bool LoadFromData(const std::uint8_t* data, std::size_t size);
    // Takes ownership of a bitmap handle (format read from it).
    void Adopt(HBITMAP bitmap);
    void Assign(const Bitmap& other) { *this = other; }

    // Colour of the bottom-left pixel: the colour-keyed transparency of glyphs.
    Color TransparentColor();
    // The palette of a picture with a colour table (8 bits per pixel or
    // fewer), made on first need and owned by the bitmap; nullptr otherwise.
    HPALETTE Palette();
    Color Pixel(int x, int y);

    // A memory DC with this bitmap selected; valid until the bitmap changes.
    HDC DC();
    Canvas& GetCanvas();
    // Drops the memory DC and canvas but keeps the picture (cheap to wake).
    void Dormant();

    // Tells a holder (a glyph, a dock background) that the picture changed.
    std::function<void()> OnChange;
    void Changed() {
        if (OnChange) OnChange();
    }

private:
    void ReleaseDC();
    void Replace(BitmapHandle handle, int width, int height, PixelFormat format, std::uint32_t* bits);

    BitmapHandle handle_;
    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::Device;
    std::uint32_t* bits_ = nullptr;
    MemoryDCHandle dc_;
    HGDIOBJ oldBitmap_ = nullptr;
    std::unique_ptr<Canvas> canvas_;
    PaletteHandle palette_;
    bool paletteRead_ = false;
};

int ScreenPixelsPerInch();

}  // namespace tk
