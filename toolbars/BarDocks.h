// BarDocks: docks along a form's edges that hold tool windows in rows, the
// tool window base class (docked in a dock or floating in a small owned
// window of its own), their non-client frames and captions, and the helpers
// that the docks, the tool windows and the drag and size loops share.
// User-interface thread only.
#pragma once

#include <windows.h>

#include "toolbars/BarCommon.h"
#include "toolkit/Control.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCustomToolWindow;
class TDock;
class TFloatingWindowParent;

enum TDockBoundLine : std::uint8_t { blTop, blBottom, blLeft, blRight };
using TDockBoundLines = std::uint8_t;  // bit (1 << TDockBoundLine)
enum TDockOrientation : std::uint8_t { doNotDocked, doHorizontal, doVertical };
enum TDragHandleStyle : std::uint8_t { dhDouble, dhNone, dhSingle };
enum TToolWindowDockMode : std::uint8_t { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
enum TToolWindowFloatingMode : std::uint8_t { fmOnTopOfParentForm, fmOnTopOfAllForms };
using TDockableTo = std::uint8_t;  // bit (1 << TDockPosition)
constexpr TDockableTo kDockableToAll = 0x0F;

constexpr const char* kToolbarVersion = "Toolbar controls version 1.0";

// Posted to a tool window: redraw the docked frame; redraw parts of the
// floating frame (the part bits in lParam). Pending ones are merged.
constexpr UINT RedrawDockedFrameMessage = 6063;
constexpr UINT RedrawFloatingFrameMessage = 6064;
enum TFloatingFramePart : unsigned { rfFrame = 1, rfCaption = 2, rfCloseButton = 4, rfAll = 7 };

using TInsertRemoveEvent = std::function<void(tk::Component* sender, bool inserting, TCustomToolWindow* bar)>;
using TRequestDockEvent = std::function<void(tk::Component* sender, TCustomToolWindow* bar, bool& accept)>;
using TDockChangingExEvent = std::function<void(tk::Component* sender, TDock* dock)>;

// The callbacks through which a host stores bar positions: each takes the
// bar's component name, the value's name, the default (reading) or the value
// (writing), and the host's own datum, passed through untouched.
using TPositionReadIntProc =
    std::function<int(const std::string& barName, const std::string& valueName, int defaultValue, void* extraData)>;
using TPositionReadStringProc = std::function<std::string(const std::string& barName, const std::string& valueName,
                                                          const std::string& defaultValue, void* extraData)>;
using TPositionWriteIntProc =
    std::function<void(const std::string& barName, const std::string& valueName, int value, void* extraData)>;
using TPositionWriteStringProc = std::function<void(const std::string& barName, const std::string& valueName,
                                                    const std::string& value, void* extraData)>;

// --- unit helpers ------------------------------------------------------------
int CaptionBarHeight();
void PrimaryWorkArea(RECT& area);
bool MultipleMonitorsPresent();
struct TMonitorFunctions {
    HMONITOR(WINAPI* fromRect)(LPCRECT, DWORD) = nullptr;
    HMONITOR(WINAPI* fromPoint)(POINT, DWORD) = nullptr;
    BOOL(WINAPI* getInfo)(HMONITOR, LPMONITORINFO) = nullptr;
};
// Looks the three monitor functions up in user32 afresh; false unless all exist.
bool BindMonitorFunctions(TMonitorFunctions& functions);
void WorkAreaOfRect(const RECT& rect, RECT& area);
void WorkAreaOfPoint(POINT point, RECT& area);
tk::Form* MdiFrameOf(tk::Form* form);
TDockOrientation DockOrientationOf(const TDock* dock);
tk::Form* ParentFormOf(const TCustomToolWindow* toolWindow);
// ParentFormOf, or EInvalidOperation "Control '%s' has no parent window".
tk::Form* RequireParentForm(const TCustomToolWindow* toolWindow);
// The control's outer rectangle on the screen (its window's when it has one).
RECT ScreenRectOf(const tk::Control* control);
// Dispatches the paint messages waiting in the thread's queue. Bounded: a
// window whose painting fails cannot keep it going.
void FlushPaintMessages();
HWND FindActivatableWindow(HWND exclude);
void RefreshNonClient(tk::WinControl* control);
TDockPosition DockPositionOfControl(tk::Control* control);
// The 8 x 8 half-tone pattern bitmap (rows 0x5555 / 0xAAAA).
HBITMAP CreateHalftoneBitmap();
// Inverts the ring of `newRect` XOR the ring of `oldRect` with a half-tone
// brush: drawing the same rectangle twice erases it. Either may be null.
// The caption text that fits `width` on `dc`: whole, or cut with "..." (at
// least one character stays before the dots).
std::string FitCaptionText(HDC dc, const std::string& text, int width);
// `brush` is a half-tone pattern brush to use (one is made when null).
void DrawDraggingOutline(HDC dc, const RECT* newRect, const RECT* oldRect, bool newDocked, bool oldDocked,
                         int floatingBorder, HBRUSH brush = nullptr);

// --- TDock -------------------------------------------------------------------
class TDock : public tk::CustomControl {
public:
    TDock();
    ~TDock() override;

