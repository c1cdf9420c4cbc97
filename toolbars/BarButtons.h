// BarButtons: the toolbar button and the machinery behind its picture.
// TButtonGlyph owns a button's source pictures and renders one image per
// draw state on first use (a disabled look it generates itself); the images
// live in TGlyphLists, image lists with reusable slots that one process-wide
// TGlyphCache shares among all glyphs of one size. TToolbarButton is a
// windowless, flat or raised button with picture and caption, groups,
// auto-repeat, a dropdown menu and hot tracking through the thread hooks.
#pragma once

#include "toolbars/BarCommon.h"
#include "toolkit/Control.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"
#include "toolkit/ImgList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tk {
class Action;
class Canvas;
class PopupMenu;
}  // namespace tk

// Also the order of the images in a glyph strip.
enum TButtonDrawState : std::uint8_t { bdsUp, bdsDisabled, bdsDown, bdsExclusive, bdsHot };
enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TButtonDisplayMode : std::uint8_t { dmBoth, dmGlyphOnly, dmTextOnly };

// --- glyph lists and the cache ----------------------------------------------------
// An image list whose slots are reused: releasing a slot keeps the image and
// the numbering of every other slot, the next allocation takes it again.
class TGlyphList : public tk::ImageList {
public:
    TGlyphList(int width, int height);
    static std::unique_ptr<TGlyphList> CreateForSize(int width, int height);

    int TakeFreeSlot();
    // White mask pixels are transparent. Returns the slot.
    int Add(const tk::Bitmap& image, const tk::Bitmap& mask);
    // Pixels of maskColor (clDefault: the bottom-left pixel's) are transparent.
    int AddWithMaskColour(const tk::Bitmap& image, tk::Color maskColor);
    void ReleaseSlot(int index);
    // Slots in use (ImageList::Count() is the number of images).
    int Count() const { return count_; }
    const std::vector<bool>& Used() const { return used_; }
    // Draws a slot's image transparently: two block transfers from the
    // list's own copies, as a masked image-list draw costs many times more.
    void DrawSlot(HDC dc, int x, int y, int slot);

private:
    void StoreSlot(int slot, const tk::Bitmap& image, const tk::Bitmap& mask);

    std::vector<bool> used_;
    int count_ = 0;
    // Every slot side by side: the pictures (transparent parts black) and
    // their masks (white = transparent).
    tk::Bitmap pictures_;
    tk::Bitmap masks_;
};

class TGlyphCache {
public:
    // The list of exactly that image size, made when missing.
    TGlyphList* ListForSize(int width, int height);
    void DropListIfEmpty(TGlyphList* list);
    bool HoldsNoList() const { return GlyphLists.empty(); }
    std::size_t ListCount() const { return GlyphLists.size(); }

private:
    std::vector<std::unique_ptr<TGlyphList>> GlyphLists;
};

// The process's cache, or nullptr while no glyph exists.
TGlyphCache* GlyphCache();

struct TRenderedImage {
    int Kind = 0;    // 0: disabled images, (W+1) x (H+1); 1: all other states, W x H
    int Index = -1;  // -1: nothing to draw
};

class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    tk::Bitmap& Glyph() { return glyph_; }
    tk::Bitmap& GlyphMask() { return glyphMask_; }
    void AssignGlyph(const tk::Bitmap& bitmap);
    void AssignGlyphMask(const tk::Bitmap& bitmap);
    int NumGlyphs() const { return numGlyphs_; }
    void AssignNumGlyphs(int value);
    // From the strip's shape: square images, at most 5.
    void RecountImages();
    tk::ImageList* Images() const { return images_; }
    void SetImages(tk::ImageList* images);
    // The image list is being destroyed: forget it without touching it.
    void ImagesDestroyed();
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    bool OldDisabledStyle() const { return oldDisabledStyle_; }
    void SetOldDisabledStyle(bool on);
    tk::Color TransparentColor() const { return transparentColor_; }
    bool MakeGlyphDormant = true;
    // After every change that needs a redraw.
    std::function<void()> OnChange;

    // Returns every rendered image to the cache.
    void DiscardImages();
    // A picture changed: `fromGlyph` when Glyph itself (new transparent colour).
    void PictureChanged(bool fromGlyph = false);
    TRenderedImage RenderStateImage(TButtonDrawState state);
    TGlyphList* GlyphLists(int kind) const { return lists_[kind]; }
    int Indexes(int kind, int state) const { return indexes_[kind][state]; }

    struct FaceLayout {
        POINT glyph{0, 0};
        POINT arrow{0, 0};
        RECT text{0, 0, 0, 0};
    };
    struct FaceParams {
        TButtonDrawState state = bdsUp;
        int arrowWidth = 9;
        bool drawArrow = false;
        int spacing = 4;
        int margin = -1;
        TButtonLayout layout = blGlyphLeft;
        tk::Alignment alignment = tk::taCenter;
        bool wordWrap = false;
        std::string caption;
        bool drawCaption = true;
        bool drawPicture = true;
        int offset = 0;
    };
    FaceLayout ComputeFaceLayout(tk::Canvas& canvas, const RECT& client, const FaceParams& p);
    // Picture, caption and arrow; returns the text bounds.
    RECT PaintButtonFace(tk::Canvas& canvas, const RECT& client, const FaceParams& p);
    void PaintPicture(tk::Canvas& canvas, POINT pos, TButtonDrawState state);
    static void PaintCaption(tk::Canvas& canvas, const std::string& caption, const RECT& textBounds,
                             TButtonDrawState state, tk::Alignment alignment, bool wordWrap);
    static void PaintDropArrow(tk::Canvas& canvas, int x, int y, int arrowWidth, TButtonDrawState state);

