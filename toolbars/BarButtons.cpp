// BarButtons: glyph rendering, the glyph cache and the toolbar button.
#include "toolbars/BarButtons.h"

#include "toolkit/ActnList.h"
#include "toolkit/Canvas.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/Services.h"
#include "toolkit/Streaming.h"

#include <windowsx.h>

#include <algorithm>
#include <cctype>

namespace {

// The unit's shared state in one place (one user-interface thread).
struct ButtonGlobals {
    TToolbarButton* buttonWithMouse = nullptr;
    // The shared 125 ms timer that notices the mouse leaving the hot button;
    // it runs only while a button is hot.
    tk::ClockService* leaveClock = nullptr;
    UINT_PTR leaveTimer = 0;
    // While the mouse passes straight from one button to the next, the timer
    // is handed over instead of being stopped and started again.
    bool handingOver = false;
    // Whether the program is in front: asked once, then followed through the
    // activation events the buttons' hook sees (-1: not known yet).
    int appActive = -1;
    int buttonCount = 0;
    // 8 x 8 checker of the face and highlight colours, made on first need.
    tk::Bitmap checker;
    tk::BrushHandle checkerBrush;
    COLORREF checkerFace = 0;
    COLORREF checkerHighlight = 0;
    // Off-screen picture of the button being painted, grown as needed.
    tk::Bitmap paintBuffer;
    std::unique_ptr<TGlyphCache> cache;
};

ButtonGlobals& G() {
    static ButtonGlobals globals;
    return globals;
}

std::uint32_t Rgb(tk::Color c) {
    const COLORREF v = tk::ColorToRGB(c);
    return (GetRValue(v) << 16) | (GetGValue(v) << 8) | GetBValue(v);
}

// The whole bitmap as top-down 0x00RRGGBB pixels.
std::vector<std::uint32_t> ReadPixels(tk::Bitmap& bitmap) {
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
    if (pixels.empty()) return pixels;
    bitmap.Dormant();  // GetDIBits wants the bitmap out of every DC
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    tk::WindowDC screen(nullptr);
    ::GetDIBits(screen.Get(), bitmap.Handle(), 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
    for (auto& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

tk::Bitmap MakeImage(int w, int h, const std::vector<std::uint32_t>& pixels) {
    tk::Bitmap image = tk::Bitmap::CreateDIB(w, h);
    ::GdiFlush();
    std::copy(pixels.begin(), pixels.end(), image.Bits());
    return image;
}

// A monochrome mask: set (white) = transparent.
tk::Bitmap MakeMask(int w, int h, const std::vector<bool>& transparent) {
    tk::Bitmap mask = tk::Bitmap::CreateDIB(w, h);
    ::GdiFlush();
    for (std::size_t i = 0; i < transparent.size(); ++i) mask.Bits()[i] = transparent[i] ? 0xFFFFFF : 0;
    mask.SetMonochrome(true);
    mask.Dormant();
    return mask;
}

}  // namespace

// ===========================================================================
// TGlyphList and TGlyphCache

TGlyphList::TGlyphList(int width, int height) : tk::ImageList(width, height) {}

std::unique_ptr<TGlyphList> TGlyphList::CreateForSize(int width, int height) {
    return std::make_unique<TGlyphList>(width, height);
}

int TGlyphList::TakeFreeSlot() {
    auto it = std::find(used_.begin(), used_.end(), false);
    int slot = static_cast<int>(it - used_.begin());
    if (it == used_.end()) {
        tk::Bitmap blank(Width(), Height());
        slot = ImageList::Add(blank);
        if (slot < 0) throw tk::EInvalidOperation("Unable to Replace Image");
        used_.resize(static_cast<std::size_t>(ImageList::Count()), false);
    }
    used_[static_cast<std::size_t>(slot)] = true;
    return slot;
}

void TGlyphList::StoreSlot(int slot, const tk::Bitmap& image, const tk::Bitmap& mask) {
    const int w = Width();
    const int h = Height();
    const int needed = (slot + 1) * w;
    if (pictures_.Width() < needed) {
        const int width = std::max(needed, 4 * w);
        if (pictures_.Empty()) {
            pictures_ = tk::Bitmap(width, h);
            masks_ = tk::Bitmap(width, h, tk::PixelFormat::Bit1);
        } else {
            pictures_.SetSize(std::max(width, 2 * pictures_.Width()), h);
            masks_.SetSize(pictures_.Width(), h);
        }
    }
    ::BitBlt(pictures_.DC(), slot * w, 0, w, h, const_cast<tk::Bitmap&>(image).DC(), 0, 0, SRCCOPY);
    ::BitBlt(masks_.DC(), slot * w, 0, w, h, const_cast<tk::Bitmap&>(mask).DC(), 0, 0, SRCCOPY);
    const_cast<tk::Bitmap&>(image).Dormant();
    const_cast<tk::Bitmap&>(mask).Dormant();
}

void TGlyphList::DrawSlot(HDC dc, int x, int y, int slot) {
    if (slot < 0 || pictures_.Width() < (slot + 1) * Width()) return;
    const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBk = ::SetBkColor(dc, RGB(255, 255, 255));
    ::BitBlt(dc, x, y, Width(), Height(), masks_.DC(), slot * Width(), 0, SRCAND);
    ::BitBlt(dc, x, y, Width(), Height(), pictures_.DC(), slot * Width(), 0, SRCPAINT);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBk);
}

int TGlyphList::Add(const tk::Bitmap& image, const tk::Bitmap& mask) {
    const int slot = TakeFreeSlot();
    try {
        Replace(slot, image, &mask);
        StoreSlot(slot, image, mask);
    } catch (...) {
        used_[static_cast<std::size_t>(slot)] = false;
        throw;
    }
    ++count_;
    return slot;
}

int TGlyphList::AddWithMaskColour(const tk::Bitmap& image, tk::Color maskColor) {
    if (image.Width() < Width() || image.Height() < Height()) throw tk::EInvalidOperation("Invalid image size");
    tk::Bitmap picture(image);
    std::vector<std::uint32_t> pixels = ReadPixels(picture);
    const int pw = picture.Width();
    const std::uint32_t key = maskColor == tk::clDefault ? pixels[static_cast<std::size_t>(picture.Height() - 1) * pw]
                                                         : Rgb(maskColor);
    const int w = Width();
    const int h = Height();
    std::vector<std::uint32_t> cut(static_cast<std::size_t>(w) * h);
    std::vector<bool> transparent(cut.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * pw + x];
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            transparent[i] = p == key;
            // The masked draw ORs the picture over the ground: transparent parts black.
            cut[i] = transparent[i] ? 0 : p;
        }
    }
    return Add(MakeImage(w, h, cut), MakeMask(w, h, transparent));
}

void TGlyphList::ReleaseSlot(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= used_.size() || !used_[static_cast<std::size_t>(index)]) return;
    --count_;
    used_[static_cast<std::size_t>(index)] = false;
}

