// Graphics: colour resolution, handle owners and the Bitmap class.
#include "toolkit/Graphics.h"

#include "toolkit/Canvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace tk {

COLORREF ColorToRGB(Color c) {
    if (c == clNone || c == clDefault) return RGB(0, 0, 0);
    if (IsSystemColor(c)) return ::GetSysColor(c & 0xFF);
    return static_cast<COLORREF>(c) & 0x00FFFFFF;
}

namespace {

struct ColorName {
    Color value;
    const char* name;
};

const ColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
};

bool ParseNumber(const std::string& text, long long& out) {
    if (text.empty()) return false;
    const char* p = text.c_str();
    int base = 10;
    if (*p == '$') {
        base = 16;
        ++p;
    } else if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (!*p) return false;
    char* end = nullptr;
    out = std::strtoll(p, &end, base);
    return end && *end == '\0';
}

}  // namespace

bool IdentToColor(const std::string& text, Color& out) {
    for (const auto& entry : kColorNames) {
        if (_stricmp(entry.name, text.c_str()) == 0) {
            out = entry.value;
            return true;
        }
    }
    long long value = 0;
    if (!ParseNumber(text, value)) return false;
    out = static_cast<Color>(static_cast<std::uint32_t>(value));
    return true;
}

std::string ColorToIdent(Color c) {
    for (const auto& entry : kColorNames)
        if (entry.value == c) return entry.name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(c));
    return buf;
}

MemoryDCHandle CreateMemoryDC(HDC compatibleWith) { return MemoryDCHandle(::CreateCompatibleDC(compatibleWith)); }

WindowDC::WindowDC(HWND wnd) : wnd_(wnd), dc_(::GetDC(wnd)) {}
WindowDC::WindowDC(HWND wnd, HRGN clip, DWORD flags) : wnd_(wnd), dc_(::GetDCEx(wnd, clip, flags)) {}
WindowDC::~WindowDC() {
    if (dc_) ::ReleaseDC(wnd_, dc_);
}

PaintDC::PaintDC(HWND wnd) : wnd_(wnd) { ::BeginPaint(wnd, &ps_); }
PaintDC::~PaintDC() { ::EndPaint(wnd_, &ps_); }

int ScreenPixelsPerInch() {
    WindowDC screen(nullptr);
    int ppi = screen.Get() ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    return ppi > 0 ? ppi : 96;
}

int Font::Size() const { return -::MulDiv(height, 72, ScreenPixelsPerInch()); }
void Font::SetSize(int points) { height = -::MulDiv(points, ScreenPixelsPerInch(), 72); }