    TDockPosition Position() const { return position_; }
    void SetPosition(TDockPosition position);
    bool AllowDrag() const { return allowDrag_; }
    void SetAllowDrag(bool allow);
    TDockBoundLines BoundLines() const { return boundLines_; }
    void SetBoundLines(TDockBoundLines lines);
    const tk::Bitmap& Background() const { return background_; }
    void SetBackground(const tk::Bitmap& bitmap);
    bool BackgroundOnToolbars() const { return backgroundOnToolbars_; }
    void SetBackgroundOnToolbars(bool on);
    bool BackgroundTransparent() const { return backgroundTransparent_; }
    void SetBackgroundTransparent(bool on);
    bool FixAlign() const { return fixAlign_; }
    void SetFixAlign(bool on);
    bool LimitToOneRow() const { return limitToOneRow_; }
    void SetLimitToOneRow(bool on) { limitToOneRow_ = on; }
    std::string Version() const { return kToolbarVersion; }
    void SetVersion(const std::string&) {}

    TInsertRemoveEvent OnInsertRemoveBar;
    TRequestDockEvent OnRequestDock;

    int BoundLinesWidth() const { return boundLinesWidth_; }
    int BoundLinesHeight() const { return boundLinesHeight_; }
    const std::vector<TCustomToolWindow*>& Bars() const { return bars_; }
    const std::vector<TCustomToolWindow*>& VisibleBars() const { return visibleBars_; }
    const std::vector<int>& RowThickness() const { return rowThickness_; }

    void LockLayout() { ++layoutLock_; }
    void UnlockLayout();
    void UpdateBarList(bool insert, TCustomToolWindow* bar);
    void BarShownOrHidden(TCustomToolWindow* bar, bool forceRemove);
    bool BarVisibleHere(const TCustomToolWindow* bar) const;
    bool HasVisibleBars() const;
    int LastRow() const;
    int BarsInRow(int row, const TCustomToolWindow* excluded) const;
    void OpenRowAt(int beforeRow);
    int ThicknessOfRow(int row, TCustomToolWindow* defaultBar = nullptr) const;
    int RowOfPoint(int xy, bool& before) const;
    int DesignRowOfPoint(int xy) const;
    void LayOutRows(bool commitPositions);
    void DrawBackgroundTiles(HDC dc, const RECT& clipRect, const RECT& drawRect, const RECT* excludeRect);
    bool HasBackground() const { return background_.Width() > 0 && background_.Height() > 0; }
    void RepaintBackgrounds();
    void DropBackgroundCache();

    void SetParent(tk::WinControl* parent) override;
    void AlignControls(tk::Control* changed, RECT& rect) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(tk::Canvas& canvas) override;
    void ColorChanged() override;
    // The background's palette.
    HPALETTE GetPalette() override;

protected:
    void CreateParams(tk::WindowCreateParams& params) override;
    void Loaded() override;
    void Notification(tk::Component* component, tk::Operation operation) override;
    void Resize() override;

private:
    friend class TCustomToolWindow;
    void ResizeDock(int newWidth, int newHeight);
    void DrawBoundLines(bool toGivenDC, HDC dc, HRGN updateRegion);
    void RemoveEmptyRows();
    // The thickness of every row from the visible bars in it.
    void BuildRowThickness();