TGlyphList* TGlyphCache::ListForSize(int width, int height) {
    for (auto it = GlyphLists.rbegin(); it != GlyphLists.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
    GlyphLists.push_back(TGlyphList::CreateForSize(width, height));
    return GlyphLists.back().get();
}

void TGlyphCache::DropListIfEmpty(TGlyphList* list) {
    if (!list || list->Count() != 0) return;
    auto it = std::find_if(GlyphLists.begin(), GlyphLists.end(), [list](const auto& l) { return l.get() == list; });
    if (it != GlyphLists.end()) GlyphLists.erase(it);
}

TGlyphCache* GlyphCache() { return G().cache.get(); }

// ===========================================================================
// TButtonGlyph

TButtonGlyph::TButtonGlyph() {
    for (auto& kind : indexes_) std::fill(std::begin(kind), std::end(kind), -1);
    glyph_.OnChange = [this] { PictureChanged(true); };
    glyphMask_.OnChange = [this] { PictureChanged(false); };
    if (!G().cache) G().cache = std::make_unique<TGlyphCache>();
}

TButtonGlyph::~TButtonGlyph() {
    glyph_.OnChange = nullptr;
    glyphMask_.OnChange = nullptr;
    if (images_ && imageChangeLink_) images_->UnRegisterChanges(imageChangeLink_);
    DiscardImages();
    if (G().cache && G().cache->HoldsNoList()) G().cache.reset();
}

void TButtonGlyph::DiscardImages() {
    for (int kind = 0; kind < 2; ++kind) {
        for (int state = 0; state < 5; ++state) {
            if (indexes_[kind][state] == -1) continue;
            if (lists_[kind]) lists_[kind]->ReleaseSlot(indexes_[kind][state]);
            indexes_[kind][state] = -1;
        }
        if (lists_[kind] && G().cache) G().cache->DropListIfEmpty(lists_[kind]);
        lists_[kind] = nullptr;
    }
}

void TButtonGlyph::PictureChanged(bool fromGlyph) {
    if (fromGlyph && glyph_.Width() > 0 && glyph_.Height() > 0) {
        transparentColor_ = glyph_.TransparentColor() | 0x02000000;
        glyph_.Dormant();
    }
    DiscardImages();
    if (OnChange) OnChange();
}

void TButtonGlyph::AssignGlyph(const tk::Bitmap& bitmap) {
    DiscardImages();
    glyph_ = bitmap;  // fires PictureChanged through OnChange
    RecountImages();
}

void TButtonGlyph::AssignGlyphMask(const tk::Bitmap& bitmap) {
    DiscardImages();
    glyphMask_ = bitmap;
}

void TButtonGlyph::RecountImages() {
    const int w = glyph_.Width();
    const int h = glyph_.Height();
    if (w > 0 && h > 0 && w % h == 0 && w / h <= 5) numGlyphs_ = w / h;
    else numGlyphs_ = 1;
}

void TButtonGlyph::AssignNumGlyphs(int value) {
    DiscardImages();
    numGlyphs_ = (images_ || value <= 0 || value > 5) ? 1 : value;
    PictureChanged();
}

void TButtonGlyph::SetImages(tk::ImageList* images) {
    if (images == images_) return;
    if (images_ && imageChangeLink_) images_->UnRegisterChanges(imageChangeLink_);
    imageChangeLink_ = 0;
    images_ = images;
    if (images_) imageChangeLink_ = images_->RegisterChanges([this] { PictureChanged(); });
    PictureChanged();
}

void TButtonGlyph::ImagesDestroyed() {
    images_ = nullptr;
    imageChangeLink_ = 0;
    PictureChanged();
}

void TButtonGlyph::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    if (images_) PictureChanged();
}

void TButtonGlyph::SetOldDisabledStyle(bool on) {
    if (on == oldDisabledStyle_) return;
    oldDisabledStyle_ = on;
    PictureChanged();
}

SIZE TButtonGlyph::ImageSize() const {
    if (images_) return SIZE{images_->Width(), images_->Height()};
    return SIZE{glyph_.Width() / numGlyphs_, glyph_.Height()};
}

TRenderedImage TButtonGlyph::RenderStateImage(TButtonDrawState state) {
    int s = state;
    // A state the strip has no image for shows the up image, cached once.
    if (state != bdsDisabled && s >= numGlyphs_) s = bdsUp;
    if (indexes_[1][s] != -1) return TRenderedImage{1, indexes_[1][s]};
    if (indexes_[0][s] != -1) return TRenderedImage{0, indexes_[0][s]};
    const int kind = s == bdsDisabled ? 0 : 1;
    if (images_) {
        if (imageIndex_ < 0 || imageIndex_ >= images_->Count()) return TRenderedImage{kind, -1};
    } else if (glyph_.Width() == 0 || glyph_.Height() == 0) {
        return TRenderedImage{kind, -1};
    }
    RenderInto(static_cast<TButtonDrawState>(s), kind);
    return TRenderedImage{kind, indexes_[kind][s]};
}

void TButtonGlyph::RenderInto(TButtonDrawState state, int kind) {
    const SIZE size = ImageSize();
    const int w = size.cx;
    const int h = size.cy;
    if (w <= 0 || h <= 0) return;
    const int extra = kind == 0 ? 1 : 0;
    if (!G().cache) G().cache = std::make_unique<TGlyphCache>();
    if (!lists_[kind]) lists_[kind] = G().cache->ListForSize(w + extra, h + extra);
    TGlyphList& list = *lists_[kind];

    // The state's picture and, when there is one, its separate mask (set = transparent).
    const std::size_t n = static_cast<std::size_t>(w) * h;
    std::vector<std::uint32_t> picture(n);
    std::vector<bool> separateMask;
    std::uint32_t key = 0;
    if (images_) {
        tk::Bitmap image;
        images_->GetBitmap(imageIndex_, image, tk::itImage);
        picture = ReadPixels(image);
        tk::Bitmap mask;
        images_->GetBitmap(imageIndex_, mask, tk::itMask);
        const auto maskPixels = ReadPixels(mask);
        separateMask.resize(n);
        for (std::size_t i = 0; i < n; ++i) separateMask[i] = maskPixels[i] == 0xFFFFFF;
    } else {
        const int left = (state < numGlyphs_ ? state : 0) * w;
        const int fullWidth = glyph_.Width();
        const auto strip = ReadPixels(glyph_);
        key = strip[static_cast<std::size_t>(h - 1) * fullWidth];
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                picture[static_cast<std::size_t>(y) * w + x] = strip[static_cast<std::size_t>(y) * fullWidth + left + x];
        if (glyphMask_.Width() > 0 && glyphMask_.Height() > 0) {
            const auto maskStrip = ReadPixels(glyphMask_);
            const int maskWidth = glyphMask_.Width();
            separateMask.resize(n);
            for (int y = 0; y < h && y < glyphMask_.Height(); ++y)
                for (int x = 0; x < w && left + x < maskWidth; ++x)
                    separateMask[static_cast<std::size_t>(y) * w + x] =
                        maskStrip[static_cast<std::size_t>(y) * maskWidth + left + x] == 0xFFFFFF;
        }
    }
    const bool hasMask = !separateMask.empty();
    auto transparentAt = [&](std::size_t i) { return hasMask ? separateMask[i] : picture[i] == key; };

    int slot = -1;
    if (kind == 1) {
        if (hasMask || images_) {
            std::vector<std::uint32_t> cut(picture);
            for (std::size_t i = 0; i < n; ++i)
                if (separateMask[i]) cut[i] = 0;
            slot = list.Add(MakeImage(w, h, cut), MakeMask(w, h, separateMask));
        } else {
            slot = list.AddWithMaskColour(MakeImage(w, h, picture), tk::clDefault);
        }
    } else if (numGlyphs_ >= 2 && !images_) {
        // The strip's own disabled image, in the system's 3-D colours.
        const std::uint32_t highlight = Rgb(tk::clBtnHighlight);
        const std::uint32_t shadow = Rgb(tk::clBtnShadow);
        const int tw = w + 1;
        std::vector<std::uint32_t> target(static_cast<std::size_t>(tw) * (h + 1), 0);
        std::vector<bool> transparent(target.size(), true);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * w + x;
                const std::size_t t = static_cast<std::size_t>(y) * tw + x;
                std::uint32_t p = picture[i];
                if (p == 0xFFFFFF) p = highlight;
                else if (p == 0x808080) p = shadow;
                transparent[t] = transparentAt(i);
                target[t] = transparent[t] ? 0 : p;
            }
        }
        slot = list.Add(MakeImage(tw, h + 1, target), MakeMask(tw, h + 1, transparent));
    } else {
        // Generated: the picture's shape embossed, shadow on top and the
        // highlight one pixel to the lower right.
        std::vector<bool> shape(n);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t p = picture[i];
            if (oldDisabledStyle_) shape[i] = p == 0 && !(hasMask && separateMask[i]);
            else shape[i] = p == 0xFFFFFF || p == 0xC0C0C0 || transparentAt(i);
        }
        const std::uint32_t face = Rgb(tk::clBtnFace);
        const int tw = w + 1;
        std::vector<std::uint32_t> target(static_cast<std::size_t>(tw) * (h + 1), face);
        auto emboss = [&](std::uint32_t colour, int dx, int dy) {
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const bool marked = shape[static_cast<std::size_t>(y) * w + x];
                    // New style: the colour lands where the mask is clear; old style: where set.
                    if (marked == oldDisabledStyle_) target[static_cast<std::size_t>(y + dy) * tw + x + dx] = colour;
                }
        };
        emboss(Rgb(tk::clBtnHighlight), 1, 1);
        emboss(Rgb(tk::clBtnShadow), 0, 0);
        slot = list.AddWithMaskColour(MakeImage(tw, h + 1, target), tk::clBtnFace);
    }
    indexes_[kind][state] = slot;
    if (MakeGlyphDormant) glyph_.Dormant();
    glyphMask_.Dormant();
}

