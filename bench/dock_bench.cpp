// Docks and toolbars: the row layout of a top dock holding four toolbars
// like the main window's (24 buttons, 7 separators, two rows), a floating
// toolbar's candidate sizes, in microseconds, and the GDI handles (counted by
// the toolkit's owners; GetGuiResources answers 0 under Wine) and windows
// left after 200 float/dock round trips of one bar. Target: no growth.
//
// Then one drag step (cursor read, dock hit tests, OnRequestDock, outline
// erased and drawn) and one resize step, in microseconds, inside the real
// modal loops over a scripted drag across the form. Target: under 1 ms.
//
// dock_bench.exe [--show SECONDS | --drag SECONDS]: keeps a form with a top
// and a bottom dock and one floating bar (resized to its second width) on
// screen for a screenshot; with --drag, in the middle of a drag of a bar.
#include "bench/BenchSupport.h"
#include "toolbars/BarButtons.h"
#include "toolbars/BarToolbar.h"
#include "toolkit/Forms.h"
#include "toolkit/TestSeams.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace bench;

struct BarPlan {
    const char* name;
    const char* caption;
    int row;
    int pos;
    std::vector<const char*> glyphs;  // "|" = separator
};

const BarPlan kBars[] = {
    {"FileBar", "File Operations", 0, 0, {"OPENFLASH", "OPENEEPROM", "|", "SAVEFLASH", "SAVEEEPROM", "|", "EXITAPP"}},
    {"MiscBar", "Misc Operations", 0, 200, {"CHIPID", "ERASECHIP", "|", "CLONE", "FILL"}},
    {"FLEPBar", "Flash and EEprom Operations ", 1, 0,
     {"READFLASH", "READEEPROM", "READALL", "|", "WRITEFLASH", "WRITEEEPROM", "WRITEALL", "|", "VERFLASH", "VEREEPROM",
      "VERALL"}},
    {"ViewBar", "View Operations", 1, 300, {"HEX", "DEC", "ASC", "|", "SB1", "SB2", "SB3"}},
};

struct TestForm {
    tk::Form form;
    TDock* top = nullptr;
    TDock* bottom = nullptr;
    std::vector<TToolbar*> bars;

    TestForm() {
        form.SetBounds(60, 60, 640, 300);
        form.SetCaption("Docks: four toolbars, one floating");
        top = tk::Create<TDock>(form);
        top->SetName("Dock1");
        top->SetBoundLines(1 << blTop);
        top->SetParent(&form);
        bottom = tk::Create<TDock>(form);
        bottom->SetName("Dock4");
        bottom->SetPosition(dpBottom);
        bottom->SetParent(&form);
        for (const BarPlan& plan : kBars) {
            auto* bar = tk::Create<TToolbar>(form);
            bar->SetName(plan.name);
            bar->SetCaption(plan.caption);
            bar->SetCloseButton(false);
            bar->SetDockRow(plan.row);
            bar->SetDockPos(plan.pos);
            for (const char* g : plan.glyphs) {
                if (std::strcmp(g, "|") == 0) {
                    tk::Create<TToolbarSep>(form)->SetParent(bar);
                    continue;
                }
                auto* b = tk::Create<TToolbarButton>(form);
                b->SetParent(bar);
                if (std::strncmp(g, "SB", 2) == 0) {
                    b->SetCaption(g);
                    b->SetDisplayMode(dmTextOnly);
                } else {
                    b->LoadGlyphResource(std::string("GLYPH_") + g);
                }
            }
            bar->SetParent(top);
            bars.push_back(bar);
        }
        form.Show();
        ::SetForegroundWindow(form.Handle());
        Pump();
    }
};

BOOL CALLBACK CountChild(HWND, LPARAM p) {
    ++*reinterpret_cast<int*>(p);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND wnd, LPARAM p) {
    ++*reinterpret_cast<int*>(p);
    ::EnumChildWindows(wnd, CountChild, p);
    return TRUE;
}

// Top-level windows of this thread and all their descendants.
int CountWindows() {
    int n = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&n));
    return n;
}

