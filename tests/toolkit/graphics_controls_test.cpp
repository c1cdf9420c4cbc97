// Canvas and Bitmap painting checked on 32-bit DIB sections, plus the colour
// name table that window descriptions use.
#include "toolkit/Canvas.h"
#include "toolkit/Graphics.h"

#include <gtest/gtest.h>

using namespace tk;

namespace {

// Pixel as 0x00RRGGBB, the layout of a 32-bit DIB.
std::uint32_t Px(const Bitmap& b, int x, int y) {
    ::GdiFlush();
    return b.Bits()[y * b.Width() + x] & 0xFFFFFF;
}

std::uint32_t Dib(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

}  // namespace

TEST(Graphics, ColoursResolveSystemIndicesAndParseNames) {
    EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
    EXPECT_EQ(ColorToRGB(clBtnFace), ::GetSysColor(COLOR_BTNFACE));
    Color c = 0;
    ASSERT_TRUE(IdentToColor("clBtnFace", c));
    EXPECT_EQ(c, clBtnFace);
    ASSERT_TRUE(IdentToColor("clLime", c));
    EXPECT_EQ(ColorToRGB(c), RGB(0, 255, 0));
    ASSERT_TRUE(IdentToColor("$0000FFFF", c));
    EXPECT_EQ(c, clYellow);
    EXPECT_FALSE(IdentToColor("clNoSuchColour", c));
    EXPECT_EQ(ColorToIdent(clWindow), "clWindow");
}

TEST(Canvas, ShapesUseTheCurrentPenAndBrush) {
    Bitmap b = Bitmap::CreateDIB(40, 30);
    ASSERT_NE(b.Bits(), nullptr);
    Canvas& c = b.GetCanvas();
    c.brush.color = clWhite;
    c.FillRect({0, 0, 40, 30});
    c.pen.color = clRed;
    c.brush.color = clBlue;
    c.Rectangle(5, 5, 20, 15);
    EXPECT_EQ(Px(b, 5, 5), 0xFF0000u);    // outline
    EXPECT_EQ(Px(b, 19, 14), 0xFF0000u);  // outline, last pixel inside
    EXPECT_EQ(Px(b, 10, 10), 0x0000FFu);  // fill
    EXPECT_EQ(Px(b, 20, 15), 0xFFFFFFu);  // right/bottom are exclusive
    c.pen.color = clLime;
    c.Line(0, 25, 40, 25);
    EXPECT_EQ(Px(b, 30, 25), 0x00FF00u);
    c.brush.style = BrushStyle::Clear;
    c.pen.color = clBlack;
    c.Rectangle(22, 2, 38, 12);
    EXPECT_EQ(Px(b, 30, 7), 0xFFFFFFu);  // a clear brush leaves the inside
}

TEST(Canvas, TextIsDrawnInTheFontColourOverTheBrush) {
    Bitmap b = Bitmap::CreateDIB(120, 30);
    Canvas& c = b.GetCanvas();
    c.brush.color = clYellow;
    c.FillRect({0, 0, 120, 30});
    c.font.name = "Arial";
    c.font.height = -16;
    c.font.color = clRed;
    c.brush.style = BrushStyle::Clear;
    SIZE ext = c.TextExtent("WWW");
    ASSERT_GT(ext.cx, 0);
    EXPECT_GT(c.TextWidth("WWWWWW"), ext.cx);
    c.TextOut(2, 2, "WWW");
    int red = 0, other = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) {
            std::uint32_t p = Px(b, x, y);
            if (p == 0xFF0000u)
                ++red;
            else if (p != 0xFFFF00u)
                ++other;
        }
    EXPECT_GT(red, 10);
    // Clear brush: no background box around the glyphs (anti-aliasing may mix).
    EXPECT_EQ(Px(b, 110, 25), 0xFFFF00u);
    (void)other;
}