TButtonGlyph::FaceLayout TButtonGlyph::ComputeFaceLayout(tk::Canvas& canvas, const RECT& client, const FaceParams& p) {
    FaceLayout out;
    const int clientW = client.right - client.left;
    const int clientH = client.bottom - client.top;
    int gw = 0;
    int gh = 0;
    if (p.drawPicture) {
        const SIZE s = ImageSize();
        if (images_ || glyph_.Width() > 0) {
            gw = s.cx;
            gh = s.cy;
        }
    }
    const bool hasGlyph = gw != 0 && gh != 0;
    const int aw = p.drawArrow ? p.arrowWidth : 0;
    const int ah = p.drawArrow ? 3 : 0;
    TButtonLayout layout = p.layout;
    bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    if (!horizontal && !hasGlyph) {
        layout = blGlyphLeft;
        horizontal = true;
    }
    int spacing = p.spacing;
    int margin = p.margin;
    RECT text{0, 0, 0, 0};
    int tw = 0;
    int th = 0;
    if (p.drawCaption && !p.caption.empty()) {
        text = RECT{0, 0, clientW, 0};
        if (horizontal) text.right -= aw;
        UINT format = DT_CALCRECT;
        if (p.wordWrap) {
            format |= DT_WORDBREAK;
            const int gap = margin != -1 ? margin : spacing != -1 ? spacing : 4;
            if (horizontal && hasGlyph) {
                text.right -= gw + (spacing == -1 ? 4 : spacing);
                text.right -= 2 * gap;
            } else if (horizontal) {
                text.right -= 2 * 4;
            } else {
                text.right -= 2 * gap;
            }
        }
        canvas.DrawText(text, p.caption, format);
        tw = text.right - text.left;
        th = text.bottom - text.top;
    }
    POINT glyphPos{0, 0};
    POINT textPos{0, 0};
    POINT arrowPos{0, 0};
    if (horizontal) {
        glyphPos.y = (clientH - gh + 1) / 2;
        textPos.y = (clientH - th + 1) / 2;
    } else {
        glyphPos.x = (clientW - gw - aw + 1) / 2;
        textPos.x = (clientW - tw + 1) / 2;
        arrowPos.x = hasGlyph ? glyphPos.x + gw : textPos.x + tw;
    }
    if (tw == 0 || th == 0 || !hasGlyph) spacing = 0;
    if (margin == -1 && spacing == -1) {
        const int total = horizontal ? gw + tw + aw : gh + th;
        spacing = ((horizontal ? clientW : clientH) - total) / 3;
        margin = spacing;
    } else if (margin == -1) {
        const int total = horizontal ? gw + spacing + tw + aw : gh + spacing + th;
        margin = ((horizontal ? clientW : clientH) - total + 1) / 2;
    } else if (spacing == -1) {
        const int total = horizontal ? clientW - (margin + gw + aw) : clientH - (margin + gh);
        spacing = (total - (horizontal ? tw : th)) / 2;
    }
    switch (layout) {
    case blGlyphLeft:
        glyphPos.x = margin;
        textPos.x = glyphPos.x + gw + spacing;
        arrowPos.x = textPos.x + tw;
        break;
    case blGlyphRight:
        arrowPos.x = clientW - margin - aw;
        glyphPos.x = arrowPos.x - gw;
        textPos.x = glyphPos.x - spacing - tw;
        break;
    case blGlyphTop:
        glyphPos.y = margin;
        textPos.y = glyphPos.y + gh + spacing;
        break;
    case blGlyphBottom:
        glyphPos.y = clientH - margin - gh;
        textPos.y = glyphPos.y - spacing - th;
        break;
    }
    arrowPos.x += 1;
    arrowPos.y = hasGlyph ? glyphPos.y + (gh - ah) / 2 : textPos.y + (th - ah) / 2;
    const int dx = client.left + p.offset;
    const int dy = client.top + p.offset;
    out.glyph = POINT{glyphPos.x + dx, glyphPos.y + dy};
    out.arrow = POINT{arrowPos.x + dx, arrowPos.y + dy};
    out.text = RECT{text.left + textPos.x + dx, text.top + textPos.y + dy, text.right + textPos.x + dx,
                    text.bottom + textPos.y + dy};
    return out;
}

RECT TButtonGlyph::PaintButtonFace(tk::Canvas& canvas, const RECT& client, const FaceParams& p) {
    const FaceLayout layout = ComputeFaceLayout(canvas, client, p);
    if (p.drawPicture) PaintPicture(canvas, layout.glyph, p.state);
    if (p.drawCaption) PaintCaption(canvas, p.caption, layout.text, p.state, p.alignment, p.wordWrap);
    if (p.drawArrow) PaintDropArrow(canvas, layout.arrow.x, layout.arrow.y, p.arrowWidth, p.state);
    return layout.text;
}

void TButtonGlyph::PaintPicture(tk::Canvas& canvas, POINT pos, TButtonDrawState state) {
    const TRenderedImage image = RenderStateImage(state);
    if (image.Index < 0 || !lists_[image.Kind]) return;
    lists_[image.Kind]->DrawSlot(canvas.Handle(), pos.x, pos.y, image.Index);
}

