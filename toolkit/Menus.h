// Menus: main and popup menus built from MenuItem trees. The items hold all
// state (caption, check, enabled, shortcut, bitmap); the system menu is
// built from them on first need and patched in place when an item changes.
// Shortcuts are key codes with shift bits (scShift, scCtrl, scAlt) and read
// and write as text like "Ctrl+F2" or "F5".
#pragma once

#include "toolkit/Component.h"
#include "toolkit/Control.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

#include <memory>
#include <string>
#include <vector>

namespace tk {

class Action;
class ImageList;
class Menu;

using ShortCut = WORD;
constexpr ShortCut scShift = 0x2000;
constexpr ShortCut scCtrl = 0x4000;
constexpr ShortCut scAlt = 0x8000;
constexpr ShortCut scNone = 0;

ShortCut MakeShortCut(WORD key, ShiftState shift);
// "Ctrl+F2", "Shift+Ctrl+X", "F5", "" for none.
std::string ShortCutToText(ShortCut shortCut);
// The reverse; 0 when the text names no key.
ShortCut TextToShortCut(const std::string& text);

class MenuItem : public Component {
public:
    MenuItem();
    ~MenuItem() override;

    // --- tree -------------------------------------------------------------
    MenuItem* Parent() const { return parent_; }
    std::size_t Count() const { return items_.size(); }
    MenuItem* Items(std::size_t index) const { return items_.at(index); }
    // Adds (or inserts) a child item; the item keeps its owner.
    void Add(MenuItem* item);
    void Insert(std::size_t index, MenuItem* item);
    void Remove(MenuItem* item);
    int IndexOf(const MenuItem* item) const;
    // Item with this caption (accelerator marks ignored) or name, or nullptr.
    MenuItem* Find(const std::string& caption) const;
    // The menu this item belongs to (through its parents), or nullptr.
    Menu* GetParentMenu() const;

    // --- appearance and state --------------------------------------------
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool IsLine() const { return caption_ == "-"; }
    bool Checked() const { return checked_; }
    void SetChecked(bool on);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    bool Visible() const { return visible_; }
    void SetVisible(bool on);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool on);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index) { groupIndex_ = index; }
    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool on) { autoCheck_ = on; }
    bool Default() const { return default_; }
    void SetDefault(bool on);
    ShortCut GetShortCut() const { return shortCut_; }
    void SetShortCut(ShortCut sc);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    // A picture shown beside the caption.
    Bitmap& GetBitmap() { return bitmap_; }
    void SetBitmap(const Bitmap& bitmap);

    Action* GetAction() const { return action_; }
    void SetAction(Action* action);

    // Runs OnClick (or the linked action); checks the item first when
    // AutoCheck is set.
    virtual void Click();
    NotifyEvent OnClick;

    // --- system menu --------------------------------------------------------
    UINT Command() const { return command_; }
    // The popup menu of this item's children (created on first need).
    HMENU Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    // The item (this or below) with this command or submenu; nullptr if none.
    MenuItem* FindCommand(UINT command);
    MenuItem* FindPopup(HMENU popup);
    // The first visible, enabled item (this or below) with this shortcut.
    MenuItem* FindShortCut(ShortCut sc);

    void SetParentComponent(Component* parent) override;
    // Called by the linked action when one of its properties changed.
    void ActionChanged(const Action& action);

protected:
    void Notification(Component* component, Operation operation) override;

private:
    friend class Menu;
    void Changed(bool structure);
    void FillInfo(MENUITEMINFOW& info, std::wstring& text);
    void RebuildHandle();
    void UpdateInParent();
    void DestroyHandle();
    bool EnabledChain() const;
    HBITMAP MenuBitmap();
    ImageList* PictureList() const;
    SIZE PictureSize();
    // The largest picture among the visible items of this item's submenu;
    // in the menu bar its own, or the room for a caption's ink.
    SIZE ColumnPictureSize();
    bool InMenuBar() const;
    void DrawPicture(HDC dc, const RECT& area, bool enabled);
    friend bool MeasureMenuPicture(MEASUREITEMSTRUCT& item);
    friend bool DrawMenuPicture(const DRAWITEMSTRUCT& item);

    MenuItem* parent_ = nullptr;
    Menu* menu_ = nullptr;  // set on the root item of a menu
    std::vector<MenuItem*> items_;
    std::string caption_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool radioItem_ = false;
    int groupIndex_ = 0;
    bool autoCheck_ = false;
    bool default_ = false;
    ShortCut shortCut_ = 0;
    std::string hint_;
    int imageIndex_ = -1;
    Bitmap bitmap_;
    Action* action_ = nullptr;
    UINT command_ = 0;
    HMENU handle_ = nullptr;
};

// The live item with this command id, or nullptr.
MenuItem* MenuItemByCommand(UINT command);
// An item's picture is drawn by the window that owns the menu: these answer
// its WM_MEASUREITEM / WM_DRAWITEM for a menu item; false when not ours.
bool MeasureMenuPicture(MEASUREITEMSTRUCT& item);
bool DrawMenuPicture(const DRAWITEMSTRUCT& item);

// Common base of main and popup menus: a root item whose children are the
// menu's entries.
class Menu : public Component, public ShortCutHandler {
public:
    Menu();
    ~Menu() override;

    MenuItem& Items() { return *root_; }
    ImageList* Images() const { return images_; }
    void SetImages(ImageList* images);

    // The item with this command id (WM_COMMAND) and run it.
    bool DispatchCommand(WORD id);
    bool DispatchPopup(HMENU popup);
    bool IsShortCut(WORD key, ShiftState shift) override;
    // The menu's system handle (the bar or the popup).
    virtual HMENU Handle() = 0;

    // An item or the tree changed; a main menu redraws its form's bar.
    virtual void MenuChanged() {}

protected:
    void Notification(Component* component, Operation operation) override;

    std::unique_ptr<MenuItem> root_;
    ImageList* images_ = nullptr;
    int imagesLink_ = 0;
};

class MainMenu : public Menu, public MenuSource {
public:
    MainMenu();
    HMENU Handle() override;
    HMENU MenuHandle() override { return Handle(); }
    bool DispatchCommand(WORD id) override { return Menu::DispatchCommand(id); }
    bool DispatchPopup(HMENU popup) override { return Menu::DispatchPopup(popup); }
    void MenuChanged() override;

    // The form whose menu bar this is (its owner, when that form uses it).
    Form* OwnerForm() const;
};

enum PopupAlignment { paLeft, paRight, paCenter };
enum TrackButton { tbRightButton, tbLeftButton };

class PopupMenu : public Menu, public PopupSource {
public:
    PopupMenu();
    HMENU Handle() override;
    // Shows the menu at a screen point and runs the chosen item.
    void Popup(int screenX, int screenY, Control* popupComponent) override;
    void Popup(int screenX, int screenY) { Popup(screenX, screenY, nullptr); }
    Control* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(Control* c) { popupComponent_ = c; }
    PopupAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(PopupAlignment a) { alignment_ = a; }
    TrackButton GetTrackButton() const { return trackButton_; }
    void SetTrackButton(TrackButton b) { trackButton_ = b; }
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool on) { autoPopup_ = on; }

    NotifyEvent OnPopup;

private:
    Control* popupComponent_ = nullptr;
    PopupAlignment alignment_ = paLeft;
    TrackButton trackButton_ = tbRightButton;
    bool autoPopup_ = true;
};

}  // namespace tk
