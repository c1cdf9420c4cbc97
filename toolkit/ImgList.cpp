// ImgList: the image list over the system's image list.
#include "toolkit/ImgList.h"

#include "toolkit/Canvas.h"
#include "toolkit/Control.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Streaming.h"

#include <algorithm>

namespace tk {

namespace {

// A monochrome mask of `image`: set where it has the colour `key`.
BitmapHandle MaskFromColor(const Bitmap& image, Color key) {
    Bitmap& src = const_cast<Bitmap&>(image);
    BitmapHandle mask(::CreateBitmap(image.Width(), image.Height(), 1, 1, nullptr));
    auto dc = CreateMemoryDC();
    SelectGuard sel(dc.Get(), mask.Get());
    HDC from = src.DC();
    COLORREF old = ::SetBkColor(from, ColorToRGB(key));
    ::BitBlt(dc.Get(), 0, 0, image.Width(), image.Height(), from, 0, 0, SRCCOPY);
    ::SetBkColor(from, old);
    return mask;
}

}  // namespace

ImageList::ImageList() { ::InitCommonControls(); }

ImageList::ImageList(int width, int height) : width_(width), height_(height) { ::InitCommonControls(); }

ImageList::~ImageList() = default;

HIMAGELIST ImageList::Handle() {
    if (!handle_) {
        UINT flags = ILC_COLOR24 | (masked_ ? ILC_MASK : 0);
        handle_.Reset(::ImageList_Create(width_, height_, flags, 0, std::max(1, allocBy_)));
        if (bkColor_ != clNone) ::ImageList_SetBkColor(handle_.Get(), ColorToRGB(bkColor_));
    }
    return handle_.Get();
}

int ImageList::Count() const { return handle_ ? ::ImageList_GetImageCount(handle_.Get()) : 0; }

void ImageList::Recreate() {
    // A new size or mask mode empties the list, as the system list cannot convert.
    handle_.Reset();
    Change();
}

void ImageList::SetWidth(int w) {
    if (w == width_ || w <= 0) return;
    width_ = w;
    Recreate();
}

void ImageList::SetHeight(int h) {
    if (h == height_ || h <= 0) return;
    height_ = h;
    Recreate();
}

void ImageList::SetMasked(bool on) {
    if (on == masked_) return;
    masked_ = on;
    Recreate();
}

void ImageList::SetBkColor(Color c) {
    bkColor_ = c;
    if (handle_) ::ImageList_SetBkColor(handle_.Get(), c == clNone ? CLR_NONE : ColorToRGB(c));
    Change();
}

int ImageList::Add(const Bitmap& image, const Bitmap* mask) {
    if (image.Empty()) return -1;
    Bitmap copy(image);
    copy.Dormant();
    Bitmap maskCopy;
    if (mask && !mask->Empty()) {
        maskCopy = *mask;
        maskCopy.Dormant();
    }
    const int index = ::ImageList_Add(Handle(), copy.Handle(), maskCopy.Empty() ? nullptr : maskCopy.Handle());
    if (index >= 0) Change();
    return index;
}

int ImageList::AddMasked(const Bitmap& image, Color maskColor) {
    if (image.Empty()) return -1;
    BitmapHandle mask = MaskFromColor(image, maskColor);
    Bitmap copy(image);
    // Transparent pixels go black so that the masked draw shows the ground.
    {
        Canvas& c = copy.GetCanvas();
        auto maskDC = CreateMemoryDC();
        SelectGuard sel(maskDC.Get(), mask.Get());
        // Mask bits 1 (transparent) become white, so D & ~S clears them.
        COLORREF oldText = ::SetTextColor(c.Handle(), RGB(0, 0, 0));
        COLORREF oldBk = ::SetBkColor(c.Handle(), RGB(255, 255, 255));
        ::BitBlt(c.Handle(), 0, 0, copy.Width(), copy.Height(), maskDC.Get(), 0, 0, 0x00220326 /* DSna */);
        ::SetTextColor(c.Handle(), oldText);
        ::SetBkColor(c.Handle(), oldBk);
    }
    copy.Dormant();
    const int index = ::ImageList_Add(Handle(), copy.Handle(), masked_ ? mask.Get() : nullptr);
    if (index >= 0) Change();
    return index;
}

void ImageList::Replace(int index, const Bitmap& image, const Bitmap* mask) {
    if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid image list index");
    Bitmap copy(image);
    copy.Dormant();
    Bitmap maskCopy;
    if (mask && !mask->Empty()) {
        maskCopy = *mask;
        maskCopy.Dormant();
    }
    if (!::ImageList_Replace(Handle(), index, copy.Handle(), maskCopy.Empty() ? nullptr : maskCopy.Handle()))
        throw EInvalidOperation("Unable to Replace Image");
    Change();
}

void ImageList::Delete(int index) {
    if (!handle_ || index < 0 || index >= Count()) return;
    ::ImageList_Remove(handle_.Get(), index);
    Change();
}

void ImageList::Clear() {
    if (!handle_) return;
    ::ImageList_Remove(handle_.Get(), -1);
    Change();
}

void ImageList::Draw(HDC dc, int x, int y, int index, DrawingStyle style, ImageType type, bool enabled) {
    if (!handle_ || index < 0 || index >= Count()) return;
    UINT flags = 0;
    switch (style) {
    case dsFocus: flags = ILD_FOCUS; break;
    case dsSelected: flags = ILD_SELECTED; break;
    case dsNormal: flags = ILD_NORMAL; break;
    case dsTransparent: flags = ILD_TRANSPARENT; break;
    }
    if (type == itMask) flags |= ILD_MASK;
    if (enabled || type == itMask) {
        ::ImageList_Draw(handle_.Get(), index, dc, x, y, flags);
        return;
    }
    // Disabled: the image's shape embossed in the 3-D colours.
    BitmapHandle mask(::CreateBitmap(width_, height_, 1, 1, nullptr));
    auto maskDC = CreateMemoryDC();
    SelectGuard sel(maskDC.Get(), mask.Get());
    ::PatBlt(maskDC.Get(), 0, 0, width_, height_, WHITENESS);
    ::ImageList_Draw(handle_.Get(), index, maskDC.Get(), 0, 0, ILD_TRANSPARENT);
    COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
    COLORREF oldBk = ::SetBkColor(dc, RGB(255, 255, 255));
    auto paint = [&](Color c, int dx, int dy) {
        BrushHandle brush = CreateSolidBrush(c);
        SelectGuard b(dc, brush.Get());
        ::BitBlt(dc, x + dx, y + dy, width_, height_, maskDC.Get(), 0, 0, 0x00B8074A);
    };
    paint(clBtnHighlight, 1, 1);
    paint(clBtnShadow, 0, 0);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBk);
}