void TButtonGlyph::PaintCaption(tk::Canvas& canvas, const std::string& caption, const RECT& textBounds,
                                TButtonDrawState state, tk::Alignment alignment, bool wordWrap) {
    if (caption.empty()) return;
    canvas.brush.style = tk::BrushStyle::Clear;
    UINT format = alignment == tk::taLeftJustify ? DT_LEFT : alignment == tk::taRightJustify ? DT_RIGHT : DT_CENTER;
    format |= DT_VCENTER | (wordWrap ? DT_WORDBREAK : DT_SINGLELINE);
    RECT r = textBounds;
    if (state == bdsDisabled) {
        const tk::Color own = canvas.font.color;
        RECT moved{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
        canvas.font.color = tk::clBtnHighlight;
        canvas.DrawText(moved, caption, format);
        canvas.font.color = tk::clBtnShadow;
        canvas.DrawText(r, caption, format);
        canvas.font.color = own;
    } else {
        canvas.DrawText(r, caption, format);
    }
    canvas.brush.style = tk::BrushStyle::Solid;
}

void TButtonGlyph::PaintDropArrow(tk::Canvas& canvas, int x, int y, int arrowWidth, TButtonDrawState state) {
    const int c = x + arrowWidth / 2;
    const tk::Pen pen = canvas.pen;
    const tk::Brush brush = canvas.brush;
    auto triangle = [&](int dx, int dy, tk::Color colour) {
        canvas.pen = tk::Pen{colour};
        canvas.brush = tk::Brush{colour};
        canvas.Polygon({{c - 2 + dx, y + dy}, {c + 2 + dx, y + dy}, {c + dx, y + 2 + dy}});
    };
    if (state == bdsDisabled) {
        triangle(1, 1, tk::clBtnHighlight);
        triangle(0, 0, tk::clBtnShadow);
    } else {
        triangle(0, 0, canvas.font.color);
    }
    canvas.pen = pen;
    canvas.brush = brush;
}

// ===========================================================================
// TToolbarButtonActionLink

tk::Action* TToolbarButtonActionLink::LinkedAction() const { return dynamic_cast<tk::Action*>(client_.Action()); }

bool TToolbarButtonActionLink::IsCheckedLinked() const {
    const tk::Action* a = LinkedAction();
    return a && a->Checked() == client_.Down();
}

bool TToolbarButtonActionLink::IsHelpContextLinked() const {
    const tk::Action* a = LinkedAction();
    return a && a->HelpContext() == client_.HelpContext();
}

bool TToolbarButtonActionLink::IsImageIndexLinked() const {
    const tk::Action* a = LinkedAction();
    return a && a->ImageIndex() == client_.ImageIndex();
}

void TToolbarButtonActionLink::SetChecked(bool value) {
    if (IsCheckedLinked()) client_.SetDown(value);
}

void TToolbarButtonActionLink::SetHelpContext(int value) {
    if (IsHelpContextLinked()) client_.SetHelpContext(value);
}

void TToolbarButtonActionLink::SetImageIndex(int value) {
    if (IsImageIndexLinked()) client_.SetImageIndex(value);
}

// ===========================================================================
// TToolbarButton

bool TToolbarButton::StayDownInClick = true;

namespace {

// Stops a clock-seam timer with the clock that started it, unless that was a
// test clock that is no longer installed (it may be gone, its timers with it).
void StopTimerOn(tk::ClockService* clock, UINT_PTR id) {
    if (!id || !clock) return;
    if (clock == &tk::ClockSeam().Default() || clock == &tk::ClockSeam().Get()) clock->StopTimer(id);
}

}  // namespace

// The repeat timer of a held Repeating button, on the clock seam.
struct TToolbarButton::RepeatTimer {
    tk::ClockService* clock = nullptr;
    UINT_PTR id = 0;
    unsigned interval = 0;
    std::function<void()> onTick;

    ~RepeatTimer() { Disable(); }
    void Enable() {
        if (id) return;
        clock = &tk::ClockSeam().Get();
        id = clock->StartTimer(interval, onTick);
    }
    void Disable() {
        StopTimerOn(clock, id);
        id = 0;
    }
    void SetInterval(unsigned ms) {
        if (ms == interval) return;
        interval = ms;
        if (id) {
            Disable();
            Enable();
        }
    }
};

namespace {

// Edge style [flat][sunken].
constexpr UINT kEdge[2][2] = {{EDGE_RAISED, EDGE_SUNKEN}, {BDR_RAISEDINNER, BDR_SUNKENOUTER}};

tk::Control* ControlUnderCursor() {
    return tk::WinControl::FindControlAtScreen(tk::InputSeam()->CursorPos(), true);
}

void StopLeaveTimer() {
    ButtonGlobals& g = G();
    StopTimerOn(g.leaveClock, g.leaveTimer);
    g.leaveTimer = 0;
}

}  // namespace

void MouseLeaveTick() {
    try {
        ButtonGlobals& g = G();
        // A hand-over that no button took up ends here.
        if (!g.buttonWithMouse) StopLeaveTimer();
        else if (ControlUnderCursor() != g.buttonWithMouse) g.buttonWithMouse->MouseLeft();
    } catch (...) {
        tk::App().HandleException();
    }
}

namespace {

void StartLeaveTimer() {
    ButtonGlobals& g = G();
    if (g.leaveTimer) return;
    g.leaveClock = &tk::ClockSeam().Get();
    g.leaveTimer = g.leaveClock->StartTimer(125, MouseLeaveTick);
}

}  // namespace

void ButtonHookProc(THookEvent event, HWND wnd, WPARAM wParam, LPARAM lParam) {
    if (event == heActivateApp) G().appActive = wParam != 0;
    TToolbarButton* hot = G().buttonWithMouse;
    if (!hot) return;
    if (event == heActivateApp && wParam == 0) {
        if (!hot->ShowBorderWhenInactive()) hot->MouseLeft();
    } else if (event == heMouseMovePosted && wnd) {
        // The move's own point is where the cursor is; over the hot button's
        // parent the objects answer without asking the system.
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        tk::WinControl* parent = hot->Parent();
        tk::Control* under = nullptr;
        if (parent && wnd && wnd == parent->HandleIfAllocated()) {
            under = parent->ControlAtPos(p, true, true);
        } else {
            ::ClientToScreen(wnd, &p);
            under = tk::WinControl::FindControlAtScreen(p, true);
        }
        if (under != hot) {
            // Moving straight onto another button: its own move enters it
            // next and takes the timer over (or stops it).
            G().handingOver = dynamic_cast<TToolbarButton*>(under) != nullptr;
            hot->MouseLeft();
            G().handingOver = false;
        }
    }
}

void ReleaseButtonResources() {
    ButtonGlobals& g = G();
    StopLeaveTimer();
    g.buttonWithMouse = nullptr;
    g.appActive = -1;  // no hook follows the activation any more
    g.checkerBrush.Reset();
    g.checker = tk::Bitmap();
    g.paintBuffer = tk::Bitmap();
}

TToolbarButton* TToolbarButton::ButtonWithMouse() { return G().buttonWithMouse; }

int TToolbarButton::ButtonCount() { return G().buttonCount; }

TToolbarButton::TToolbarButton() {
    RegisterHookClient(ButtonHookProc, HookEvents({heActivateApp, heMouseMovePosted}), false);
    SetBounds(Left(), Top(), 23, 22);
    SetControlStyle(tk::csCaptureMouse | tk::csOpaque | tk::csDoubleClicks | tk::csSetCaption);
    SetColor(tk::clBtnFace);
    SetParentFont(true);
    glyph_.OnChange = [this] { Redraw(true); };
    ++G().buttonCount;
}

TToolbarButton::~TToolbarButton() {
    StopBeingButtonWithMouse();
    FreeRepeatTimer();
    if (dropdownMenu_ && dropdownMenu_->PopupComponent() == this) dropdownMenu_->SetPopupComponent(nullptr);
    glyph_.OnChange = nullptr;
    UnregisterHookClient(ButtonHookProc);
    if (--G().buttonCount == 0) ReleaseButtonResources();
}

// --- setters ----------------------------------------------------------------

void TToolbarButton::SetAllowAllUp(bool on) {
    if (on == allowAllUp_) return;
    allowAllUp_ = on;
    UpdateExclusive();
}

void TToolbarButton::SetAlignment(tk::Alignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Redraw(true);
}

void TToolbarButton::SetDisplayMode(TButtonDisplayMode mode) {
    if (mode == displayMode_) return;
    displayMode_ = mode;
    Redraw(true);
}

void TToolbarButton::SetDown(bool on) {
    if (groupIndex_ == 0) on = false;
    if (on == down_ || (down_ && !allowAllUp_)) return;
    down_ = on;
    if (!Enabled()) state_ = bdsDisabled;
    else state_ = on ? bdsExclusive : bdsUp;
    Redraw(true);
    if (on) UpdateExclusive();
}

void TToolbarButton::SetDropdownAlways(bool on) {
    if (on == dropdownAlways_) return;
    dropdownAlways_ = on;
    UpdateUsesDropdown();
}

void TToolbarButton::SetDropdownArrow(bool on) {
    if (on == dropdownArrow_) return;
    dropdownArrow_ = on;
    Redraw(true);
}

void TToolbarButton::SetDropdownArrowWidth(int width) {
    width = std::max(width, 7);
    if (width == dropdownArrowWidth_) return;
    const int diff = width - dropdownArrowWidth_;
    dropdownArrowWidth_ = width;
    if (dropdownCombo_ && !IsLoading()) SetWidth(Width() + diff);
    Redraw(true);
}

void TToolbarButton::SetDropdownCombo(bool on) {
    if (on == dropdownCombo_) return;
    dropdownCombo_ = on;
    if (!IsLoading()) {
        if (on) SetWidth(Width() + dropdownArrowWidth_ + 2);
        else SetWidth(std::max(1, Width() - (dropdownArrowWidth_ + 2)));
    }
    Redraw(true);
}

void TToolbarButton::SetDropdownMenu(tk::PopupMenu* menu) {
    if (menu == dropdownMenu_) return;
    if (dropdownMenu_) dropdownMenu_->RemoveFreeNotification(this);
    dropdownMenu_ = menu;
    if (menu) menu->FreeNotification(this);
    UpdateUsesDropdown();
}

void TToolbarButton::UpdateUsesDropdown() {
    const bool uses = dropdownAlways_ || dropdownMenu_ != nullptr;
    if (uses == usesDropdown_) return;
    usesDropdown_ = uses;
    if (dropdownArrow_ || dropdownCombo_) Redraw(true);
}

void TToolbarButton::SetFlat(bool on) {
    if (on == flat_) return;
    flat_ = on;
    const tk::ControlStyle style = GetControlStyle();
    SetControlStyle((opaque_ || !flat_) ? style | tk::csOpaque : style & ~static_cast<unsigned>(tk::csOpaque));
    Redraw(true);
}

void TToolbarButton::SetOpaque(bool on) {
    if (on == opaque_) return;
    opaque_ = on;
    const tk::ControlStyle style = GetControlStyle();
    SetControlStyle((opaque_ || !flat_) ? style | tk::csOpaque : style & ~static_cast<unsigned>(tk::csOpaque));
    Invalidate();
}

bool TToolbarButton::LoadGlyphResource(const std::string& name) {
    tk::Bitmap picture;
    if (!picture.LoadFromResourceName(::GetModuleHandleA(nullptr), name)) return false;
    SetGlyph(picture);
    return true;
}

void TToolbarButton::SetGroupIndex(int index) {
    if (index == groupIndex_) return;
    groupIndex_ = index;
    UpdateExclusive();
}

void TToolbarButton::SetHighlightWhenDown(bool on) {
    if (on == highlightWhenDown_) return;
    highlightWhenDown_ = on;
    if (down_) Redraw(true);
}

void TToolbarButton::SetImageIndex(int index) { glyph_.SetImageIndex(index); }

void TToolbarButton::SetImages(tk::ImageList* images) {
    if (images == glyph_.Images()) return;
    if (glyph_.Images()) glyph_.Images()->RemoveFreeNotification(this);
    glyph_.SetImages(images);
    if (images) images->FreeNotification(this);
}

void TToolbarButton::SetLayout(TButtonLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    Redraw(true);
}

void TToolbarButton::SetMargin(int margin) {
    if (margin == margin_ || margin < -1) return;
    margin_ = margin;
    Redraw(true);
}

void TToolbarButton::SetNoBorder(bool on) {
    if (on == noBorder_) return;
    noBorder_ = on;
    Invalidate();
}

void TToolbarButton::SetNumGlyphs(int count) {
    count = std::clamp(count, 1, 5);
    if (count == glyph_.NumGlyphs()) return;
    glyph_.AssignNumGlyphs(count);
}

void TToolbarButton::SetSpacing(int spacing) {
    if (spacing == spacing_) return;
    spacing_ = spacing;
    Redraw(true);
}

void TToolbarButton::SetWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    Redraw(true);
}

