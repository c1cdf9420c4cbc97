// Helpers of the toolbar tests: a bounded message pump and pixels of 32-bit
// DIB sections.
#pragma once

#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

#include <cstdint>

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

}  // namespace bartest
