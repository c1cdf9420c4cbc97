// Helpers of the control tests: a fresh shown form per test, a bounded
// message pump, and painting a window into a 32-bit DIB section.
#pragma once

#include "toolkit/Canvas.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace ctltest {

// Handles queued messages through the application (shortcuts, dialog keys)
// until `done` holds or `ms` milliseconds passed; never blocks.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 1000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return done && done();
            }
            tk::App().ProcessMessage(msg);
        }
        if (done && done()) return true;
        if (::GetTickCount() - start >= ms) return done ? done() : true;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

inline void Pump() { PumpUntil(nullptr, 0); }

// One shown form for all control tests. Under Wine without a window
// manager, hiding or destroying a mapped top-level window waits two seconds
// for the manager, so the form stays; each test gets a fresh child panel.
inline tk::Form* SharedForm() {
    static tk::Form* form = nullptr;
    static tk::LifeToken alive;
    // Other tests may reset the application, taking every form with it.
    if (!form || !alive.Alive()) {
        form = tk::App().CreateForm<tk::Form>();
        form->SetBounds(50, 50, 420, 320);
        form->Show();
        alive = form->Token();
        Pump();
    }
    return form;
}

// A fresh client-filling panel on the shared form, destroyed with the test
// (its child controls with it).
struct TestForm {
    TestForm() {
        form = SharedForm();
        host = tk::Create<tk::Panel>(*form);
        host->SetAlign(tk::alClient);
        host->SetBevelOuter(tk::bvNone);
        host->SetParent(form);
        Pump();
    }
    ~TestForm() {
        form->SetMenu(nullptr);
        form->SetModalResult(tk::mrNone);
        form->SetKeyPreview(false);
        form->OnShortCut = nullptr;
        for (auto it = extras.rbegin(); it != extras.rend(); ++it)
            if (it->second.Alive()) tk::Free(it->first);
        tk::Free(host);
        Pump();
    }
    template <class T, class... A>
    T* Add(A&&... args) {
        T* c = tk::Create<T>(*form, std::forward<A>(args)...);
        c->SetParent(host);
        return c;
    }
    // A component owned by the form itself (menus, action lists), freed
    // with the test.
    template <class T, class... A>
    T* Own(A&&... args) {
        T* c = tk::Create<T>(*form, std::forward<A>(args)...);
        extras.emplace_back(c, c->Token());
        return c;
    }
    tk::Form* form = nullptr;
    tk::Panel* host = nullptr;
    std::vector<std::pair<tk::Component*, tk::LifeToken>> extras;
};

// The window's client area painted through WM_PRINTCLIENT into a DIB.
inline tk::Bitmap PrintClient(HWND wnd) {
    RECT r{};
    ::GetClientRect(wnd, &r);
    tk::Bitmap dib = tk::Bitmap::CreateDIB(std::max<LONG>(1, r.right), std::max<LONG>(1, r.bottom));
    ::SendMessageA(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC()), PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
    return dib;
}

// 0x00RRGGBB of a pixel of a 32-bit DIB.
inline std::uint32_t Px(const tk::Bitmap& b, int x, int y) {
    ::GdiFlush();
    return b.Bits()[y * b.Width() + x] & 0xFFFFFF;
}

inline std::uint32_t Dib(tk::Color c) {
    COLORREF rgb = tk::ColorToRGB(c);
    return (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
}

}  // namespace ctltest