TEST(Canvas, BitmapsDrawStretchAndHonourTheTransparentColour) {
    Bitmap glyph = Bitmap::CreateDIB(4, 4);
    {
        Canvas& g = glyph.GetCanvas();
        g.brush.color = clFuchsia;
        g.FillRect({0, 0, 4, 4});
        g.brush.color = clNavy;
        g.FillRect({1, 1, 3, 3});
    }
    EXPECT_EQ(glyph.TransparentColor(), clFuchsia);

    Bitmap b = Bitmap::CreateDIB(30, 20);
    Canvas& c = b.GetCanvas();
    c.brush.color = clWhite;
    c.FillRect({0, 0, 30, 20});
    c.Draw(0, 0, glyph);
    EXPECT_EQ(Px(b, 0, 0), 0xFF00FFu);
    EXPECT_EQ(Px(b, 1, 1), 0x000080u);
    c.DrawTransparent(10, 0, glyph, glyph.TransparentColor());
    EXPECT_EQ(Px(b, 10, 0), 0xFFFFFFu);
    EXPECT_EQ(Px(b, 11, 1), 0x000080u);
    c.StretchDraw({20, 0, 28, 8}, glyph);
    EXPECT_EQ(Px(b, 20, 0), 0xFF00FFu);
    EXPECT_EQ(Px(b, 22, 2), 0x000080u);
    EXPECT_EQ(Px(b, 25, 5), 0x000080u);
    EXPECT_EQ(Px(b, 27, 7), 0xFF00FFu);
}

TEST(Bitmap, CopiesAreIndependentAndResizingKeepsThePicture) {
    Bitmap a(8, 8, PixelFormat::Bit32);
    a.GetCanvas().brush.color = clGreen;
    a.GetCanvas().FillRect({0, 0, 8, 8});
    Bitmap copy(a);
    copy.GetCanvas().brush.color = clRed;
    copy.GetCanvas().FillRect({0, 0, 4, 4});
    EXPECT_EQ(a.Pixel(0, 0), clGreen);
    EXPECT_EQ(copy.Pixel(0, 0), clRed);
    EXPECT_EQ(copy.Pixel(7, 7), clGreen);

    int changes = 0;
    a.OnChange = [&] { ++changes; };
    a.SetSize(16, 4);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(a.Width(), 16);
    EXPECT_EQ(a.Pixel(7, 3), clGreen);
    EXPECT_EQ(a.Pixel(12, 1), clWhite);

    a.SetMonochrome(true);
    EXPECT_TRUE(a.Monochrome());
    EXPECT_EQ(a.Width(), 16);

    Bitmap none;
    EXPECT_FALSE(none.LoadFromResourceName(::GetModuleHandleA(nullptr), "NO_SUCH_BITMAP"));
    EXPECT_TRUE(none.Empty());
}

TEST(Canvas, ButtonFaceIsRaisedOrSunkenAndReturnsTheInside) {
    Bitmap b = Bitmap::CreateDIB(40, 20);
    Canvas& c = b.GetCanvas();
    RECT inner = DrawButtonFace(c, {0, 0, 40, 20}, 1, ButtonStyle::New, false, false, false);
    EXPECT_EQ(Px(b, 0, 0), Dib(::GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(Px(b, 39, 19), Dib(::GetSysColor(COLOR_3DDKSHADOW)));
    EXPECT_EQ(Px(b, 20, 10), Dib(::GetSysColor(COLOR_BTNFACE)));
    EXPECT_GT(inner.left, 0);
    EXPECT_LT(inner.right, 40);

    DrawButtonFace(c, {0, 0, 40, 20}, 1, ButtonStyle::New, false, true, false);
    EXPECT_EQ(Px(b, 0, 0), Dib(::GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(Px(b, 39, 19), Dib(::GetSysColor(COLOR_BTNHIGHLIGHT)));
}

TEST(Handles, GuardsRestoreTheDeviceContext) {
    auto dc = CreateMemoryDC();
    HGDIOBJ original = ::GetCurrentObject(dc.Get(), OBJ_PEN);
    {
        PenHandle pen = CreatePen(Pen{clRed, 2, PenStyle::Solid});
        SelectGuard sel(dc.Get(), pen.Get());
        EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), pen.Get());
    }
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), original);
    {
        SaveDCGuard save(dc.Get());
        ::SetTextColor(dc.Get(), RGB(1, 2, 3));
    }
    EXPECT_NE(::GetTextColor(dc.Get()), RGB(1, 2, 3));
    {
        Canvas canvas(dc.Get());
        canvas.pen.color = clBlue;
        canvas.Line(0, 0, 1, 1);
        EXPECT_NE(::GetCurrentObject(dc.Get(), OBJ_PEN), original);
    }
    EXPECT_EQ(::GetCurrentObject(dc.Get(), OBJ_PEN), original);
}
