// Button glyphs: strips, the generated and the strip's own disabled look,
// shared lists with stable slots, the face layout, and no GDI handle left
// behind by many buttons coming and going.
#include "toolbars/BarButtons.h"
#include "toolkit/Canvas.h"
#include "toolbars_support.h"

#include <gtest/gtest.h>

using bartest::Dib;
using bartest::Px;

namespace {

constexpr tk::Color kOlive = tk::clOlive;  // the transparent colour of the test pictures

// A strip of `count` 16 x 16 images on olive; image i has a filled square of
// colours[i] at (4, 4)-(11, 11).
tk::Bitmap Strip(int count, const std::vector<tk::Color>& colours, int size = 16) {
    tk::Bitmap b = tk::Bitmap::CreateDIB(size * count, size);
    tk::Canvas& c = b.GetCanvas();
    c.brush = tk::Brush{kOlive};
    c.FillRect(RECT{0, 0, size * count, size});
    for (int i = 0; i < count; ++i) {
        c.brush = tk::Brush{colours[static_cast<std::size_t>(i)]};
        c.FillRect(RECT{size * i + 4, 4, size * i + 12, 12});
    }
    b.Dormant();
    return b;
}

// Draws a state's image onto a 40 x 40 white DIB at (10, 10).
tk::Bitmap Drawn(TButtonGlyph& glyph, TButtonDrawState state) {
    tk::Bitmap out = tk::Bitmap::CreateDIB(40, 40);
    tk::Canvas& c = out.GetCanvas();
    c.brush = tk::Brush{tk::clWhite};
    c.FillRect(RECT{0, 0, 40, 40});
    glyph.PaintPicture(c, POINT{10, 10}, state);
    return out;
}

}  // namespace

TEST(Glyphs, AStripCountsItsSquareImagesUpToFive) {
    TButtonGlyph glyph;
    const std::vector<std::pair<int, int>> widthToCount = {{16, 1}, {32, 2}, {48, 3}, {64, 4},
                                                           {80, 5}, {96, 1}, {40, 1}};
    for (auto [width, count] : widthToCount) {
        glyph.AssignGlyph(tk::Bitmap(width, 16));
        EXPECT_EQ(glyph.NumGlyphs(), count) << width;
    }
    glyph.AssignNumGlyphs(0);
    EXPECT_EQ(glyph.NumGlyphs(), 1);
}

TEST(Glyphs, EachStateShowsItsOwnImageOrElseTheUpImage) {
    const std::vector<tk::Color> colours = {tk::clRed, tk::clGray, tk::clBlue, tk::clLime, tk::clYellow};
    for (int count = 1; count <= 5; ++count) {
        TButtonGlyph glyph;
        glyph.AssignGlyph(Strip(count, colours));
        ASSERT_EQ(glyph.NumGlyphs(), count);
        for (TButtonDrawState s : {bdsUp, bdsDown, bdsExclusive, bdsHot}) {
            tk::Bitmap out = Drawn(glyph, s);
            const int expected = s < count ? s : bdsUp;
            EXPECT_EQ(Px(out, 17, 17), Dib(colours[static_cast<std::size_t>(expected)])) << count << "/" << int(s);
            EXPECT_EQ(Px(out, 11, 11), 0xFFFFFFu) << "the olive ground is transparent";
        }
    }
}

TEST(Glyphs, TheGeneratedDisabledImageIsEmbossedAndOnePixelLarger) {
    TButtonGlyph glyph;
    glyph.AssignGlyph(Strip(1, {tk::clBlack}));
    const TRenderedImage image = glyph.RenderStateImage(bdsDisabled);
    ASSERT_EQ(image.Kind, 0);
    ASSERT_GE(image.Index, 0);
    EXPECT_EQ(glyph.GlyphLists(0)->Width(), 17);
    EXPECT_EQ(glyph.GlyphLists(0)->Height(), 17);
    tk::Bitmap out = Drawn(glyph, bdsDisabled);
    // The square (14..21) in shadow; its highlight one pixel lower right shows past it.
    EXPECT_EQ(Px(out, 14, 14), Dib(tk::clBtnShadow));
    EXPECT_EQ(Px(out, 21, 21), Dib(tk::clBtnShadow));
    EXPECT_EQ(Px(out, 22, 22), Dib(tk::clBtnHighlight));
    EXPECT_EQ(Px(out, 22, 15), Dib(tk::clBtnHighlight));
    EXPECT_EQ(Px(out, 13, 13), 0xFFFFFFu);  // outside the shape: transparent
    EXPECT_EQ(Px(out, 26, 26), 0xFFFFFFu);
}

TEST(Glyphs, AStripsOwnDisabledImageTakesTheSystemColours) {
    TButtonGlyph glyph;
    tk::Bitmap strip = Strip(2, {tk::clRed, tk::clGray});
    {
        tk::Canvas& c = strip.GetCanvas();
        c.brush = tk::Brush{tk::clWhite};
        c.FillRect(RECT{16 + 6, 6, 16 + 10, 10});
        strip.Dormant();
    }
    glyph.AssignGlyph(strip);
    tk::Bitmap out = Drawn(glyph, bdsDisabled);
    EXPECT_EQ(Px(out, 14, 14), Dib(tk::clBtnShadow));      // grey
    EXPECT_EQ(Px(out, 17, 17), Dib(tk::clBtnHighlight));   // white
    EXPECT_EQ(Px(out, 26, 26), 0xFFFFFFu);                 // the added row and column are transparent
}

