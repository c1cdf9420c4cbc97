// What the display really shows (read back from the screen, not through
// WM_PRINT). Before a window shows, the screen is painted with a colour no
// control uses, so whatever the window leaves unpainted reads as that colour
// or as the black the window system gives a new window.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace screen {

constexpr std::uint32_t kUnpainted = 0x01FE03;

struct Pixels {  // 0x00RRGGBB
    int width = 0, height = 0;
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
        for (int i = 0; i < 2000 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
            ::DispatchMessageA(&msg);
        ::EnumThreadWindows(::GetCurrentThreadId(), RedrawNow, 0);
        ::Sleep(20);
    }
}

inline void MarkScreen()
{
    HDC dc = ::GetDC(nullptr);
    HBRUSH brush = ::CreateSolidBrush(RGB(kUnpainted >> 16, (kUnpainted >> 8) & 0xFF, kUnpainted & 0xFF));
    RECT all{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::FillRect(dc, &all, brush);
    ::DeleteObject(brush);
    ::ReleaseDC(nullptr, dc);
}

inline RECT ClientOnScreen(HWND wnd)
{
    RECT r{};
    ::GetClientRect(wnd, &r);
    ::MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline Pixels Read(const RECT& r)
{
    Pixels p{r.right - r.left, r.bottom - r.top, {}};
    BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC mem = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(mem, dib);
    HDC dc = ::GetDC(nullptr);
    ::BitBlt(mem, 0, 0, p.width, p.height, dc, r.left, r.top, SRCCOPY);
    ::ReleaseDC(nullptr, dc);
    ::GdiFlush();
    const auto* src = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < p.width * p.height; ++i) p.rgb.push_back(src[i] & 0xFFFFFF);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    ::DeleteObject(dib);
    return p;
}

// Where nothing painted: a pixel of kUnpainted or a black square of `side`
// pixels (larger than any glyph stroke or LED); empty when all is painted.
inline std::string FindUnpainted(const Pixels& p, int side = 12)
{
    std::vector<int> run(static_cast<std::size_t>(p.width), 0);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0, across = 0; x < p.width; ++x) {
            const std::string at = std::to_string(x) + "," + std::to_string(y);
            if (p.At(x, y) == kUnpainted) return "unpainted pixel at " + at;
            int& r = run[static_cast<std::size_t>(x)];
            r = p.At(x, y) == 0 ? r + 1 : 0;
            across = r >= side ? across + 1 : 0;
            if (across >= side) return "black area ending at " + at;
        }
    return {};
}

// Pixels of a rectangle that differ from its most common colour: 0 when no
// text or line shows there.
inline int InkIn(const Pixels& p, const RECT& r)
{
    std::map<std::uint32_t, int> counts;
    int total = 0;
    for (int y = std::max(0L, r.top); y < std::min<long>(p.height, r.bottom); ++y)
        for (int x = std::max(0L, r.left); x < std::min<long>(p.width, r.right); ++x, ++total)
            ++counts[p.At(x, y)];
    int most = 0;
    for (const auto& entry : counts) most = std::max(most, entry.second);
    return total - most;
}

}  // namespace screen