    TDockPosition position_ = dpTop;
    bool allowDrag_ = true;
    TDockBoundLines boundLines_ = 0;
    tk::Bitmap background_;
    std::unique_ptr<tk::Bitmap> backgroundCache_;
    bool backgroundTransparent_ = false;
    bool backgroundOnToolbars_ = true;
    bool fixAlign_ = false;
    bool limitToOneRow_ = false;
    int layoutLock_ = 0;
    bool layoutPending_ = false;
    bool commitPositions_ = false;
    int boundLinesWidth_ = 0;
    int boundLinesHeight_ = 0;
    std::vector<TCustomToolWindow*> bars_;
    std::vector<TCustomToolWindow*> visibleBars_;
    std::vector<int> rowThickness_;
};

// --- TFloatingWindowParent --------------------------------------------------
// The borderless owned form that carries one floating tool window.
class TFloatingWindowParent : public tk::Form {
public:
    TFloatingWindowParent();
    ~TFloatingWindowParent() override;
    // The form the bar floats over; forgotten when that form goes.
    tk::Form* OwnerForm() const { return ownerForm_; }
    void SetOwnerForm(tk::Form* form);
    bool ShowWanted() const { return showWanted_; }
    void SetShowWanted(bool wanted) { showWanted_ = wanted; }

    void ShowingChanged() override;
    bool DialogKey(WORD key, tk::ShiftState shift) override;

protected:
    void CreateParams(tk::WindowCreateParams& params) override;
    void Notification(tk::Component* component, tk::Operation operation) override;

private:
    tk::Form* ownerForm_ = nullptr;
    bool showWanted_ = false;
};

// --- TCustomToolWindow ------------------------------------------------------
class TCustomToolWindow : public tk::CustomControl {
public:
    TCustomToolWindow();
    ~TCustomToolWindow() override;

    // --- properties ---------------------------------------------------------
    bool ActivateParent() const { return activateParent_; }
    void SetActivateParent(bool on) { activateParent_ = on; }
    tk::BorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(tk::BorderStyle style);
    bool CloseButton() const { return closeButton_; }
    void SetCloseButton(bool on);
    bool CloseButtonWhenDocked() const { return closeButtonWhenDocked_; }
    void SetCloseButtonWhenDocked(bool on);
    TDock* DefaultDock() const { return defaultDock_; }
    void SetDefaultDock(TDock* dock);
    TDockableTo DockableTo() const { return dockableTo_; }
    void SetDockableTo(TDockableTo to) { dockableTo_ = to; }
    TDock* DockedTo() const { return dockedTo_; }
    void SetDockedTo(TDock* dock);
    TToolWindowDockMode DockMode() const { return dockMode_; }
    void SetDockMode(TToolWindowDockMode mode) { dockMode_ = mode; }
    int DockPos() const { return dockPos_; }
    void SetDockPos(int pos);
    int DockRow() const { return dockRow_; }
    void SetDockRow(int row);
    TDragHandleStyle DragHandleStyle() const { return dragHandleStyle_; }
    void SetDragHandleStyle(TDragHandleStyle style);
    TToolWindowFloatingMode FloatingMode() const { return floatingMode_; }
    void SetFloatingMode(TToolWindowFloatingMode mode);
    bool FullSize() const { return fullSize_; }
    void SetFullSize(bool on);
    bool HideWhenInactive() const { return hideWhenInactive_; }
    void SetHideWhenInactive(bool on);
    TDock* LastDock() const { return lastDock_; }
    void SetLastDock(TDock* dock);
    bool UseLastDock() const { return useLastDock_; }
    void SetUseLastDock(bool on);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool on);
    std::string Version() const { return kToolbarVersion; }
    void SetVersion(const std::string&) {}
    bool SavedAtRunTime() const { return savedAtRunTime_; }
    void SetSavedAtRunTime(bool on) { savedAtRunTime_ = on; }

