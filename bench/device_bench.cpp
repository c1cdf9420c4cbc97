// device_bench: what the main window adds to each address of a device loop.
// The demonstration plug-in simulates a 64 KiB Flash chip without latency or
// trace; Write Flash and Verify Flash run through the real main window
// (created hidden in this process, message boxes and waits answered by the
// toolkit's services), and the same plug-in calls run again as a bare loop
// without any window work. The difference per address is the window's
// share: the status text, the progress step and the message pass.
//
// Then the main window's 24 toolbar buttons, with the plug-in's special-bits
// pictures: a whole repaint of all of them with a warm glyph cache, and one
// hot-tracking step of a mouse moving across the Flash and EEPROM bar (the
// move posted, taken from the queue through the window hooks, routed by the
// bar to the button under it, the two changed buttons repainted), in
// microseconds. Targets: under 2 ms per repaint, under 100 us per step.
// Usage: device_bench [shown]   ("shown" measures with the window visible)
#include "bench/BenchSupport.h"
#include "programmer/Main.h"
#include "programmer/PortLibrary.h"
#include "toolbars/BarButtons.h"
#include "toolbars/BarToolbar.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/TestSeams.h"

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace bench;

constexpr std::int32_t kFlashSize = 64 * 1024;
constexpr int kRounds = 7;

struct Figures {
    double best = 1e30;
    void Take(double ms) { best = std::min(best, ms); }
    double MicrosPerAddress() const { return best * 1000.0 / kFlashSize; }
};

