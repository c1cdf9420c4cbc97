// BarToolbar: the toolbar (a tool window that lays its controls out in one
// line along its dock, or wrapped into lines while floating) and the
// separator that splits its buttons into groups.
#pragma once

#include "toolbars/BarDocks.h"

#include <cstdint>
#include <memory>
#include <vector>

class TToolbarSep;

// --- a toolbar's lines as data ---------------------------------------------------
// One shown control in layout order; a separator ends the group it is in.
struct TToolbarItem {
    long long length = 0;  // along the line: width (height when vertical), a separator's SizeHorz (SizeVert)
    int thickness = 0;     // across the line: height (width when vertical)
    bool separator = false;
    bool blank = false;
};
struct TToolbarLineRules {
    bool floating = false;  // lines wrap at `limit` and the frame has margins
    bool vertical = false;
    long long limit = 0;    // the right edge that a floating line may not pass
    int lineThickness = 0;  // the step from one wrapped line to the next
    int cross = 0;          // the row thickness the controls are centred in
};
// Left, top, width and height, as SetBounds takes them (a separator's
// length may reach the largest int, its right edge beyond).
struct TToolbarItemBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TToolbarItemBounds&) const = default;
};
struct TToolbarLines {
    std::vector<TToolbarItemBounds> bounds;  // each item's place in the client area
    std::vector<std::uint32_t> separatorLines;  // as SeparatorLines()
    POINT size{};                            // the client size the lines need
};
// Wraps a floating bar's groups into lines (at separators where they can,
// inside a group where they must) or lays a docked bar's out in one line.
// Knows nothing of windows.
TToolbarLines LayOutToolbarLines(const std::vector<TToolbarItem>& items, const TToolbarLineRules& rules);

class TCustomToolbar : public TCustomToolWindow {
public:
    TCustomToolbar();
    ~TCustomToolbar() override;

    // Floating wrap width in client pixels, 0 = one line.
    int FloatingRightX() const { return floatingRightX_; }
    void SetFloatingRightX(int x) { floatingRightX_ = x; }

    int MeasureBarSize(TDockOrientation orientation) override;
    void MeasureMinimumSize(int& clientWidth, int& clientHeight) override;
    POINT PlaceControls(bool mayMove, TDockOrientation previous, TDock* dock) override;
    void PrepareOrdering() override;
    bool LetsDragThrough(tk::Control* control) const override;
    // The floating wrap width, as "FloatRightX"; a loaded one takes effect at once.
    void LoadPositionData(const TPositionReadIntProc& readInt, const TPositionReadStringProc& readString,
                          void* extraData) override;
    void SavePositionData(const TPositionWriteIntProc& writeInt, const TPositionWriteStringProc& writeString,
                          void* extraData) override;
    // The one-line size and, for every other line count, the narrowest
    // floating client size that gives it (x = width, y = height).
    void ListCandidateSizes(std::vector<POINT>& sizes);

    // Controls in layout order, and the tops of the lines that follow a
    // separator that ended a wrapped line (low 16 bits) with its Blank (bits 16-23).
    const std::vector<tk::Control*>& OrderList() const { return order_; }
    const std::vector<std::uint32_t>& SeparatorLines() const { return sepLines_; }

    void Paint(tk::Canvas& canvas) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Resizing snaps to the candidate sizes (window sizes, sorted largest first).
    void SizingStarted(TSizingEdge edge) override;
    void SizingTracked(RECT& newRect, const RECT& startRect) override;
    void SizingEnded(bool accepted) override;
    // The snap distance of the running resize (-1 outside one).
    int SnapDistance() const;

protected:
    void GetSizingFlags(bool& standardAlign, bool& eightEdgeSizing, bool& clipCursor) override;

private:
    void WindowPosChangingMessage(const WINDOWPOS& pos);
    void CleanOrderList();
    void ChildRemoved(tk::Control* child) override;
    // The shown children in the order list's order.
    std::vector<tk::Control*> ShownInOrder();

    struct ResizeRecord {
        TSizingEdge edge = seLeft;
        int rightX = 0;
        std::vector<POINT> sizes;
        std::size_t oneLine = 0;  // index of the one-line size
        bool moved = false;
        bool shrinking = false;
        int snap = 12;
    };
    std::unique_ptr<ResizeRecord> resize_;
    bool sortAfterLoad_ = true;
    bool sortAtDesignTime_ = true;
    int floatingRightX_ = 0;
    std::vector<std::uint32_t> sepLines_;
    std::vector<tk::Control*> order_;
};

class TToolbar : public TCustomToolbar {};

class TToolbarSep : public tk::Control {
public:
    TToolbarSep();
    bool Blank() const { return blank_; }
    void SetBlank(bool blank);
    int SizeHorz() const { return sizeHorz_; }
    void SetSizeHorz(int size);
    int SizeVert() const { return sizeVert_; }
    void SetSizeVert(int size);

    void SetParent(tk::WinControl* parent) override;
    void Paint(tk::Canvas& canvas) override;

private:
    bool blank_ = false;
    int sizeHorz_ = 6;
    int sizeVert_ = 6;
};