// Plays cursor positions inside a modal loop: each step puts the cursor
// there and posts a move to the bar (measured with it: one step of the
// stepper itself, a PostMessage and a dispatch); the time from one step's post to the
// next step's dispatch is the loop's handling of that move.
class Stepper {
public:
    // `release`: the last step lets the button go (else Esc cancels).
    Stepper(HWND target, std::vector<POINT> points, bool release = false)
        : target_(target), points_(std::move(points)), release_(release), window_([this] { Step(); }) {}
    void Start() { window_.PostStep(); }
    void At(POINT p) { input_.cursor = p; }
    std::vector<double> steps;

private:
    void Step() {
        const double now = NowUs();
        if (next_ > 0) steps.push_back(now - posted_);
        if (next_ == points_.size()) {
            if (release_)
                ::PostMessageA(target_, WM_LBUTTONUP, 0, 0);
            else
                ::PostMessageA(target_, WM_KEYDOWN, VK_ESCAPE, 0);
            return;
        }
        const POINT p = points_[next_++];
        input_.cursor = p;
        POINT c = p;
        ::ScreenToClient(target_, &c);
        posted_ = NowUs();
        ::PostMessageA(target_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        window_.PostStep();
    }
    HWND target_;
    std::vector<POINT> points_;
    bool release_;
    std::size_t next_ = 0;
    double posted_ = 0;
    // The cursor through the input seam: a real SetCursorPos adds moves of
    // its own and a warp of the X pointer to every step.
    tk::FakeInput input_;
    tk::StepWindow window_;
};

HWND g_holdTarget = nullptr;

void CALLBACK EndHold(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::PostMessageA(g_holdTarget, WM_KEYDOWN, VK_ESCAPE, 0);
}

// Holds a drag of `bar` with the cursor at `at` for `seconds`, then cancels it.
void HoldDrag(TToolbar* bar, POINT at, int seconds) {
    tk::FakeInput input;
    input.cursor = at;
    g_holdTarget = bar->Handle();
    ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, &EndHold);
    POINT c = bar->ClientOrigin();
    c.x -= 6;
    ::ScreenToClient(bar->Handle(), &c);
    ::SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x - 6, 10));
}

// Resizes a floating `bar` by its right edge to its second candidate width.
void ResizeToSecondWidth(TToolbar* bar) {
    std::vector<POINT> sizes;
    bar->ListCandidateSizes(sizes);
    if (sizes.size() < 2) return;
    RECT frame{};
    bar->FloatingFrame(frame);
    RECT wr{};
    ::GetWindowRect(bar->Handle(), &wr);
    const POINT edge{wr.right - 2, wr.top + 20};
    Stepper stepper(bar->Handle(), {POINT{wr.left + sizes[1].x + frame.left + frame.right, edge.y}}, true);
    stepper.At(edge);
    stepper.Start();
    ::SendMessageA(bar->Handle(), WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(edge.x, edge.y));
}

void Show(int seconds, bool drag) {
    TestForm t;
    TToolbar* floating = t.bars[3];
    floating->SetCloseButton(true);
    floating->SetDockedTo(nullptr);
    floating->SetBounds(t.form.Left() + 360, t.form.Top() + 130, floating->Width(), floating->Height());
    TToolbar* inBottom = t.bars[1];
    inBottom->SetDockedTo(t.bottom);
    Pump();
    ResizeToSecondWidth(floating);
    Pump();
    if (drag) {
        const POINT o = t.form.ClientOrigin();
        HoldDrag(t.bars[0], POINT{o.x + 200, o.y + 150}, seconds);
        return;
    }
    const DWORD end = ::GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (::GetTickCount() < end) {
        Pump();
        ::Sleep(20);
    }
}

// The stepper alone: the same posts and dispatches with a plain message loop
// and a target that does nothing, so the loop's own share can be told apart.
double StepperBaseline() {
    HWND sink = ::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    std::vector<POINT> points(400, POINT{10, 10});
    Stepper stepper(sink, points);
    stepper.Start();
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0)) {
        if (msg.hwnd == sink && msg.message == WM_KEYDOWN) break;
        ::GetCapture();  // the loop asks for the capture every message
        ::DispatchMessageW(&msg);
    }
    ::DestroyWindow(sink);
    return Median(stepper.steps);
}