// --- group rules ------------------------------------------------------------

void TToolbarButton::UpdateExclusive() {
    if (groupIndex_ == 0 || !Parent()) return;
    for (tk::Control* c : std::vector<tk::Control*>(Parent()->Children())) {
        auto* other = dynamic_cast<TToolbarButton*>(c);
        if (!other || other == this || other->groupIndex_ != groupIndex_) continue;
        if (down_ && other->down_) {
            other->down_ = false;
            other->state_ = bdsUp;
            other->Redraw(true);
        }
        other->allowAllUp_ = allowAllUp_;
    }
}

// --- painting ---------------------------------------------------------------

void TToolbarButton::Redraw(bool erase) {
    if ((opaque_ || !flat_) || !erase) {
        const tk::ControlStyle style = GetControlStyle();
        SetControlStyle(style | tk::csOpaque);
        Invalidate();
        SetControlStyle(style);
    } else {
        Invalidate();
    }
}

void TToolbarButton::Paint(tk::Canvas& canvas) {
    ButtonGlobals& g = G();
    const int w = Width();
    const int h = Height();
    if (w <= 0 || h <= 0) return;
    const bool buffered = opaque_ || !flat_;
    tk::Canvas* target = &canvas;
    if (buffered) {
        if (g.paintBuffer.Width() < w || g.paintBuffer.Height() < h)
            g.paintBuffer = tk::Bitmap(std::max(w, g.paintBuffer.Width()), std::max(h, g.paintBuffer.Height()));
        target = &g.paintBuffer.GetCanvas();
        target->brush = tk::Brush{GetColor()};
        target->FillRect(RECT{0, 0, w, h});
    }
    target->font = GetFont();
    HDC dc = target->Handle();
    RECT r{0, 0, w, h};
    const bool pushed = state_ == bdsDown || state_ == bdsExclusive;
    const bool combo = dropdownCombo_ && usesDropdown_;
    const bool sunkenMain = state_ == bdsExclusive || (state_ == bdsDown && !(combo && menuIsDown_));
    const bool showBorder = !noBorder_ && (!flat_ || pushed || (mouseInControl_ && state_ != bdsDisabled));
    const UINT edgeFlags = flat_ ? BF_RECT : BF_RECT | BF_MIDDLE | BF_SOFT;
    if (combo) {
        if (showBorder) {
            RECT arrowPart{w - dropdownArrowWidth_ - 2, 0, w, h};
            ::DrawEdge(dc, &arrowPart, kEdge[flat_][pushed && menuIsDown_], edgeFlags);
        }
        r.right -= dropdownArrowWidth_ + 2;
    }
    if (showBorder) ::DrawEdge(dc, &r, kEdge[flat_][sunkenMain], edgeFlags);
    if (!noBorder_) ::InflateRect(&r, flat_ ? -1 : -2, flat_ ? -1 : -2);
    int offset = 0;
    if (sunkenMain) {
        offset = 1;
        if (state_ == bdsExclusive && (!flat_ || !mouseInControl_) && !menuIsDown_ && highlightWhenDown_) {
            const COLORREF face = tk::ColorToRGB(tk::clBtnFace);
            const COLORREF highlight = tk::ColorToRGB(tk::clBtnHighlight);
            if (!g.checkerBrush) {
                g.checker = tk::Bitmap(8, 8);
                tk::Canvas& c = g.checker.GetCanvas();
                c.brush = tk::Brush{tk::clBtnFace};
                c.FillRect(RECT{0, 0, 8, 8});
                for (int y = 0; y < 8; ++y)
                    for (int x = y % 2; x < 8; x += 2) c.SetPixel(x, y, tk::clBtnHighlight);
                g.checker.Dormant();
                g.checkerBrush.Reset(::CreatePatternBrush(g.checker.Handle()));
                g.checkerFace = face;
                g.checkerHighlight = highlight;
            }
            ::FillRect(dc, &r, g.checkerBrush.Get());
        }
    }
    TButtonGlyph::FaceParams p;
    p.state = state_;
    p.arrowWidth = dropdownArrowWidth_;
    p.drawArrow = dropdownArrow_ && !dropdownCombo_ && usesDropdown_;
    p.spacing = spacing_;
    p.margin = margin_;
    p.layout = layout_;
    p.alignment = alignment_;
    p.wordWrap = wordWrap_;
    p.caption = Caption();
    p.drawCaption = displayMode_ != dmGlyphOnly;
    p.drawPicture = displayMode_ != dmTextOnly;
    p.offset = offset;
    glyph_.PaintButtonFace(*target, r, p);
    if (combo) TButtonGlyph::PaintDropArrow(*target, w - dropdownArrowWidth_ - 2, h / 2 - 1, dropdownArrowWidth_, state_);
    if (buffered) ::BitBlt(canvas.Handle(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
}

// --- hot tracking ------------------------------------------------------------

void TToolbarButton::TrackMouse(bool checkCursor, POINT at) {
    ButtonGlobals& g = G();
    if (g.buttonWithMouse == this) return;
    // The move came through the parent: its children tell what lies under the point.
    if (checkCursor && (!Parent() || Parent()->ControlAtPos(POINT{Left() + at.x, Top() + at.y}, true, true) != this))
        return;
    if (g.buttonWithMouse) {
        g.handingOver = true;
        g.buttonWithMouse->MouseLeft();
        g.handingOver = false;
    }
    if (g.appActive < 0) g.appActive = AppHasActiveWindow();
    if (showBorderWhenInactive_ || g.appActive) {
        g.buttonWithMouse = this;
        StartLeaveTimer();
        MouseEntered();
    } else {
        StopLeaveTimer();
        if (!checkCursor) MouseEntered();
    }
}

void TToolbarButton::MouseEntered() {
    if (!Enabled() || mouseInControl_) return;
    mouseInControl_ = true;
    if (state_ == bdsUp) state_ = bdsHot;
    if (flat_ || glyph_.NumGlyphs() == 5) Redraw(down_ || glyph_.NumGlyphs() == 5);
    if (OnMouseEnter && CanFireEvents()) OnMouseEnter(this);
}

void TToolbarButton::MouseLeft() {
    if (!Enabled() || !mouseInControl_ || mouseIsDown_) return;
    mouseInControl_ = false;
    StopBeingButtonWithMouse();
    const TButtonDrawState old = state_;
    if (state_ == bdsHot || (state_ == bdsDown && !inClick_)) state_ = (down_ && groupIndex_ != 0) ? bdsExclusive : bdsUp;
    if (flat_ || glyph_.NumGlyphs() == 5 || (old != bdsHot && old != state_)) Redraw(true);
    if (OnMouseExit && CanFireEvents()) OnMouseExit(this);
}

void TToolbarButton::StopBeingButtonWithMouse() {
    ButtonGlobals& g = G();
    if (g.buttonWithMouse != this) return;
    if (!g.handingOver) StopLeaveTimer();
    g.buttonWithMouse = nullptr;
}

// --- mouse --------------------------------------------------------------------

bool TToolbarButton::InMainPart(int x, int y) const {
    const int right = ClientWidth() - (dropdownCombo_ && usesDropdown_ ? dropdownArrowWidth_ + 2 : 0);
    return x >= 0 && x < right && y >= 0 && y < ClientHeight();
}

void TToolbarButton::MouseDown(tk::MouseButton button, tk::ShiftState shift, int x, int y) {
    if (!Enabled()) {
        Control::MouseDown(button, shift, x, y);
        return;
    }
    tk::LifeToken alive = Token();
    TrackMouse(false, POINT{x, y});
    if (button != tk::mbLeft) {
        Control::MouseDown(button, shift, x, y);
        return;
    }
    menuIsDown_ = usesDropdown_ && !(dropdownCombo_ && x < Width() - dropdownArrowWidth_ - 2);
    try {
        if (!down_) {
            state_ = bdsDown;
            Redraw(true);
        } else if (allowAllUp_) {
            Redraw(true);
        }
        if (!menuIsDown_) mouseIsDown_ = true;
        Control::MouseDown(button, shift, x, y);
        if (alive.Alive() && menuIsDown_) {
            Click();
        } else if (alive.Alive() && repeating_) {
            Click();
            if (alive.Alive()) {
                if (!repeatTimer_) {
                    repeatTimer_ = std::make_unique<RepeatTimer>();
                    repeatTimer_->onTick = [this, alive] {
                        // A clock-seam callback: nothing may unwind through it.
                        try {
                            if (alive.Alive()) RepeatTick();
                        } catch (...) {
                            tk::App().HandleException();
                        }
                    };
                }
                repeatTimer_->Disable();
                repeatTimer_->interval = static_cast<unsigned>(std::max(1, repeatDelay_));
                repeatTimer_->Enable();
            }
        }
    } catch (...) {
        if (alive.Alive()) menuIsDown_ = false;
        throw;
    }
    if (alive.Alive()) menuIsDown_ = false;
}

void TToolbarButton::MouseMove(tk::ShiftState shift, int x, int y) {
    tk::LifeToken alive = Token();
    Control::MouseMove(shift, x, y);
    if (!alive.Alive()) return;
    TrackMouse(true, POINT{x, y});
    if (!mouseIsDown_) return;
    const bool in = InMainPart(x, y);
    if (in && repeatTimer_) repeatTimer_->Enable();
    const TButtonDrawState next = down_ ? bdsExclusive : in ? bdsDown : bdsUp;
    if (next != state_) {
        state_ = next;
        Redraw(true);
    }
}

void TToolbarButton::RepeatTick() {
    if (!repeatTimer_) return;
    repeatTimer_->SetInterval(static_cast<unsigned>(std::max(1, repeatInterval_)));
    POINT p = ScreenToClient(tk::InputSeam()->CursorPos());
    if (repeating_ && mouseIsDown_ && MouseCapture() && InMainPart(p.x, p.y)) Click();
    else repeatTimer_->Disable();
}

void TToolbarButton::FreeRepeatTimer() { repeatTimer_.reset(); }

void TToolbarButton::MouseUp(tk::MouseButton button, tk::ShiftState shift, int x, int y) {
    tk::LifeToken alive = Token();
    FreeRepeatTimer();
    if (button == tk::mbRight && Enabled()) {
        mouseIsDown_ = false;
        MouseLeft();
    }
    Control::MouseUp(button, shift, x, y);
    if (!alive.Alive() || button != tk::mbLeft || !mouseIsDown_) return;
    mouseIsDown_ = false;
    if (InMainPart(x, y) && !repeating_) Click();
    else MouseLeft();
}

LRESULT TToolbarButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CANCELMODE:
        FreeRepeatTimer();
        if (mouseIsDown_) {
            mouseIsDown_ = false;
            MouseLeft();
        }
        return Control::WndProc(msg, wParam, lParam);
    case WM_SYSCOLORCHANGE: SysColorChange(); return 0;
    default: return Control::WndProc(msg, wParam, lParam);
    }
}

