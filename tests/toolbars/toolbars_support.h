// Helpers of the toolbar tests: a bounded message pump, pixels of 32-bit
// DIB sections, a shown form with a top and a bottom dock, and the scripts
// that play the steps of a modal loop from inside it.
#pragma once

#include "toolbars/BarButtons.h"
#include "toolbars/BarToolbar.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"
#include "toolkit/TestSeams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace bartest {

// Handles every message already queued (bounded, never waits).
inline void Pump() {
    MSG msg;
    for (int i = 0; i < 500 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        tk::App().ProcessMessage(msg);
    }
}

// Pixel as 0x00RRGGBB, the layout of a 32-bit DIB.
inline std::uint32_t Px(const tk::Bitmap& b, int x, int y) {
    ::GdiFlush();
    return b.Bits()[y * b.Width() + x] & 0xFFFFFF;
}

inline std::uint32_t Dib(tk::Color c) {
    const COLORREF v = tk::ColorToRGB(c);
    return (GetRValue(v) << 16) | (GetGValue(v) << 8) | GetBValue(v);
}

// A shown form with a top and a bottom dock, on which the tests make bars.
struct DockFormTest : ::testing::Test {
    std::unique_ptr<tk::Form> form;
    TDock* top = nullptr;
    TDock* bottom = nullptr;

    void SetUp() override {
        form = std::make_unique<tk::Form>();
        form->SetCaption("Docks");
        form->SetBounds(120, 120, 460, 260);
        top = tk::Create<TDock>(*form);
        top->SetName("Top");
        top->SetParent(form.get());
        bottom = tk::Create<TDock>(*form);
        bottom->SetName("Bottom");
        bottom->SetPosition(dpBottom);
        bottom->SetParent(form.get());
        form->Show();
        Pump();
    }
    void TearDown() override {
        form.reset();
        DockPosQuery = nullptr;
        tk::App().Reset();
        Pump();
    }
    // A bar of `buttons` buttons, a separator before the third, in `dock`.
    template <class Bar = TToolbar, class... Args>
    Bar* MakeBar(const std::string& name, TDock* dock, int buttons, int row, int pos, Args&&... args) {
        auto* bar = tk::Create<Bar>(*form, std::forward<Args>(args)...);
        bar->SetName(name);
        bar->SetCaption(name);
        bar->SetDockRow(row);
        bar->SetDockPos(pos);
        for (int i = 0; i < buttons; ++i) {
            if (i == 2) tk::Create<TToolbarSep>(*form)->SetParent(bar);
            tk::Create<TToolbarButton>(*form)->SetParent(bar);
        }
        bar->SetParent(dock);
        return bar;
    }
};

// Steps played one per posted step (posted messages keep their order, so a
// step's mouse message is handled before the next step runs). With
// `timed`, steps run on a timer instead: real input from SendInput is read
// before timers, never before posted messages.
class Script {
public:
    Script(HWND target, tk::FakeInput* input, bool timed = false)
        : target_(target), input_(input), timed_(timed), window_([this] { Play(); }) {}
    // Cursor to `screen`, then `msg` to the target (client point of the cursor).
    Script& Mouse(POINT screen, UINT msg = WM_MOUSEMOVE) {
        steps_.push_back([this, screen, msg] {
            if (input_) input_->cursor = screen;
            POINT c = screen;
            ::ScreenToClient(target_, &c);
            ::PostMessageA(target_, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(c.x, c.y));
        });
        return *this;
    }
    Script& Key(UINT msg, WPARAM key) {
        steps_.push_back([this, msg, key] { ::PostMessageA(target_, msg, key, 0); });
        return *this;
    }
    Script& Do(std::function<void()> action) {
        steps_.push_back(std::move(action));
        return *this;
    }
    void Start() { Next(); }
    std::size_t Played() const { return played_; }

private:
    void Next() {
        if (timed_)
            window_.StepAfter(60);
        else
            window_.PostStep();
    }
    void Play() {
        if (played_ < steps_.size()) {
            steps_[played_++]();
            if (played_ < steps_.size()) Next();
        }
    }
    HWND target_;
    tk::FakeInput* input_;
    bool timed_;
    tk::StepWindow window_;
    std::vector<std::function<void()>> steps_;
    std::size_t played_ = 0;
};

// Real input: the system's cursor moves to `p` (screen), with `flags` as
// button presses or releases there.
inline void SendMouse(POINT p, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(p.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = static_cast<LONG>(p.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof in);
}

// Pumps until the script has played and its last input was handled.
inline void PlayOut(Script& s, std::size_t steps) {
    for (int i = 0; i < 200 && s.Played() < steps; ++i) {
        Pump();
        ::Sleep(10);
    }
    for (int i = 0; i < 10; ++i) {
        Pump();
        ::Sleep(10);
    }
}

}  // namespace bartest