void LoopSteps(TestForm& t, double& dragStep, double& sizeStep, std::size_t& dragSteps, std::size_t& sizeSteps) {
    int asked = 0;
    for (TDock* d : {t.top, t.bottom}) d->OnRequestDock = [&](tk::Component*, TCustomToolWindow*, bool&) { ++asked; };
    TToolbar* bar = t.bars[0];
    const POINT origin = t.form.ClientOrigin();
    // Down the form from the top dock to the bottom one and out below it.
    std::vector<POINT> path;
    for (int i = 0; i < 400; ++i)
        path.push_back(POINT{origin.x + 40 + i, origin.y + 10 + i * (t.form.ClientHeight() + 40) / 400});
    Stepper drag(bar->Handle(), path);
    POINT handle = bar->ClientOrigin();
    handle.x -= 6;
    drag.At(handle);
    POINT c = handle;
    ::ScreenToClient(bar->Handle(), &c);
    drag.Start();
    ::SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    Pump();
    dragStep = Median(drag.steps);
    dragSteps = drag.steps.size();

    TToolbar* flep = t.bars[2];
    flep->SetDockedTo(nullptr);
    flep->SetBounds(origin.x + 40, origin.y + 120, flep->Width(), flep->Height());
    Pump();
    RECT wr{};
    ::GetWindowRect(flep->Handle(), &wr);
    std::vector<POINT> widths;
    for (int i = 0; i < 400; ++i) widths.push_back(POINT{wr.right - 2 - (i % 200) * (i < 200 ? 1 : -1), wr.top + 20});
    Stepper size(flep->Handle(), widths);
    size.At(POINT{wr.right - 2, wr.top + 20});
    size.Start();
    ::SendMessageA(flep->Handle(), WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(wr.right - 2, wr.top + 20));
    Pump();
    sizeStep = Median(size.steps);
    sizeSteps = size.steps.size();
    flep->SetDockedTo(t.top);
    Pump();
    for (TDock* d : {t.top, t.bottom}) d->OnRequestDock = nullptr;
    if (asked == 0) std::printf("warning: no dock was asked during the drag\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && (std::strcmp(argv[1], "--show") == 0 || std::strcmp(argv[1], "--drag") == 0)) {
        Show(std::atoi(argv[2]), argv[1][2] == 'd');
        return 0;
    }
    TestForm t;

    double dragStep = 0;
    double sizeStep = 0;
    std::size_t dragSteps = 0;
    std::size_t sizeSteps = 0;
    LoopSteps(t, dragStep, sizeStep, dragSteps, sizeSteps);
    const double baseline = StepperBaseline();

    std::vector<double> layout;
    for (int i = 0; i < 2000; ++i) {
        const double t0 = NowUs();
        t.top->LayOutRows(false);
        layout.push_back(NowUs() - t0);
    }

    TToolbar* flep = t.bars[2];
    flep->SetDockedTo(nullptr);
    Pump();
    std::vector<POINT> sizes;
    std::vector<double> candidates;
    for (int i = 0; i < 500; ++i) {
        const double t0 = NowUs();
        flep->ListCandidateSizes(sizes);
        candidates.push_back(NowUs() - t0);
    }
    flep->SetDockedTo(t.top);
    Pump();

    // Round trips: one warm-up first, so that caches made once are not counted.
    TToolbar* bar = t.bars[0];
    bar->SetDockedTo(nullptr);
    Pump();
    bar->SetDockedTo(t.top);
    Pump();
    const long gdiBefore = tk::LiveGdiHandles();
    const int windowsBefore = CountWindows();
    const double t0 = NowUs();
    for (int i = 0; i < 200; ++i) {
        bar->SetDockedTo(nullptr);
        Pump();
        bar->SetDockedTo(t.top);
        Pump();
    }
    const double roundTrip = (NowUs() - t0) / 200;
    const long gdiAfter = tk::LiveGdiHandles();
    const int windowsAfter = CountWindows();

    std::printf("LayOutRows, 4 bars in 2 rows:         median %8.1f us\n", Median(layout));
    std::printf("ListCandidateSizes, 9 buttons 2 seps: median %8.1f us (%zu sizes)\n", Median(candidates),
                sizes.size());
    std::printf("float/dock round trip:                mean   %8.1f us\n", roundTrip);
    std::printf("drag step in the loop:                median %8.1f us (%zu steps)\n", dragStep, dragSteps);
    std::printf("resize step in the loop:              median %8.1f us (%zu steps)\n", sizeStep, sizeSteps);
    std::printf("  of which posting and dispatching:   median %8.1f us\n", baseline);
    std::printf("GDI handles before/after 200 trips:   %ld / %ld\n", gdiBefore, gdiAfter);
    std::printf("windows before/after 200 trips:       %d / %d\n", windowsBefore, windowsAfter);
    return gdiAfter > gdiBefore || windowsAfter > windowsBefore ? 1 : 0;
}