    bool Docked() const { return docked_; }
    bool Floating() const;
    bool Resizable() const { return resizable_; }
    TFloatingWindowParent* FloatParent() const { return floatParent_.get(); }
    POINT FloatingTopLeft() const { return floatingTopLeft_; }
    int NonClientWidth() const { return ncWidth_; }
    int NonClientHeight() const { return ncHeight_; }
    bool CaptionInactive() const { return captionInactive_; }

    tk::NotifyEvent OnClose;
    std::function<void(tk::Component*, bool&)> OnCloseQuery;
    tk::NotifyEvent OnDockChanged;
    tk::NotifyEvent OnDockChanging;
    TDockChangingExEvent OnDockChangingEx;
    TDockChangingExEvent OnDockChangingHidden;
    tk::NotifyEvent OnMove;
    tk::NotifyEvent OnRecreated;
    tk::NotifyEvent OnRecreating;
    tk::NotifyEvent OnVisibleChanged;

    // --- operations ---------------------------------------------------------
    void LockArrange() { ++arrangeLock_; }
    void UnlockArrange();
    void Rearrange();
    void RearrangeFor(TDockOrientation previous, TDock* dock, bool resize);
    void KeepOnScreen(bool onlyWhenFullyOff);
    int DockRowThickness();
    void RefreshVisibility();
    bool ComputeShowingState() const;

    // Abstract layout: thickness for an orientation, minimum client size,
    // and the placing (or, with mayMove false, measuring) of the children.
    virtual int MeasureBarSize(TDockOrientation orientation) = 0;
    virtual void MeasureMinimumSize(int& clientWidth, int& clientHeight) = 0;
    virtual POINT PlaceControls(bool mayMove, TDockOrientation previous, TDock* dock) = 0;
    virtual void BeforeSizeChange(int, int) {}
    virtual void PrepareOrdering() {}
    // A host that stores positions reads a bar's own values, tells it when
    // it has placed it, and writes them; a tool window stores none itself.
    virtual void LoadPositionData(const TPositionReadIntProc&, const TPositionReadStringProc&, void*) {}
    virtual void PositionDataLoaded(const TPositionReadIntProc&, const TPositionReadStringProc&, void*) {}
    virtual void SavePositionData(const TPositionWriteIntProc&, const TPositionWriteStringProc&, void*) {}
    virtual bool LetsDragThrough(tk::Control*) const { return false; }

    // --- frame and caption ------------------------------------------------
    void UpdateNonClientSize(RECT* clientRect);
    // Docked: top-left and bottom-right frame; floating likewise.
    void DockedFrame(RECT& frame, TDock* dock) const;
    void FloatingFrame(RECT& frame) const;
    SIZE FloatingBorderSize() const;
    RECT CaptionRect(bool adjustForBorder, bool roomForCloseButton) const;
    RECT CloseButtonRect(bool adjustForBorder) const;
    RECT DockedCloseButtonRect(bool vertical) const;
    int DragHandleBandWidth() const;
    void DrawDockedFrame(bool toGivenDC, HDC dc, HRGN clip);
    void DrawFloatingFrame(bool toGivenDC, HDC dc, HRGN clip, unsigned parts);
    void RequestDockedRedraw();
    void RequestFloatingRedraw(unsigned parts);
    bool CloseButtonDown() const { return closeButtonDown_; }

    // Hit code for a point relative to the window rectangle, given the
    // system's answer: the caption and the whole client answer HTCLIENT, the
    // close buttons HTCLOSE, the border bands of a resizable floating bar
    // the sizing codes (corners too with EightEdgeSizing).
    LRESULT NcHitTest(POINT windowPoint, LRESULT inherited) const;
    // True when the client point lies on a shown child that keeps the press
    // for itself (a button; a separator lets drags through).
    bool PointOnChild(POINT clientPoint) const;
    // The modal drag from a press at the client point: outline on the
    // screen until release (docks or floats the bar there) or cancel.
    void DragLoop(int x, int y);
    // The modal resize of a floating bar by one edge (hit code - HTLEFT).
    void SizeLoop(int edge);
    // Resize steps: before the loop, at every step (may change newRect) and
    // after the loop's clean-up, before the rectangle is applied.
    virtual void SizingStarted(int) {}
    virtual void SizingTracked(RECT&, const RECT&) {}
    virtual void SizingEnded(bool) {}
    // The press on a close button: tracks the mouse until release, closes
    // (OnCloseQuery, hide, OnClose) when released over the button.
    void TrackCloseButton();