void TToolbarButton::DblClick() {
    if (down_) Control::DblClick();
}

void TToolbarButton::EnabledChanged() {
    if (!Enabled()) {
        state_ = bdsDisabled;
        mouseInControl_ = false;
        mouseIsDown_ = false;
        StopBeingButtonWithMouse();
        Perform(WM_CANCELMODE);
    } else if (state_ == bdsDisabled) {
        state_ = (down_ && groupIndex_ != 0) ? bdsExclusive : bdsUp;
    }
    Redraw(true);
}

void TToolbarButton::FontChanged() { Redraw(true); }

void TToolbarButton::TextChanged() { Redraw(true); }

void TToolbarButton::SysColorChange() {
    ButtonGlobals& g = G();
    if (g.checkerBrush && (tk::ColorToRGB(tk::clBtnFace) != g.checkerFace ||
                           tk::ColorToRGB(tk::clBtnHighlight) != g.checkerHighlight)) {
        g.checkerBrush.Reset();
        g.checker = tk::Bitmap();
    }
    glyph_.PictureChanged();
    glyph_.RenderStateImage(state_);
}

HPALETTE TToolbarButton::GetPalette() { return glyph_.Glyph().Palette(); }

void TToolbarButton::Loaded() {
    Control::Loaded();
    glyph_.RenderStateImage(Enabled() ? bdsUp : bdsDisabled);
}