void ImageList::Draw(Canvas& canvas, int x, int y, int index, bool enabled) {
    Draw(canvas.Handle(), x, y, index, drawingStyle_, itImage, enabled);
}

void ImageList::GetBitmap(int index, Bitmap& out, ImageType type) {
    out = Bitmap(width_, height_);
    Canvas& c = out.GetCanvas();
    c.brush.color = type == itMask ? clWhite : (bkColor_ == clNone ? clBtnFace : bkColor_);
    c.FillRect({0, 0, width_, height_});
    Draw(c.Handle(), 0, 0, index, type == itMask ? dsNormal : dsTransparent, type, true);
}

int ImageList::RegisterChanges(std::function<void()> onChange) {
    const int id = nextLink_++;
    links_.emplace_back(id, std::move(onChange));
    return id;
}

void ImageList::UnRegisterChanges(int id) {
    links_.erase(std::remove_if(links_.begin(), links_.end(), [id](const auto& l) { return l.first == id; }),
                 links_.end());
}

void ImageList::Change() {
    if (IsDestroying() || IsLoading()) return;
    auto links = links_;
    for (auto& link : links) link.second();
}

// ---------------------------------------------------------------------------
// Registration

namespace {

// Images in a description: a .bmp strip, cut into Width-wide images whose
// bottom-left pixel's colour is transparent.
void ReadImages(ImageList& list, const Value& v, ReadContext& ctx) {
    if (v.kind != Value::Kind::Binary) ctx.Fail("expected bitmap data");
    Bitmap strip;
    if (!strip.LoadFromData(v.binary.data(), v.binary.size())) ctx.Fail("bitmap data is not a BMP picture");
    list.Clear();
    list.AddMasked(strip, strip.TransparentColor());
}

const ClassRegistration<ImageList> kImageListReg("TImageList", "TComponent", [](ClassBuilder<ImageList>& c) {
    c.Property("Width", &ImageList::Width, &ImageList::SetWidth)
        .Property("Height", &ImageList::Height, &ImageList::SetHeight)
        .Property("Masked", &ImageList::Masked, &ImageList::SetMasked)
        .Property("AllocBy", &ImageList::AllocBy, &ImageList::SetAllocBy)
        .Custom("BkColor", [](ImageList& l, const Value& v, ReadContext& ctx) { l.SetBkColor(ColorFromValue(v, ctx)); })
        .Custom("Bitmap", ReadImages);
});

}  // namespace

}  // namespace tk

namespace tk {
// Pulled in by StandardClasses.cpp, so that classes created only by name
// from descriptions are never left out of a program by the linker.
extern const int kLinkUnitImgList = 1;
}  // namespace tk
