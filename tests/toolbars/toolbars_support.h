// Helpers of the toolbar tests: a bounded message pump, pixels of 32-bit
// DIB sections, and a shown form with a top and a bottom dock.
#pragma once

#include "toolbars/BarButtons.h"
#include "toolbars/BarToolbar.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

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

}  // namespace bartest