private:
    SIZE ImageSize() const;
    void RenderInto(TButtonDrawState state, int kind);

    tk::Bitmap glyph_;
    tk::Bitmap glyphMask_;
    TGlyphList* lists_[2] = {nullptr, nullptr};
    int imageIndex_ = -1;
    tk::ImageList* images_ = nullptr;
    int imageChangeLink_ = 0;
    int indexes_[2][5];
    tk::Color transparentColor_ = tk::clNone;
    int numGlyphs_ = 1;
    bool oldDisabledStyle_ = false;
};

// --- the button -------------------------------------------------------------------
class TToolbarButton;
using TButtonDropdownEvent = std::function<void(tk::Component* sender, bool& showMenu, bool& removeClicks)>;

// Carries Checked, help context and image index of a linked action onto the
// button, next to what the toolkit copies for every control.
class TToolbarButtonActionLink {
public:
    explicit TToolbarButtonActionLink(TToolbarButton& client) : client_(client) {}
    bool IsCheckedLinked() const;
    bool IsHelpContextLinked() const;
    bool IsImageIndexLinked() const;
    void SetChecked(bool value);
    void SetHelpContext(int value);
    void SetImageIndex(int value);

private:
    tk::Action* LinkedAction() const;
    TToolbarButton& client_;
};

class TToolbarButton : public tk::Control, public tk::DialogButton {
public:
    TToolbarButton();
    ~TToolbarButton() override;

    // --- properties ---------------------------------------------------------
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool on);
    tk::Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(tk::Alignment a);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool on) { cancel_ = on; }
    bool Default() const { return default_; }
    void SetDefault(bool on) { default_ = on; }
    TButtonDisplayMode DisplayMode() const { return displayMode_; }
    void SetDisplayMode(TButtonDisplayMode mode);
    bool Down() const { return down_; }
    void SetDown(bool on);
    bool DropdownAlways() const { return dropdownAlways_; }
    void SetDropdownAlways(bool on);
    bool DropdownArrow() const { return dropdownArrow_; }
    void SetDropdownArrow(bool on);
    int DropdownArrowWidth() const { return dropdownArrowWidth_; }
    void SetDropdownArrowWidth(int width);
    bool DropdownCombo() const { return dropdownCombo_; }
    void SetDropdownCombo(bool on);
    tk::PopupMenu* DropdownMenu() const { return dropdownMenu_; }
    void SetDropdownMenu(tk::PopupMenu* menu);
    bool Flat() const { return flat_; }
    void SetFlat(bool on);
    tk::Bitmap& Glyph() { return glyph_.Glyph(); }
    void SetGlyph(const tk::Bitmap& bitmap) { glyph_.AssignGlyph(bitmap); }
    tk::Bitmap& GlyphMask() { return glyph_.GlyphMask(); }
    void SetGlyphMask(const tk::Bitmap& bitmap) { glyph_.AssignGlyphMask(bitmap); }
    // A bitmap resource of the program file by name; false when missing.
    bool LoadGlyphResource(const std::string& name);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }
    bool HighlightWhenDown() const { return highlightWhenDown_; }
    void SetHighlightWhenDown(bool on);
    int ImageIndex() const { return glyph_.ImageIndex(); }
    void SetImageIndex(int index);
    tk::ImageList* Images() const { return glyph_.Images(); }
    void SetImages(tk::ImageList* images);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    bool NoBorder() const { return noBorder_; }
    void SetNoBorder(bool on);
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int count);
    bool OldDisabledStyle() const { return glyph_.OldDisabledStyle(); }
    void SetOldDisabledStyle(bool on) { glyph_.SetOldDisabledStyle(on); }
    bool Opaque() const { return opaque_; }
    void SetOpaque(bool on);
    bool Repeating() const { return repeating_; }
    void SetRepeating(bool on) { repeating_ = on; }
    int RepeatDelay() const { return repeatDelay_; }
    void SetRepeatDelay(int ms) { repeatDelay_ = ms; }
    int RepeatInterval() const { return repeatInterval_; }
    void SetRepeatInterval(int ms) { repeatInterval_ = ms; }
    bool ShowBorderWhenInactive() const { return showBorderWhenInactive_; }
    void SetShowBorderWhenInactive(bool on) { showBorderWhenInactive_ = on; }
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    std::string Version() const { return "Toolbar controls version 1.0"; }
    void SetVersion(const std::string&) {}
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool on);

    TButtonDropdownEvent OnDropdown;
    tk::NotifyEvent OnMouseExit;  // OnMouseEnter is the control's

    // --- state (read-only) -----------------------------------------------------
    TButtonDrawState State() const { return state_; }
    bool MouseInControl() const { return mouseInControl_; }
    bool MouseIsDown() const { return mouseIsDown_; }
    bool InClick() const { return inClick_; }
    bool UsesDropdown() const { return usesDropdown_; }
    bool RepeatTimerExists() const { return repeatTimer_ != nullptr; }
    TButtonGlyph& ButtonGlyph() { return glyph_; }
    TToolbarButtonActionLink& ActionLink() { return actionLink_; }

    // The one hot button of the process, or nullptr.
    static TToolbarButton* ButtonWithMouse();
    static int ButtonCount();
    // The button is drawn pressed while its click is processed.
    static bool StayDownInClick;

    // --- behaviour ----------------------------------------------------------------
    void Click() override;
    void DblClick() override;
    bool IsDefault() const override { return default_; }
    bool IsCancel() const override { return cancel_; }
    void Paint(tk::Canvas& canvas) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void EnabledChanged() override;
    void FontChanged() override;
    void TextChanged() override;
    void ActionChange(tk::BasicAction& action, bool checkDefaults) override;
    bool DialogChar(char key, tk::ShiftState shift) override;
    // The system colours changed: the checker pattern and the images follow.
    void SysColorChange();
    // The glyph's palette.
    HPALETTE GetPalette() override;
    // Sets the action's Checked from Down.
    void AssignTo(tk::Action& action) const;

