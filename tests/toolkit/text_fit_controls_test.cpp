// Texts sized from a measurement show whole: the rightmost ink of an
// auto-sized label is that of the same text drawn without any clipping.
// Under Wine the substituted "MS Sans Serif" puts ink a pixel or two past
// the measured width, which clipped the last letter ("$37" for "$378").
#include "toolkit/StdCtrls.h"

#include "controls_support.h"

using namespace tk;

namespace {

// The rightmost column of rows [top, bottom) holding a pixel other than
// `ground`; -1 when there is none.
int InkRight(const Bitmap& b, int top, int bottom, std::uint32_t ground) {
    for (int x = b.Width() - 1; x >= 0; --x)
        for (int y = top; y < bottom && y < b.Height(); ++y)
            if (ctltest::Px(b, x, y) != ground) return x;
    return -1;
}

}  // namespace

TEST(TextFit, AutoSizedLabelsShowTheirWholeCaption) {
    ctltest::TestForm host;
    host.host->SetColor(clWhite);
    for (const char* caption : {"All pending operations will be canceled", "Affichage", "Used Port: $378"}) {
        auto* label = host.Add<Label>();
        label->SetTransparent(false);
        label->SetColor(clWhite);
        label->SetBounds(10, 10, 1, 1);
        label->SetCaption(caption);
        ctltest::Pump();
        HWND wnd = host.host->Handle();
        ::InvalidateRect(wnd, nullptr, TRUE);
        ::UpdateWindow(wnd);
        // The screen's own pixels: the window DC is what the display shows,
        // and only there does the ink reach past the measured width. The same
        // text drawn unclipped below the label is the reference.
        const int refTop = 60;
        HDC dc = ::GetDC(wnd);
        {
            Canvas canvas(dc);
            canvas.brush = Brush{clWhite, BrushStyle::Solid};
            canvas.FillRect(RECT{0, refTop, 400, refTop + 40});
            canvas.brush.style = BrushStyle::Clear;
            canvas.font = label->GetFont();
            RECT r{10, refTop, 10 + label->Width(), refTop + label->Height()};
            canvas.DrawText(r, caption, DT_NOCLIP | DT_EXPANDTABS);
        }
        Bitmap shown = Bitmap::CreateDIB(400, refTop + 40);
        ::BitBlt(shown.DC(), 0, 0, 400, refTop + 40, dc, 0, 0, SRCCOPY);
        ::ReleaseDC(wnd, dc);
        const int h = label->Height();
        const int expected = InkRight(shown, refTop, refTop + h, ctltest::Dib(clWhite));
        ASSERT_GT(expected, 10) << caption;
        EXPECT_EQ(InkRight(shown, label->Top(), label->Top() + h, ctltest::Dib(clWhite)), expected)
            << caption << " is cut";
        Free(label);
    }
}