    void SetParent(tk::WinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    void AlignControls(tk::Control* changed, RECT& rect) override;
    // A child shown, hidden or resized re-arranges the bar.
    bool PlacesEveryChild() const override { return true; }
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ShowingChanged() override;
    void VisibleChanged() override;
    void ColorChanged() override;
    void TextChanged() override;
    void Paint(tk::Canvas& canvas) override;
    // Docked where the dock's background shows on its bars, the
    // background's palette; a change seen in the background redraws frame
    // and client area.
    HPALETTE GetPalette() override;
    bool PaletteChanged(bool foreground) override;

    // The floating tool windows (for tests and the hook handler).
    static std::vector<TCustomToolWindow*> FloatingList();

protected:
    void CreateParams(tk::WindowCreateParams& params) override;
    void CreateWnd() override;
    void MouseDown(tk::MouseButton button, tk::ShiftState shift, int x, int y) override;
    void Loaded() override;
    void Notification(tk::Component* component, tk::Operation operation) override;
    virtual void GetSizingFlags(bool& standardAlign, bool& eightEdgeSizing, bool& clipCursor);
    void InitSizingFlags();

    bool standardAlign_ = true;
    bool eightEdgeSizing_ = true;
    bool clipCursorWhileSizing_ = true;

private:
    friend class TDock;
    friend void FloatingHookHandler(THookEvent, HWND, WPARAM, LPARAM);
    struct DragState;
    struct SizeState;
    void CollectDocks(std::vector<TDock*>& docks);
    void TrackDrag(DragState& drag);
    bool DockHitTest(const DragState& drag, std::size_t sizeIndex, POINT cursor) const;
    void DropAt(const DragState& drag);
    void TrackSize(SizeState& size);
    void DoSetParent(tk::WinControl* newParent);
    void UpdateFloatingList();
    void RememberFloatingTopLeft(POINT topLeft);
    void RefreshTopmost();
    void NotifyDockChangingHidden(TDock* dock);
    // Docked on a dock whose background shows on its bars.
    bool ShowsDockBackground() const;
    void MoveNotify();
    static void PrintFrame(HWND wnd, HDC dc, LPARAM self);
    void DrawOwnCaption(HDC dc, const RECT& rect);

    bool docked_ = false;
    TDock* dockedTo_ = nullptr;
    bool resizable_ = true;
    TDockOrientation lastOrientation_ = doNotDocked;
    bool lastOrientationSet_ = false;
    int updatingBounds_ = 0;
    int arrangeLock_ = 0;
    int moveLock_ = 0;
    int hideCount_ = 0;
    bool arrangeNeeded_ = false;
    bool captionInactive_ = false;
    POINT floatingTopLeft_{0, 0};
    // False until the bar has a floating place of its own (it never floated).
    bool floatingPlaced_ = false;
    bool savedAtRunTime_ = false;
    int ncWidth_ = 0;
    int ncHeight_ = 0;
    std::unique_ptr<TFloatingWindowParent> floatParent_;
    // The form floatParent_ belongs to; only compared, never used once it went.
    tk::Form* floatForm_ = nullptr;
    bool closeButtonDown_ = false;

    bool activateParent_ = true;
    tk::BorderStyle borderStyle_ = tk::bsSingle;
    bool closeButton_ = true;
    bool closeButtonWhenDocked_ = false;
    TDock* defaultDock_ = nullptr;
    TDockableTo dockableTo_ = kDockableToAll;
    TToolWindowDockMode dockMode_ = dmCanFloat;
    int dockPos_ = -1;
    int dockRow_ = 0;
    TDragHandleStyle dragHandleStyle_ = dhDouble;
    TToolWindowFloatingMode floatingMode_ = fmOnTopOfParentForm;
    bool fullSize_ = false;
    bool hideWhenInactive_ = true;
    TDock* lastDock_ = nullptr;
    bool useLastDock_ = true;
    bool showCaption_ = true;
};

void FloatingHookHandler(THookEvent event, HWND wnd, WPARAM wParam, LPARAM lParam);
