// What the display really shows of a window: its client area read back from
// the screen (not through WM_PRINT), after the window has painted. Before a
// window is shown the place it will take is painted with a colour no control
// uses, so a part the window leaves unpainted reads as that colour, or as
// the display's black where the window system clears new windows itself.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace screen {

// Never drawn by the program: marks what nothing painted over.
constexpr std::uint32_t kUnpainted = 0x01FE03;

// 0x00RRGGBB pixels of a screen rectangle.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

inline BOOL CALLBACK RedrawNow(HWND wnd, LPARAM)
{
    ::RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

inline void PumpPaints()
{
    for (int round = 0; round < 3; ++round) {
        MSG msg;
        for (int i = 0; i < 2000 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::EnumThreadWindows(::GetCurrentThreadId(), RedrawNow, 0);
        ::GdiFlush();
        ::Sleep(20);
    }
}

// Paints the whole screen with kUnpainted (through the desktop's DC).
inline void MarkScreen()
{
    HDC dc = ::GetDC(nullptr);
    HBRUSH brush = ::CreateSolidBrush(RGB((kUnpainted >> 16) & 0xFF, (kUnpainted >> 8) & 0xFF, kUnpainted & 0xFF));
    RECT all{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::FillRect(dc, &all, brush);
    ::DeleteObject(brush);
    ::ReleaseDC(nullptr, dc);
    ::GdiFlush();
}

// A screen rectangle as the display shows it now.
inline Pixels Read(const RECT& r)
{
    Pixels p;
    p.width = r.right - r.left;
    p.height = r.bottom - r.top;
    if (p.width <= 0 || p.height <= 0) return p;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = p.width;
    bi.bmiHeader.biHeight = -p.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(mem, dib);
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(mem, 0, 0, p.width, p.height, screen, r.left, r.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    ::GdiFlush();
    const auto* src = static_cast<const std::uint32_t*>(bits);
    p.rgb.assign(src, src + static_cast<std::size_t>(p.width) * p.height);
    for (auto& px : p.rgb) px &= 0xFFFFFF;
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    ::DeleteObject(dib);
    return p;
}

// The client area of a window, in screen coordinates.
inline RECT ClientOnScreen(HWND wnd)
{
    RECT r{};
    ::GetClientRect(wnd, &r);
    ::MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The first point (client coordinates) of an area that nothing painted: a
// pixel of kUnpainted, or a square of `side` pixels all black. Empty when
// every pixel was painted.
inline std::string FindUnpainted(const Pixels& p, int side = 12)
{
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.At(x, y) == kUnpainted)
                return "unpainted pixel at " + std::to_string(x) + "," + std::to_string(y);
    // Runs of black per column, then squares of them.
    std::vector<int> run(static_cast<std::size_t>(p.width), 0);
    for (int y = 0; y < p.height; ++y) {
        int across = 0;
        for (int x = 0; x < p.width; ++x) {
            int& r = run[static_cast<std::size_t>(x)];
            r = p.At(x, y) == 0 ? r + 1 : 0;
            across = r >= side ? across + 1 : 0;
            if (across >= side)
                return "black area ending at " + std::to_string(x) + "," + std::to_string(y);
        }
    }
    return {};
}

// How many pixels of a rectangle (in the pixels' coordinates) differ from
// its most common colour: 0 means nothing (no text, no line) shows there.
inline int InkIn(const Pixels& p, const RECT& r)
{
    std::vector<std::pair<std::uint32_t, int>> counts;
    int total = 0;
    for (int y = std::max(0L, r.top); y < std::min<long>(p.height, r.bottom); ++y)
        for (int x = std::max(0L, r.left); x < std::min<long>(p.width, r.right); ++x) {
            ++total;
            const std::uint32_t c = p.At(x, y);
            bool found = false;
            for (auto& [colour, n] : counts)
                if (colour == c) {
                    ++n;
                    found = true;
                    break;
                }
            if (!found) counts.emplace_back(c, 1);
        }
    int most = 0;
    for (const auto& [colour, n] : counts) most = std::max(most, n);
    return total - most;
}

}  // namespace screen