protected:
    void MouseDown(tk::MouseButton button, tk::ShiftState shift, int x, int y) override;
    void MouseMove(tk::ShiftState shift, int x, int y) override;
    void MouseUp(tk::MouseButton button, tk::ShiftState shift, int x, int y) override;
    // Hot tracking is the button's own: the toolkit's enter and leave notes are not used.
    void MouseEnter() override {}
    void MouseLeave() override {}
    void Loaded() override;
    void Notification(tk::Component* component, tk::Operation operation) override;

private:
    friend void ButtonHookProc(THookEvent, HWND, WPARAM, LPARAM);
    friend void MouseLeaveTick();
    struct RepeatTimer;

    void Redraw(bool erase);
    void UpdateUsesDropdown();
    void UpdateExclusive();
    // Makes this the hot button when the mouse at `at` (own coordinates) is
    // over it, or unconditionally for a press.
    void TrackMouse(bool checkCursor, POINT at);
    void MouseEntered();
    void MouseLeft();
    void StopBeingButtonWithMouse();
    bool InMainPart(int x, int y) const;
    void RepeatTick();
    void FreeRepeatTimer();
    void EndClick();
    void ShowDropdownMenu();
    void RemoveQueuedClicks();

    TButtonGlyph glyph_;
    TToolbarButtonActionLink actionLink_{*this};
    bool allowAllUp_ = false;
    tk::Alignment alignment_ = tk::taCenter;
    bool cancel_ = false;
    bool default_ = false;
    TButtonDisplayMode displayMode_ = dmBoth;
    bool down_ = false;
    bool dropdownAlways_ = false;
    bool dropdownArrow_ = true;
    int dropdownArrowWidth_ = 9;
    bool dropdownCombo_ = false;
    tk::PopupMenu* dropdownMenu_ = nullptr;
    bool flat_ = true;
    int groupIndex_ = 0;
    int helpContext_ = 0;
    bool highlightWhenDown_ = true;
    TButtonLayout layout_ = blGlyphLeft;
    int margin_ = -1;
    int modalResult_ = 0;
    bool noBorder_ = false;
    bool opaque_ = true;
    bool repeating_ = false;
    int repeatDelay_ = 400;
    int repeatInterval_ = 100;
    bool showBorderWhenInactive_ = false;
    int spacing_ = 4;
    bool wordWrap_ = false;

    bool inClick_ = false;
    bool mouseInControl_ = false;
    bool mouseIsDown_ = false;
    bool menuIsDown_ = false;
    bool usesDropdown_ = false;
    std::unique_ptr<RepeatTimer> repeatTimer_;
    TButtonDrawState state_ = bdsUp;
};

void ButtonHookProc(THookEvent event, HWND wnd, WPARAM wParam, LPARAM lParam);
// Frees the shared paint buffer, checker pattern and timer when no button
// is left; also safe to call at program end.
void ReleaseButtonResources();