void TToolbarButton::Notification(tk::Component* component, tk::Operation operation) {
    Control::Notification(component, operation);
    if (operation != tk::Operation::Remove) return;
    if (component == dropdownMenu_) {
        dropdownMenu_ = nullptr;
        UpdateUsesDropdown();
    }
    if (component && component == glyph_.Images()) glyph_.ImagesDestroyed();
}

void TToolbarButton::ActionChange(tk::BasicAction& action, bool checkDefaults) {
    tk::ApplyActionTo(*this, action, checkDefaults);
    auto* a = dynamic_cast<tk::Action*>(&action);
    if (!a) return;
    if (!checkDefaults || !down_) SetDown(a->Checked());
    if (!checkDefaults || helpContext_ == 0) SetHelpContext(a->HelpContext());
    if (!checkDefaults || ImageIndex() == -1) SetImageIndex(a->ImageIndex());
}

void TToolbarButton::AssignTo(tk::Action& action) const { action.SetChecked(down_); }

bool TToolbarButton::DialogChar(char key, tk::ShiftState shift) {
    if (displayMode_ == dmGlyphOnly || !Enabled() || !Visible()) return false;
    if (!Parent() || !Parent()->CanFocus()) return false;
    const std::string caption = Caption();
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        if (std::toupper(static_cast<unsigned char>(caption[i + 1])) == std::toupper(static_cast<unsigned char>(key))) {
            Click();
            return true;
        }
        break;
    }
    return Control::DialogChar(key, shift);
}

// --- click --------------------------------------------------------------------

void TToolbarButton::Click() {
    if (repeating_ && !menuIsDown_) {
        Control::Click();
        return;
    }
    // Handlers may free this button, its parent or its form: after each of
    // them only the token is read, and the clean-up runs only while it lives.
    tk::LifeToken alive = Token();
    inClick_ = true;
    try {
        if (groupIndex_ != 0 && !menuIsDown_) SetDown(!down_);
        const bool showDropdown = usesDropdown_ && (!dropdownCombo_ || menuIsDown_);
        if (StayDownInClick || showDropdown) {
            if (state_ == bdsUp || state_ == bdsHot) {
                state_ = bdsDown;
                Redraw(true);
            }
        } else if (state_ == bdsDown) {
            state_ = (down_ && groupIndex_ != 0) ? bdsExclusive : bdsUp;
            Redraw(true);
        }
        MouseLeft();
        if (!showDropdown) {
            if (tk::Form* form = ParentForm()) form->SetModalResult(modalResult_);
            Control::Click();
        } else {
            if (!dropdownCombo_) Control::Click();
            if (alive.Alive()) {
                SetMouseCapture(false);
                bool showMenu = dropdownMenu_ != nullptr;
                bool removeClicks = true;
                if (OnDropdown && CanFireEvents()) OnDropdown(this, showMenu, removeClicks);
                if (alive.Alive() && dropdownMenu_ && showMenu) ShowDropdownMenu();
                // The click that closed the menu on this button must not open it again.
                if (alive.Alive() && removeClicks) RemoveQueuedClicks();
            }
        }
    } catch (...) {
        if (alive.Alive()) EndClick();
        throw;
    }
    if (alive.Alive()) EndClick();
}

void TToolbarButton::EndClick() {
    inClick_ = false;
    if (state_ == bdsDown) state_ = bdsUp;
    if (IsDestroying()) return;
    Redraw(true);
    MouseLeft();
}

void TToolbarButton::ShowDropdownMenu() {
    tk::PopupMenu* menu = dropdownMenu_;
    tk::LifeToken menuAlive = menu->Token();
    const tk::PopupAlignment oldAlignment = menu->GetAlignment();
    const tk::TrackButton oldTrack = menu->GetTrackButton();
    auto restore = [&] {
        if (!menuAlive.Alive()) return;
        menu->SetAlignment(oldAlignment);
        menu->SetTrackButton(oldTrack);
    };
    menu->SetAlignment(tk::paLeft);
    POINT p{0, Height()};
    if (DockPosQuery) {
        switch (DockPosQuery(Parent())) {
        case dpLeft: p = POINT{Width(), 0}; break;
        case dpRight:
            p = POINT{0, 0};
            menu->SetAlignment(tk::paRight);
            break;
        default: break;
        }
    }
    p = ClientToScreen(p);
    // Every system this program runs on has the new-style controls.
    menu->SetTrackButton(tk::tbLeftButton);
    try {
        menu->Popup(p.x, p.y, this);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void TToolbarButton::RemoveQueuedClicks() {
    const POINT origin = ClientToScreen(POINT{0, 0});
    const RECT onButton{origin.x, origin.y, origin.x + Width(), origin.y + Height()};
    std::vector<MSG> kept;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE | PM_NOYIELD)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: {
            POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            ::ClientToScreen(msg.hwnd, &pt);
            if (::PtInRect(&onButton, pt)) continue;
            break;
        }
        default: break;
        }
        kept.push_back(msg);
    }
    for (const MSG& m : kept) ::PostMessageA(m.hwnd, m.message, m.wParam, m.lParam);
}

