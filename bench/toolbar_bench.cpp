// Toolbar buttons: the time to repaint the main window's 24 buttons with a
// warm glyph cache, and one hot-tracking step of a mouse moving along the
// row (the posted move through the hooks, the leave and enter, the redraw of
// the two buttons), in microseconds. Targets: under 2 ms per whole repaint,
// under 100 us per hot-tracking step.
//
// toolbar_bench.exe [--show SECONDS]: with --show, first keeps a window of
// buttons in every look (normal, hot, pressed, down, disabled) on screen for
// a screenshot.
#include "bench/BenchSupport.h"
#include "toolbars/BarButtons.h"
#include "toolkit/Canvas.h"
#include "toolkit/Forms.h"
#include "toolkit/TestSeams.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace bench;

const char* const kGlyphs[] = {"OPENFLASH", "OPENEEPROM", "SAVEFLASH", "SAVEEEPROM", "EXITAPP", "CHIPID", "ERASECHIP",
                               "",          "",           "",          "CLONE",      "FILL",    "READFLASH", "READEEPROM",
                               "READALL",   "WRITEFLASH", "WRITEEEPROM", "WRITEALL", "VERFLASH", "VEREEPROM", "VERALL",
                               "HEX",       "DEC",        "ASC"};

// One row of the main window's 24 buttons: 21 pictures, 3 special-bits captions.
std::vector<TToolbarButton*> AddRow(tk::Form& form, int top) {
    std::vector<TToolbarButton*> row;
    int left = 4;
    int special = 0;
    for (const char* glyph : kGlyphs) {
        auto* b = tk::Create<TToolbarButton>(form);
        b->SetParent(&form);
        b->SetBounds(left, top, 23, 22);
        if (*glyph) {
            b->LoadGlyphResource(std::string("GLYPH_") + glyph);
        } else {
            b->SetCaption("SB" + std::to_string(++special));
            b->SetDisplayMode(dmTextOnly);
        }
        row.push_back(b);
        left += 24;
    }
    return row;
}

void Show(int seconds) {
    tk::Form form;
    form.SetBounds(40, 40, 600, 150);
    form.SetCaption("Toolbar buttons: normal and hot / disabled / down and pressed");
    auto normal = AddRow(form, 4);
    auto disabled = AddRow(form, 30);
    auto states = AddRow(form, 56);
    for (auto* b : disabled) b->SetEnabled(false);
    for (auto* b : states) b->SetGroupIndex(1);
    states[9]->SetDown(true);
    form.Show();
    ::SetForegroundWindow(form.Handle());
    Pump();
    const POINT hot = normal[12]->ClientToScreen(POINT{10, 10});
    ::SetCursorPos(hot.x, hot.y);
    Pump();
    ::PostMessageA(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(normal[12]->Left() + 10, normal[12]->Top() + 10));
    Pump();
    auto wait = [](int ms) {
        const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
        while (::GetTickCount() < end) {
            Pump();
            ::Sleep(20);
        }
    };
    wait(seconds * 500);
    // Then pressed (held), like a user holding the mouse on it: only one
    // button is hot, so the first one's border goes.
    states[15]->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    wait(seconds * 500);
    states[15]->Perform(WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--show") == 0) Show(std::atoi(argv[2]));

    tk::Form form;
    form.SetBounds(40, 220, 600, 60);
    auto row = AddRow(form, 4);
    form.Show();
    ::SetForegroundWindow(form.Handle());
    Pump();

    // Whole repaint: every button paints into the form's memory picture.
    const RECT client = form.ClientRect();
    tk::Bitmap picture(client.right, client.bottom);
    HDC dc = picture.DC();
    form.PaintControls(dc);  // warms the glyph cache
    std::vector<double> repaint;
    for (int i = 0; i < 200; ++i) {
        const double t0 = NowUs();
        form.PaintControls(dc);
        repaint.push_back(NowUs() - t0);
    }
    // The same on screen: invalidate the row and let WM_PAINT do it.
    std::vector<double> onScreen;
    for (int i = 0; i < 200; ++i) {
        const double t0 = NowUs();
        ::InvalidateRect(form.Handle(), nullptr, FALSE);
        ::UpdateWindow(form.Handle());
        onScreen.push_back(NowUs() - t0);
    }

    // Hot tracking, the buttons' share: what the hook and the routed mouse
    // move make a button do (leave, enter, invalidate), then the repaint of
    // the two changed buttons, with the window's own mouse routing left out.
    tk::FakeInput input;
    std::vector<double> steps;
    auto check = [&](TToolbarButton* b) {
        if (TToolbarButton::ButtonWithMouse() == b) return true;
        std::printf("hot tracking did not follow the mouse\n");
        return false;
    };
    TToolbarButton* previous = nullptr;
    for (int pass = 0; pass < 20; ++pass) {
        for (TToolbarButton* b : row) {
            const POINT centre{b->Left() + 11, b->Top() + 11};
            input.cursor = form.ClientToScreen(centre);
            const double t0 = NowUs();
            ButtonHookProc(heMouseMovePosted, form.Handle(), 0, MAKELPARAM(centre.x, centre.y));
            b->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(11, 11));
            {
                tk::SaveDCGuard saved(dc);
                RECT both = b->BoundsRect();
                if (previous) {
                    const RECT before = previous->BoundsRect();
                    ::UnionRect(&both, &both, &before);
                }
                ::IntersectClipRect(dc, both.left, both.top, both.right, both.bottom);
                form.PaintControls(dc);
            }
            steps.push_back(NowUs() - t0);
            if (!check(b)) return 1;
            previous = b;
        }
    }
    // The whole road for comparison: posted, taken from the queue through the
    // hooks, routed by the window, painted by WM_PAINT.
    std::vector<double> road;
    for (int pass = 0; pass < 5; ++pass) {
        for (TToolbarButton* b : row) {
            const POINT centre{b->Left() + 11, b->Top() + 11};
            input.cursor = form.ClientToScreen(centre);
            const double t0 = NowUs();
            ::PostMessageA(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
            Pump();
            ::UpdateWindow(form.Handle());
            road.push_back(NowUs() - t0);
            if (!check(b)) return 1;
        }
    }
    // One call into the window server, for scale.
    std::vector<double> serverCall;
    for (int i = 0; i < 200; ++i) {
        const double t0 = NowUs();
        (void)::GetActiveWindow();
        serverCall.push_back(NowUs() - t0);
    }

    std::printf("24 buttons, whole repaint into memory: median %.1f us (target < 2000 us)\n", Median(repaint));
    std::printf("24 buttons, whole repaint on screen (WM_PAINT): median %.1f us\n", Median(onScreen));
    std::printf("hot-tracking step, the buttons' share: median %.1f us (target < 100 us)\n", Median(steps));
    std::printf("hot-tracking step, whole road through the queue: median %.1f us\n", Median(road));
    std::printf("one window-server call (GetActiveWindow): median %.1f us\n", Median(serverCall));
    return 0;
}
