// ImgList: a list of same-sized images with masks over the system image
// list. Indexes stay stable under Replace; holders (menus, buttons, glyph
// caches) register a change callback to hear about every change.
#pragma once

#include "toolkit/Component.h"
#include "toolkit/Graphics.h"

#include <commctrl.h>

#include <functional>
#include <vector>

namespace tk {

class Canvas;

struct ImageListDeleter {
    void operator()(HIMAGELIST h) const { ::ImageList_Destroy(h); }
};
using ImageListHandle = UniqueHandle<HIMAGELIST, ImageListDeleter>;

enum DrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum ImageType { itImage, itMask };

class ImageList : public Component {
public:
    ImageList();
    ImageList(int width, int height);
    ~ImageList() override;

    int Width() const { return width_; }
    void SetWidth(int w);
    int Height() const { return height_; }
    void SetHeight(int h);
    bool Masked() const { return masked_; }
    void SetMasked(bool on);
    Color BkColor() const { return bkColor_; }
    void SetBkColor(Color c);
    int AllocBy() const { return allocBy_; }
    void SetAllocBy(int n) { allocBy_ = n; }
    DrawingStyle GetDrawingStyle() const { return drawingStyle_; }
    void SetDrawingStyle(DrawingStyle s) { drawingStyle_ = s; }

    HIMAGELIST Handle();
    int Count() const;

    // Appends the picture (it may hold several images side by side); returns
    // the index of the first, -1 on failure. `mask`: white = transparent.
    int Add(const Bitmap& image, const Bitmap* mask = nullptr);
    // Pixels of maskColor become transparent.
    int AddMasked(const Bitmap& image, Color maskColor);
    // Throws EInvalidOperation for an index outside the list.
    void Replace(int index, const Bitmap& image, const Bitmap* mask = nullptr);
    void Delete(int index);
    void Clear();

    void Draw(Canvas& canvas, int x, int y, int index, bool enabled = true);
    void Draw(HDC dc, int x, int y, int index, DrawingStyle style, ImageType type = itImage, bool enabled = true);
    // The image (or its mask) as a bitmap of Width x Height.
    void GetBitmap(int index, Bitmap& out, ImageType type = itImage);

    // Called after every change; returns a number for UnRegisterChanges.
    int RegisterChanges(std::function<void()> onChange);
    void UnRegisterChanges(int id);

private:
    void Recreate();
    void Change();

    int width_ = 16;
    int height_ = 16;
    bool masked_ = true;
    Color bkColor_ = clNone;
    int allocBy_ = 4;
    DrawingStyle drawingStyle_ = dsNormal;
    ImageListHandle handle_;
    std::vector<std::pair<int, std::function<void()>>> links_;
    int nextLink_ = 1;
};

}  // namespace tk