namespace {

int CALLBACK NoteFaceFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(HDC dc, const std::string& face) {
    LOGFONTA query{};
    query.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(query.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    ::EnumFontFamiliesExA(dc, &query, NoteFaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// "Arial Narrow" -> "Arial"; "" for a face that is not a narrow cut.
std::string RegularOfNarrow(const std::string& face) {
    for (const char* suffix : {" Narrow", " Condensed"}) {
        const size_t n = std::strlen(suffix);
        if (face.size() > n && ::lstrcmpiA(face.c_str() + face.size() - n, suffix) == 0)
            return face.substr(0, face.size() - n);
    }
    return {};
}

int TextWidthIn(HDC dc, const LOGFONTA& lf, const char* text) {
    FontHandle font(::CreateFontIndirectA(&lf));
    const HGDIOBJ old = ::SelectObject(dc, font.Get());
    SIZE extent{};
    ::GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &extent);
    ::SelectObject(dc, old);
    return extent.cx;
}

// A narrow face that is not installed (Arial Narrow is missing from many
// Windows machines and from Wine) would be replaced by a regular-width one,
// and texts sized for the narrow face would no longer fit. Take a
// metric-compatible narrow face when there is one, else the regular face
// condensed to a narrow cut's proportion (82%) by the font's average width.
void SubstituteMissingNarrowFace(LOGFONTA& lf) {
    const std::string regular = RegularOfNarrow(lf.lfFaceName);
    if (regular.empty()) return;
    WindowDC screen(nullptr);
    HDC dc = screen.Get();
    if (!dc || FaceInstalled(dc, lf.lfFaceName)) return;
    // Pairs of faces with the same widths.
    static const char* const kCompatible[][2] = {{"Arial Narrow", "Liberation Sans Narrow"},
                                                 {"Liberation Sans Narrow", "Arial Narrow"}};
    for (const auto& [face, twin] : kCompatible) {
        if (::lstrcmpiA(lf.lfFaceName, face) == 0 && FaceInstalled(dc, twin)) {
            std::strncpy(lf.lfFaceName, twin, LF_FACESIZE - 1);
            return;
        }
    }
    std::strncpy(lf.lfFaceName, regular.c_str(), LF_FACESIZE - 1);
    static const char kSample[] = "0123456789ABCDEF";
    const int target = TextWidthIn(dc, lf, kSample) * 82 / 100;
    TEXTMETRICA tm{};
    {
        FontHandle font(::CreateFontIndirectA(&lf));
        const HGDIOBJ old = ::SelectObject(dc, font.Get());
        ::GetTextMetricsA(dc, &tm);
        ::SelectObject(dc, old);
    }
    // Widths round to whole pixels at small sizes: take the average width
    // that comes closest to the narrow proportion.
    int best = 0, bestMiss = 0;
    for (int width = std::max(1, static_cast<int>(tm.tmAveCharWidth)); width >= 1; --width) {
        lf.lfWidth = width;
        const int miss = std::abs(TextWidthIn(dc, lf, kSample) - target);
        if (best == 0 || miss <= bestMiss) {
            best = width;
            bestMiss = miss;
        }
    }
    lf.lfWidth = best;
}

}  // namespace

FontHandle Font::Create() const {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = (style & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style & fsItalic) ? TRUE : FALSE;
    lf.lfUnderline = (style & fsUnderline) ? TRUE : FALSE;
    lf.lfStrikeOut = (style & fsStrikeOut) ? TRUE : FALSE;
    lf.lfCharSet = charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    std::strncpy(lf.lfFaceName, name.c_str(), LF_FACESIZE - 1);
    SubstituteMissingNarrowFace(lf);
    return FontHandle(::CreateFontIndirectA(&lf));
}

PenHandle CreatePen(const Pen& pen) {
    return PenHandle(::CreatePen(static_cast<int>(pen.style), pen.width, ColorToRGB(pen.color)));
}

BrushHandle CreateBrush(const Brush& brush) {
    switch (brush.style) {
    case BrushStyle::Solid: return BrushHandle(::CreateSolidBrush(ColorToRGB(brush.color)));
    case BrushStyle::Clear: {
        LOGBRUSH lb{BS_NULL, 0, 0};
        return BrushHandle(::CreateBrushIndirect(&lb));
    }
    case BrushStyle::Horizontal: return BrushHandle(::CreateHatchBrush(HS_HORIZONTAL, ColorToRGB(brush.color)));
    case BrushStyle::Vertical: return BrushHandle(::CreateHatchBrush(HS_VERTICAL, ColorToRGB(brush.color)));
    case BrushStyle::FDiagonal: return BrushHandle(::CreateHatchBrush(HS_FDIAGONAL, ColorToRGB(brush.color)));
    case BrushStyle::BDiagonal: return BrushHandle(::CreateHatchBrush(HS_BDIAGONAL, ColorToRGB(brush.color)));
    case BrushStyle::Cross: return BrushHandle(::CreateHatchBrush(HS_CROSS, ColorToRGB(brush.color)));
    case BrushStyle::DiagCross: return BrushHandle(::CreateHatchBrush(HS_DIAGCROSS, ColorToRGB(brush.color)));
    }
    return BrushHandle(::CreateSolidBrush(ColorToRGB(brush.color)));
}

BrushHandle CreateSolidBrush(Color color) { return BrushHandle(::CreateSolidBrush(ColorToRGB(color))); }

// ---------------------------------------------------------------------------
namespace {

int BitsOf(PixelFormat f) {
    switch (f) {
    case PixelFormat::Bit1: return 1;
    case PixelFormat::Bit4: return 4;
    case PixelFormat::Bit8: return 8;
    case PixelFormat::Bit15:
    case PixelFormat::Bit16: return 16;
    case PixelFormat::Bit24: return 24;
    case PixelFormat::Bit32: return 32;
    case PixelFormat::Device: return 0;
    }
    return 0;
}

PixelFormat FormatOf(HBITMAP bmp) {
    DIBSECTION ds{};
    int n = ::GetObjectA(bmp, sizeof ds, &ds);
    if (n == sizeof(DIBSECTION)) {
        switch (ds.dsBmih.biBitCount) {
        case 1: return PixelFormat::Bit1;
        case 4: return PixelFormat::Bit4;
        case 8: return PixelFormat::Bit8;
        case 16: return PixelFormat::Bit16;
        case 24: return PixelFormat::Bit24;
        case 32: return PixelFormat::Bit32;
        default: return PixelFormat::Device;
        }
    }
    BITMAP bm{};
    ::GetObjectA(bmp, sizeof bm, &bm);
    return bm.bmBitsPixel == 1 && bm.bmPlanes == 1 ? PixelFormat::Bit1 : PixelFormat::Device;
}

// Makes a bitmap of the given format; for DIB formats *bits receives the pixel
// memory (only reported for 32-bit top-down sections).
BitmapHandle MakeBitmap(int width, int height, PixelFormat format, std::uint32_t** bits) {
    if (bits) *bits = nullptr;
    if (width <= 0 || height <= 0) return {};
    if (format == PixelFormat::Device) {
        WindowDC screen(nullptr);
        return BitmapHandle(::CreateCompatibleBitmap(screen.Get(), width, height));
    }
    if (format == PixelFormat::Bit1) return BitmapHandle(::CreateBitmap(width, height, 1, 1, nullptr));
    int bpp = BitsOf(format);
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[256];
    } info{};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = width;
    info.h.biHeight = format == PixelFormat::Bit32 ? -height : height;
    info.h.biPlanes = 1;
    info.h.biBitCount = static_cast<WORD>(bpp);
    info.h.biCompression = BI_RGB;
    if (bpp <= 8) {
        // A grey ramp is a neutral palette; real pictures come with their own.
        int n = 1 << bpp;
        info.h.biClrUsed = n;
        for (int i = 0; i < n; ++i) {
            BYTE v = static_cast<BYTE>(i * 255 / (n - 1));
            info.colors[i] = RGBQUAD{v, v, v, 0};
        }
    }
    void* pixels = nullptr;
    HBITMAP h = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (h && bits && format == PixelFormat::Bit32) *bits = static_cast<std::uint32_t*>(pixels);
    return BitmapHandle(h);
}

// The colour table of a DIB section of 8 bits per pixel or fewer (empty for
// any other bitmap). The bitmap must not be selected into a DC.
std::vector<RGBQUAD> ColourTableOf(HBITMAP bitmap) {
    DIBSECTION section{};
    if (::GetObjectA(bitmap, sizeof section, &section) != sizeof section || section.dsBmih.biBitCount > 8) return {};
    auto dc = CreateMemoryDC();
    SelectGuard selected(dc.Get(), bitmap);
    std::vector<RGBQUAD> table(256);
    table.resize(::GetDIBColorTable(dc.Get(), 0, 256, table.data()));
    return table;
}

void SetColourTable(HBITMAP bitmap, const std::vector<RGBQUAD>& table) {
    if (table.empty()) return;
    auto dc = CreateMemoryDC();
    SelectGuard selected(dc.Get(), bitmap);
    ::SetDIBColorTable(dc.Get(), 0, static_cast<UINT>(table.size()), table.data());
}

void CopyPicture(HBITMAP from, int fw, int fh, HBITMAP to) {
    auto src = CreateMemoryDC();
    auto dst = CreateMemoryDC();
    SelectGuard s1(src.Get(), from);
    SelectGuard s2(dst.Get(), to);
    ::BitBlt(dst.Get(), 0, 0, fw, fh, src.Get(), 0, 0, SRCCOPY);
}

}  // namespace

Bitmap::Bitmap() = default;

Bitmap::Bitmap(int width, int height, PixelFormat format) : format_(format) {
    std::uint32_t* bits = nullptr;
    BitmapHandle h = MakeBitmap(width, height, format, &bits);
    if (h) Replace(std::move(h), width, height, format, bits);
}

Bitmap::~Bitmap() { ReleaseDC(); }

Bitmap::Bitmap(const Bitmap& other) : format_(other.format_) {
    if (other.Empty()) return;
    std::uint32_t* bits = nullptr;
    BitmapHandle h = MakeBitmap(other.width_, other.height_, other.format_, &bits);
    if (!h) return;
    const_cast<Bitmap&>(other).ReleaseDC();
    // A new section of few colours has a grey ramp: the copy takes the
    // picture's own colours before the pixels are mapped onto them.
    SetColourTable(h.Get(), ColourTableOf(other.handle_.Get()));
    CopyPicture(other.handle_.Get(), other.width_, other.height_, h.Get());
    Replace(std::move(h), other.width_, other.height_, other.format_, bits);
}

Bitmap& Bitmap::operator=(const Bitmap& other) {
    if (this != &other) {
        Bitmap copy(other);
        auto onChange = std::move(OnChange);
        *this = std::move(copy);
        OnChange = std::move(onChange);
        Changed();
    }
    return *this;
}

Bitmap::Bitmap(Bitmap&& other) noexcept
    : handle_(std::move(other.handle_)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      format_(other.format_),
      bits_(std::exchange(other.bits_, nullptr)),
      dc_(std::move(other.dc_)),
      oldBitmap_(std::exchange(other.oldBitmap_, nullptr)),
      canvas_(std::move(other.canvas_)),
      palette_(std::move(other.palette_)),
      paletteRead_(std::exchange(other.paletteRead_, false)) {}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    if (this != &other) {
        ReleaseDC();
        handle_ = std::move(other.handle_);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        format_ = other.format_;
        bits_ = std::exchange(other.bits_, nullptr);
        dc_ = std::move(other.dc_);
        oldBitmap_ = std::exchange(other.oldBitmap_, nullptr);
        canvas_ = std::move(other.canvas_);
        palette_ = std::move(other.palette_);
        paletteRead_ = std::exchange(other.paletteRead_, false);
    }
    return *this;
}

void Bitmap::ReleaseDC() {
    canvas_.reset();
    if (dc_) {
        if (oldBitmap_) ::SelectObject(dc_.Get(), oldBitmap_);
        oldBitmap_ = nullptr;
        dc_.Reset();
    }
}

void Bitmap::Replace(BitmapHandle handle, int width, int height, PixelFormat format, std::uint32_t* bits) {
    ReleaseDC();
    handle_ = std::move(handle);
    width_ = handle_ ? width : 0;
    height_ = handle_ ? height : 0;
    format_ = format;
    bits_ = bits;
    palette_.Reset();
    paletteRead_ = false;
}

void Bitmap::Clear() {
    Replace({}, 0, 0, format_, nullptr);
    Changed();
}

void Bitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    std::uint32_t* bits = nullptr;
    BitmapHandle h = MakeBitmap(width, height, format_, &bits);
    if (h && handle_) {
        ReleaseDC();
        // New area starts white, as a fresh picture would.
        auto dc = CreateMemoryDC();
        {
            SelectGuard sel(dc.Get(), h.Get());
            RECT r{0, 0, width, height};
            ::FillRect(dc.Get(), &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        }
        CopyPicture(handle_.Get(), std::min(width, width_), std::min(height, height_), h.Get());
    }
    Replace(std::move(h), width, height, format_, bits);
    Changed();
}

void Bitmap::SetFormat(PixelFormat format) {
    if (format == format_) return;
    if (Empty()) {
        format_ = format;
        return;
    }
    std::uint32_t* bits = nullptr;
    BitmapHandle h = MakeBitmap(width_, height_, format, &bits);
    if (!h) throw std::runtime_error("Bitmap: cannot change the pixel format");
    ReleaseDC();
    CopyPicture(handle_.Get(), width_, height_, h.Get());
    Replace(std::move(h), width_, height_, format, bits);
    Changed();
}

Bitmap Bitmap::CreateDIB(int width, int height, PixelFormat format) {
    if (format == PixelFormat::Device) format = PixelFormat::Bit32;
    return Bitmap(width, height, format);
}

void Bitmap::Adopt(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof bm, &bm)) {
        Clear();
        return;
    }
    PixelFormat f = FormatOf(bitmap);
    std::uint32_t* bits = nullptr;
    if (f == PixelFormat::Bit32 && bm.bmBits && bm.bmHeight > 0) {
        // A bottom-up section: convert so that Bits() keeps its top-down meaning.
        BitmapHandle owned(bitmap);
        BitmapHandle h = MakeBitmap(bm.bmWidth, bm.bmHeight, f, &bits);
        CopyPicture(owned.Get(), bm.bmWidth, bm.bmHeight, h.Get());
        Replace(std::move(h), bm.bmWidth, bm.bmHeight, f, bits);
    } else {
        Replace(BitmapHandle(bitmap), bm.bmWidth, std::abs(bm.bmHeight), f, bits);
    }
    Changed();
}

