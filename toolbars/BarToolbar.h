// BarToolbar: the toolbar (a tool window that lays its controls out in one
// line along its dock, or wrapped into lines while floating) and the
// separator that splits its buttons into groups.
#pragma once

#include "toolbars/BarDocks.h"

#include <cstdint>
#include <memory>
#include <vector>

class TToolbarSep;

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
    void SizingStarted(int edge) override;
    void SizingTracked(RECT& newRect, const RECT& startRect) override;
    void SizingEnded(bool accepted) override;
    // The snap distance of the running resize (-1 outside one).
    int SnapDistance() const;

protected:
    void GetSizingFlags(bool& standardAlign, bool& eightEdgeSizing, bool& clipCursor) override;

private:
    struct LineGroup {
        int width = 0;
        int height = 0;
        std::vector<tk::Control*> controls;
    };
    void CleanOrderList();
    void CollectGroups(std::vector<LineGroup>& groups);

    struct ResizeRecord {
        int edge = 0;
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
    std::vector<LineGroup> groups_;
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