TEST(Glyphs, GlyphsOfOneSizeShareOneListWithStableSlots) {
    auto a = std::make_unique<TButtonGlyph>();
    TButtonGlyph b;
    a->AssignGlyph(Strip(1, {tk::clRed}));
    b.AssignGlyph(Strip(1, {tk::clBlue}));
    const TRenderedImage ia = a->RenderStateImage(bdsUp);
    const TRenderedImage ib = b.RenderStateImage(bdsUp);
    ASSERT_EQ(a->GlyphLists(1), b.GlyphLists(1));
    EXPECT_NE(ia.Index, ib.Index);
    TGlyphList* shared = b.GlyphLists(1);
    EXPECT_EQ(shared->Count(), 2);
    a.reset();  // frees a's slot, keeps b's number and picture
    EXPECT_EQ(shared->Count(), 1);
    EXPECT_EQ(b.RenderStateImage(bdsUp).Index, ib.Index);
    EXPECT_EQ(Px(Drawn(b, bdsUp), 17, 17), Dib(tk::clBlue));
    TButtonGlyph c;
    c.AssignGlyph(Strip(1, {tk::clLime}));
    EXPECT_EQ(c.RenderStateImage(bdsUp).Index, ia.Index);  // the freed slot is reused
    EXPECT_EQ(Px(Drawn(b, bdsUp), 17, 17), Dib(tk::clBlue));
    EXPECT_EQ(Px(Drawn(c, bdsUp), 17, 17), Dib(tk::clLime));
}

TEST(Glyphs, FaceLayoutCentresAPictureInAFlatButton) {
    TButtonGlyph glyph;
    glyph.AssignGlyph(Strip(1, {tk::clRed}));
    tk::Bitmap canvasOwner = tk::Bitmap::CreateDIB(40, 40);
    TButtonGlyph::FaceParams p;
    p.caption = "";
    const auto layout = glyph.ComputeFaceLayout(canvasOwner.GetCanvas(), RECT{1, 1, 22, 21}, p);
    EXPECT_EQ(layout.glyph.x, 4);
    EXPECT_EQ(layout.glyph.y, 3);
    // A caption without picture asked to go below one is laid out from the left.
    TButtonGlyph empty;
    p.caption = "Go";
    p.layout = blGlyphTop;
    p.margin = 2;
    const auto text = empty.ComputeFaceLayout(canvasOwner.GetCanvas(), RECT{0, 0, 60, 22}, p);
    EXPECT_EQ(text.text.left, 2);
    EXPECT_LT(text.text.top, 11);
    EXPECT_GT(text.text.bottom, 11);
}

TEST(Glyphs, ManyButtonsComingAndGoingLeaveNoHandleBehind) {
    auto paintAll = [](TToolbarButton& b) {
        tk::Bitmap out = tk::Bitmap::CreateDIB(23, 22);
        b.Paint(out.GetCanvas());
    };
    tk::Bitmap picture = Strip(1, {tk::clRed});
    {
        // Warm up what stays for the process (stock objects, the screen DC's state).
        TToolbarButton warm;
        warm.SetGlyph(picture);
        paintAll(warm);
    }
    ASSERT_EQ(GlyphCache(), nullptr);  // the last glyph took the cache with it
    const long gdi = tk::LiveGdiHandles();
    const long lists = tk::ImageListHandle::Live();
    for (int i = 0; i < 1000; ++i) {
        TToolbarButton button;
        button.SetGlyph(picture);
        paintAll(button);
        button.SetEnabled(false);
        paintAll(button);
        button.SetEnabled(true);
        button.SetDown(true);
        paintAll(button);
    }
    EXPECT_EQ(tk::LiveGdiHandles(), gdi);
    EXPECT_EQ(tk::ImageListHandle::Live(), lists);
    EXPECT_EQ(GlyphCache(), nullptr);
}

TEST(Glyphs, TheProgramsButtonPicturesLoadAndHaveADisabledLook) {
    const char* names[] = {"OPENFLASH", "OPENEEPROM", "SAVEFLASH", "SAVEEEPROM", "EXITAPP",     "CHIPID",
                           "ERASECHIP", "CLONE",      "FILL",      "READFLASH",  "READEEPROM",  "READALL",
                           "WRITEFLASH", "WRITEEEPROM", "WRITEALL", "VERFLASH",  "VEREEPROM",   "VERALL",
                           "HEX",       "DEC",        "ASC"};
    for (const char* name : names) {
        TToolbarButton button;
        ASSERT_TRUE(button.LoadGlyphResource(std::string("GLYPH_") + name)) << name;
        EXPECT_EQ(button.Glyph().Width(), 16);
        EXPECT_EQ(button.NumGlyphs(), 1);
        // Enabled and disabled, the picture leaves marks of its own on the face.
        for (bool enabled : {true, false}) {
            button.SetEnabled(enabled);
            tk::Bitmap out = tk::Bitmap::CreateDIB(23, 22);
            button.Paint(out.GetCanvas());
            int marked = 0;
            for (int y = 3; y < 19; ++y)
                for (int x = 4; x < 20; ++x)
                    if (Px(out, x, y) != Dib(tk::clBtnFace)) ++marked;
            EXPECT_GT(marked, 20) << name << (enabled ? " enabled" : " disabled");
        }
    }
}