bool Bitmap::LoadFromResourceName(HINSTANCE module, const std::string& name) {
    HANDLE h = ::LoadImageA(module, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!h) return false;
    Adopt(static_cast<HBITMAP>(h));
    return true;
}

bool Bitmap::LoadFromResourceID(HINSTANCE module, int id) {
    HANDLE h = ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!h) return false;
    Adopt(static_cast<HBITMAP>(h));
    return true;
}

bool Bitmap::LoadFromFile(const std::string& path) {
    HANDLE h = ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE);
    if (!h) return false;
    Adopt(static_cast<HBITMAP>(h));
    return true;
}

bool Bitmap::LoadFromData(const std::uint8_t* data, std::size_t size) {
    std::size_t offset = 0;
    if (size > 6 && data[0] != 'B' && data[4] == 'B' && data[5] == 'M') offset = 4;
    if (size < offset + sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return false;
    if (data[offset] != 'B' || data[offset + 1] != 'M') return false;
    BITMAPFILEHEADER file{};
    std::memcpy(&file, data + offset, sizeof file);
    if (file.bfOffBits >= size - offset) return false;
    // Copy the header (with its palette) so that it is suitably aligned.
    std::vector<std::uint8_t> header(data + offset + sizeof(BITMAPFILEHEADER), data + offset + file.bfOffBits);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(header.data());
    const LONG height = info->bmiHeader.biHeight;
    const LONG width = info->bmiHeader.biWidth;
    if (width <= 0 || height == 0 || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return false;
    WindowDC screen(nullptr);
    void* bits = nullptr;
    HBITMAP h = ::CreateDIBSection(screen.Get(), info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!h) return false;
    const UINT lines = static_cast<UINT>(height < 0 ? -height : height);
    const std::size_t stride = ((static_cast<std::size_t>(width) * info->bmiHeader.biBitCount + 31) / 32) * 4;
    if (info->bmiHeader.biCompression == BI_RGB && stride * lines > size - offset - file.bfOffBits) {
        ::DeleteObject(h);
        return false;
    }
    ::SetDIBits(screen.Get(), h, 0, lines, data + offset + file.bfOffBits, info, DIB_RGB_COLORS);
    Adopt(h);
    return true;
}

HDC Bitmap::DC() {
    if (!dc_) {
        dc_ = CreateMemoryDC();
        if (handle_) oldBitmap_ = ::SelectObject(dc_.Get(), handle_.Get());
    }
    return dc_.Get();
}

Canvas& Bitmap::GetCanvas() {
    if (!canvas_) canvas_ = std::make_unique<Canvas>(DC());
    return *canvas_;
}

void Bitmap::Dormant() { ReleaseDC(); }

Color Bitmap::Pixel(int x, int y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return clNone;
    if (bits_) {
        ::GdiFlush();
        std::uint32_t v = bits_[y * width_ + x];
        return static_cast<Color>(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    }
    return static_cast<Color>(::GetPixel(DC(), x, y));
}

HPALETTE Bitmap::Palette() {
    if (!paletteRead_ && handle_) {
        paletteRead_ = true;
        ReleaseDC();
        const std::vector<RGBQUAD> table = ColourTableOf(handle_.Get());
        if (!table.empty()) {
            struct {
                WORD version;
                WORD count;
                PALETTEENTRY entries[256];
            } logical{0x300, static_cast<WORD>(table.size()), {}};
            for (std::size_t i = 0; i < table.size(); ++i)
                logical.entries[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
            palette_.Reset(::CreatePalette(reinterpret_cast<const LOGPALETTE*>(&logical)));
        }
    }
    return palette_.Get();
}

Color Bitmap::TransparentColor() {
    if (Empty()) return clDefault;
    return Pixel(0, height_ - 1);
}

}  // namespace tk