// The toolbar buttons of the real main window, shown and in front.
void BenchToolbarButtons(TMainForm& form)
{
    form.Show();
    ::SetForegroundWindow(form.Handle());
    Pump();
    const std::initializer_list<TToolbar*> bars{form.FileBar, form.MiscBar, form.FLEPBar, form.ViewBar};
    std::size_t buttons = 0;
    for (TToolbar* bar : bars)
        for (std::size_t i = 0; i < bar->ControlCount(); ++i)
            buttons += dynamic_cast<TToolbarButton*>(bar->Controls(i)) ? 1 : 0;

    // Whole repaint: every bar paints its buttons into one memory picture of
    // the dock, each at its place.
    tk::Bitmap picture(form.Dock1->Width(), form.Dock1->Height());
    HDC dc = picture.DC();
    auto paintAll = [&] {
        for (TToolbar* bar : bars) {
            // Inside the bar's frame and drag handle.
            const POINT client = form.Dock1->ScreenToClient(bar->ClientToScreen(POINT{0, 0}));
            POINT before;
            ::SetViewportOrgEx(dc, client.x, client.y, &before);
            bar->PaintControls(dc);
            ::SetViewportOrgEx(dc, before.x, before.y, nullptr);
        }
    };
    paintAll();  // warms the glyph cache
    std::vector<double> repaint;
    for (int i = 0; i < 200; ++i) {
        const double t0 = NowUs();
        paintAll();
        repaint.push_back(NowUs() - t0);
    }

    // Hot tracking across the Flash and EEPROM bar, the whole road: the move
    // posted to the bar, taken from the queue through the hooks, routed to
    // the button under it, the leave and enter, the WM_PAINT of both.
    tk::FakeInput input;
    TToolbar* bar = form.FLEPBar;
    std::size_t barButtons = 0;
    for (std::size_t i = 0; i < bar->ControlCount(); ++i)
        barButtons += dynamic_cast<TToolbarButton*>(bar->Controls(i)) ? 1 : 0;
    std::vector<double> steps;
    int missed = 0;
    for (int pass = 0; pass < 20; ++pass) {
        for (std::size_t i = 0; i < bar->ControlCount(); ++i) {
            tk::Control* button = bar->Controls(i);
            if (!dynamic_cast<TToolbarButton*>(button))
                continue;
            const POINT centre{button->Left() + 11, button->Top() + 11};
            input.cursor = bar->ClientToScreen(centre);
            const double t0 = NowUs();
            ::PostMessageA(bar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
            Pump();
            ::UpdateWindow(bar->Handle());
            steps.push_back(NowUs() - t0);
            if (TToolbarButton::ButtonWithMouse() != button)
                ++missed;
        }
    }

    // The program's share of a step: the hook's note of the posted move, the
    // bar routing the move to the button under it (leave, enter,
    // invalidate), and the repaint of the two changed buttons into memory,
    // without the window server's queue and paint calls.
    std::vector<double> share;
    tk::Control* previous = nullptr;
    for (int pass = 0; pass < 20; ++pass) {
        for (std::size_t i = 0; i < bar->ControlCount(); ++i) {
            tk::Control* button = bar->Controls(i);
            if (!dynamic_cast<TToolbarButton*>(button))
                continue;
            const POINT centre{button->Left() + 11, button->Top() + 11};
            input.cursor = bar->ClientToScreen(centre);
            const double t0 = NowUs();
            ButtonHookProc(heMouseMovePosted, bar->Handle(), 0, MAKELPARAM(centre.x, centre.y));
            bar->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
            {
                const int saved = ::SaveDC(dc);
                const POINT client = form.Dock1->ScreenToClient(bar->ClientToScreen(POINT{0, 0}));
                ::SetViewportOrgEx(dc, client.x, client.y, nullptr);
                RECT both = button->BoundsRect();
                if (previous) {
                    const RECT before = previous->BoundsRect();
                    ::UnionRect(&both, &both, &before);
                }
                ::IntersectClipRect(dc, both.left, both.top, both.right, both.bottom);
                bar->PaintControls(dc);
                ::RestoreDC(dc, saved);
            }
            share.push_back(NowUs() - t0);
            if (TToolbarButton::ButtonWithMouse() != button)
                ++missed;
            previous = button;
        }
    }
    Pump();
    ::ValidateRect(bar->Handle(), nullptr);

    std::printf("toolbar buttons of the main window (%zu, special bits with the plug-in's pictures):\n", buttons);
    std::printf("  whole repaint, warm glyph cache: median %.1f us (target: under 2000 us)\n", Median(repaint));
    std::printf("  hot-tracking step across %s (%zu buttons), the program's share (hook, routing, leave and enter, "
                "repaint of both): median %.1f us (target: under 100 us)\n",
                bar->Name().c_str(), barButtons, Median(share));
    std::printf("  the same, whole road through the queue and WM_PAINT: median %.1f us\n", Median(steps));
    if (missed)
        std::printf("  hot tracking did not follow the mouse %d times\n", missed);
}

// The bare loops: the plug-in calls of one command, nothing else.
double BareWrite(const TPlugInEntryPoints& p, std::int32_t port, const std::vector<std::int32_t>& buffer)
{
    const double t0 = NowMs();
    p.CheckProgrammingDevice(port);
    p.PowerOffDevice(port);
    p.PowerUpDevice(port);
    p.EnableProgramming(port);
    std::int32_t errors = 0;
    for (std::int32_t a = 0; a < kFlashSize; ++a) {
        if (!p.WriteFlashAddress(port, a, buffer[static_cast<std::size_t>(a)]))
            ++errors;
    }
    p.PowerOffDevice(port);
    const double ms = NowMs() - t0;
    if (errors)
        std::printf("bare write: %d errors\n", errors);
    return ms;
}

double BareVerify(const TPlugInEntryPoints& p, std::int32_t port, const std::vector<std::int32_t>& buffer)
{
    const double t0 = NowMs();
    p.CheckProgrammingDevice(port);
    p.PowerOffDevice(port);
    p.PowerUpDevice(port);
    p.EnableProgramming(port);
    std::int32_t value = 0;
    std::int32_t differences = 0;
    for (std::int32_t a = 0; a < kFlashSize; ++a) {
        if (!p.ReadFlashAddress(port, a, &value) || value != buffer[static_cast<std::size_t>(a)])
            ++differences;
    }
    p.PowerOffDevice(port);
    const double ms = NowMs() - t0;
    if (differences)
        std::printf("bare verify: %d differences\n", differences);
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool shown = argc > 1 && std::strcmp(argv[1], "shown") == 0;
    const std::string folder = ScratchFolder("device_bench");
    WriteFile(folder + "\\ZeltoProgBasic.cfg", "PORTS=378\nBIDIR=378\n");
    WriteFile(folder + "\\DemoPlugin.cfg",
              "DEVICE=BENCH64\nFLASH_SIZE=65536\nEEPROM_SIZE=16\nTRACE=0\nLATENCY_MS=0\nSTRICT=0\n");
    ::SetEnvironmentVariableA("ZP_PORTLIB_CONFIG", (folder + "\\ZeltoProgBasic.cfg").c_str());
    ::SetEnvironmentVariableA("ZP_DEMO_DIR", folder.c_str());

    // Nothing may wait or block: boxes are recorded, waits skipped.
    tk::ScriptedMessages messages([](const tk::MessageRequest& request) {
        std::printf("unexpected message box: %s\n", request.text.c_str());
    });
    tk::RecordingSleepBeep sleeps;

    // Command mode as a script starts the program: no port-kind message,
    // and the plug-in is bound by name.
    ZpSetCommandMode(1);
    TMainForm* form = tk::App().CreateForm<TMainForm>();
    form->HandleNeeded();
    form->FScriptPlugInName = "DemoPlugin.dll";
    form->Action_LoadPluginExecute(nullptr);
    form->FCommandMode = 0;
    form->MarkCommandLineProcessed();
    form->FChipEraseBeforeProgramming = 0;
    if (shown)
        form->Show();
    TMainUnitState& unit = MainUnit();
    if (unit.PlugInLoaded != 1 || static_cast<std::int32_t>(unit.FlashBuffer.size()) != kFlashSize) {
        std::printf("the plug-in or the 64 KiB device was not found (name '%s', Flash %zu bytes)\n",
                    unit.DeviceName.c_str(), unit.FlashBuffer.size());
        std::fflush(stdout);
        ::ExitProcess(1);
    }
    for (std::size_t i = 0; i < unit.FlashBuffer.size(); ++i)
        unit.FlashBuffer[i] = static_cast<std::int32_t>((i * 7 + 3) & 0xFF);
    const std::vector<std::int32_t> data = unit.FlashBuffer;
    const TPlugInEntryPoints& p = unit.PlugIn;
    const std::int32_t port = form->FPortAddress;

    Figures windowWrite, windowVerify, bareWrite, bareVerify;
    const unsigned statusBefore = form->SBar->FlushCount();
    const unsigned progressBefore = form->PBar->FlushCount();
    const unsigned passesBefore = tk::App().ProcessMessagesCount();
    double windowMs = 0;
    for (int round = 0; round < kRounds; ++round) {
        double t0 = NowMs();
        form->Action_WriteFlashExecute(nullptr);
        const double write = NowMs() - t0;
        t0 = NowMs();
        form->Action_VerifyFlashExecute(nullptr);
        const double verify = NowMs() - t0;
        windowWrite.Take(write);
        windowVerify.Take(verify);
        windowMs += write + verify;
        bareWrite.Take(BareWrite(p, port, data));
        bareVerify.Take(BareVerify(p, port, data));
    }
    const unsigned statusRepaints = form->SBar->FlushCount() - statusBefore;
    const unsigned progressRepaints = form->PBar->FlushCount() - progressBefore;
    const unsigned passes = tk::App().ProcessMessagesCount() - passesBefore;

    std::printf("device_bench: 64 KiB Flash, zero-latency demonstration plug-in, window %s, best of %d rounds\n",
                shown ? "shown" : "hidden", kRounds);
    std::printf("  %-13s %10s %10s %12s\n", "", "window", "bare", "overhead");
    std::printf("  %-13s %7.3f us %7.3f us %9.3f us per address\n", "Write Flash", windowWrite.MicrosPerAddress(),
                bareWrite.MicrosPerAddress(), windowWrite.MicrosPerAddress() - bareWrite.MicrosPerAddress());
    std::printf("  %-13s %7.3f us %7.3f us %9.3f us per address\n", "Verify Flash", windowVerify.MicrosPerAddress(),
                bareVerify.MicrosPerAddress(), windowVerify.MicrosPerAddress() - bareVerify.MicrosPerAddress());
    std::printf("  target: at most 2 us of window work per address\n");
    std::printf("  over %d write and %d verify commands (%d addresses, about %.0f ms of loops): "
                "%u status bar repaints, %u progress bar repaints, %u message passes\n",
                kRounds, kRounds, kRounds * 2 * kFlashSize, windowMs, statusRepaints, progressRepaints, passes);
    std::printf("  last status text: %s\n", form->PanelText(1).c_str());
    if (!messages.Shown().empty())
        std::printf("  %zu message boxes were shown\n", messages.Shown().size());
    std::fflush(stdout);

    BenchToolbarButtons(*form);
    std::fflush(stdout);

    for (const char* name : {"\\ZeltoProgBasic.cfg", "\\DemoPlugin.cfg", "\\BENCH64.flash", "\\BENCH64.eeprom",
                             "\\BENCH64.sbits", "\\DemoPlugin.trace"})
        ::DeleteFileA((folder + name).c_str());
    // Ending without tearing the window down: under Wine without a window
    // manager hiding it alone would wait; the plug-in writes its chip back
    // when the process ends, so the folder may stay behind.
    ShutdownHooks();
    ::ExitProcess(0);
}