// ===========================================================================
// Registration

namespace {

const tk::IdentTable kDisplayModeIdents = {{"dmBoth", dmBoth}, {"dmGlyphOnly", dmGlyphOnly}, {"dmTextOnly", dmTextOnly}};
const tk::IdentTable kLayoutIdents = {{"blGlyphLeft", blGlyphLeft},
                                      {"blGlyphRight", blGlyphRight},
                                      {"blGlyphTop", blGlyphTop},
                                      {"blGlyphBottom", blGlyphBottom}};
const tk::IdentTable kAlignmentIdents = {
    {"taLeftJustify", tk::taLeftJustify}, {"taRightJustify", tk::taRightJustify}, {"taCenter", tk::taCenter}};
const tk::IdentTable kModalResultIdents = {{"mrNone", tk::mrNone}, {"mrOk", tk::mrOk},   {"mrCancel", tk::mrCancel},
                                           {"mrAbort", tk::mrAbort}, {"mrRetry", tk::mrRetry}, {"mrIgnore", tk::mrIgnore},
                                           {"mrYes", tk::mrYes},   {"mrNo", tk::mrNo}};

void ReadGlyph(TToolbarButton& b, const tk::Value& v, tk::ReadContext& ctx) {
    if (v.kind != tk::Value::Kind::Binary) ctx.Fail("expected bitmap data");
    tk::Bitmap picture;
    if (!picture.LoadFromData(v.binary.data(), v.binary.size())) ctx.Fail("bitmap data is not a BMP picture");
    b.SetGlyph(picture);
}

void ReadGlyphMask(TToolbarButton& b, const tk::Value& v, tk::ReadContext& ctx) {
    if (v.kind != tk::Value::Kind::Binary) ctx.Fail("expected bitmap data");
    tk::Bitmap picture;
    if (!picture.LoadFromData(v.binary.data(), v.binary.size())) ctx.Fail("bitmap data is not a BMP picture");
    b.SetGlyphMask(picture);
}

const tk::ClassRegistration<TToolbarButton> kToolbarButtonReg(
    "TToolbarButton", "TControl", [](tk::ClassBuilder<TToolbarButton>& c) {
        c.Property("AllowAllUp", &TToolbarButton::AllowAllUp, &TToolbarButton::SetAllowAllUp)
            .Property("Alignment", &TToolbarButton::GetAlignment, &TToolbarButton::SetAlignment, &kAlignmentIdents)
            .Property("Cancel", &TToolbarButton::Cancel, &TToolbarButton::SetCancel)
            .Property("Default", &TToolbarButton::Default, &TToolbarButton::SetDefault)
            .Property("DisplayMode", &TToolbarButton::DisplayMode, &TToolbarButton::SetDisplayMode,
                      &kDisplayModeIdents)
            .Property("Down", &TToolbarButton::Down, &TToolbarButton::SetDown)
            .Property("DropdownAlways", &TToolbarButton::DropdownAlways, &TToolbarButton::SetDropdownAlways)
            .Property("DropdownArrow", &TToolbarButton::DropdownArrow, &TToolbarButton::SetDropdownArrow)
            .Property("DropdownArrowWidth", &TToolbarButton::DropdownArrowWidth,
                      &TToolbarButton::SetDropdownArrowWidth)
            .Property("DropdownCombo", &TToolbarButton::DropdownCombo, &TToolbarButton::SetDropdownCombo)
            .Property("DropdownMenu", &TToolbarButton::DropdownMenu, &TToolbarButton::SetDropdownMenu)
            .Property("Flat", &TToolbarButton::Flat, &TToolbarButton::SetFlat)
            .Property("GroupIndex", &TToolbarButton::GroupIndex, &TToolbarButton::SetGroupIndex)
            .Property("HelpContext", &TToolbarButton::HelpContext, &TToolbarButton::SetHelpContext)
            .Property("HighlightWhenDown", &TToolbarButton::HighlightWhenDown, &TToolbarButton::SetHighlightWhenDown)
            .Property("ImageIndex", &TToolbarButton::ImageIndex, &TToolbarButton::SetImageIndex)
            .Property("Images", &TToolbarButton::Images, &TToolbarButton::SetImages)
            .Property("Layout", &TToolbarButton::Layout, &TToolbarButton::SetLayout, &kLayoutIdents)
            .Property("Margin", &TToolbarButton::Margin, &TToolbarButton::SetMargin)
            .Property("ModalResult", &TToolbarButton::ModalResult, &TToolbarButton::SetModalResult,
                      &kModalResultIdents)
            .Property("NoBorder", &TToolbarButton::NoBorder, &TToolbarButton::SetNoBorder)
            .Property("NumGlyphs", &TToolbarButton::NumGlyphs, &TToolbarButton::SetNumGlyphs)
            .Property("OldDisabledStyle", &TToolbarButton::OldDisabledStyle, &TToolbarButton::SetOldDisabledStyle)
            .Property("Opaque", &TToolbarButton::Opaque, &TToolbarButton::SetOpaque)
            .Property("Repeating", &TToolbarButton::Repeating, &TToolbarButton::SetRepeating)
            .Property("RepeatDelay", &TToolbarButton::RepeatDelay, &TToolbarButton::SetRepeatDelay)
            .Property("RepeatInterval", &TToolbarButton::RepeatInterval, &TToolbarButton::SetRepeatInterval)
            .Property("ShowBorderWhenInactive", &TToolbarButton::ShowBorderWhenInactive,
                      &TToolbarButton::SetShowBorderWhenInactive)
            .Property("Spacing", &TToolbarButton::Spacing, &TToolbarButton::SetSpacing)
            .Property("Version", &TToolbarButton::Version, &TToolbarButton::SetVersion)
            .Property("WordWrap", &TToolbarButton::WordWrap, &TToolbarButton::SetWordWrap)
            .Event("OnDropdown", &TToolbarButton::OnDropdown)
            .Event("OnMouseExit", &TToolbarButton::OnMouseExit)
            .Custom("Glyph.Data", ReadGlyph)
            .Custom("Glyph", ReadGlyph)
            .Custom("GlyphMask.Data", ReadGlyphMask)
            .Custom("GlyphMask", ReadGlyphMask)
            // A bitmap resource of the program file, e.g. GlyphResource = 'GLYPH_READFLASH'.
            .Custom("GlyphResource", [](TToolbarButton& b, const tk::Value& v, tk::ReadContext& ctx) {
                if (v.kind != tk::Value::Kind::String) ctx.Fail("expected a resource name");
                if (!b.LoadGlyphResource(v.text)) ctx.Fail("no bitmap resource '" + v.text + "'");
            });
    });

}  // namespace
