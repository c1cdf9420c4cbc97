// Menus: item trees, their system menus, command and shortcut dispatch.
#include "toolkit/Menus.h"

#include "toolkit/ActnList.h"
#include "toolkit/Canvas.h"
#include "toolkit/ImgList.h"
#include "toolkit/Services.h"
#include "toolkit/Streaming.h"
#include "toolkit/WideText.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace tk {

namespace {

// Command ids of menu items: unique in the process, 16 bits as WM_COMMAND
// carries them, never 0 and clear of the dialog ids 1..99.
UINT NextCommand() {
    static UINT next = 100;
    UINT id = next++;
    if (next > 0xFFFF) next = 100;
    return id;
}

// Live items by command id: the owner window's messages about an item's
// picture name it by that id alone.
std::map<UINT, MenuItem*>& ItemsByCommand() {
    static std::map<UINT, MenuItem*> items;
    return items;
}

struct KeyName {
    WORD key;
    const char* name;
};

const KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},   {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"},    {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"}, {VK_INSERT, "Ins"},  {VK_DELETE, "Del"},
};

std::string KeyText(WORD key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    for (const auto& k : kKeyNames)
        if (k.key == key) return k.name;
    return {};
}

bool StartsWithNoCase(const std::string& text, size_t at, const char* prefix) {
    for (size_t i = 0; prefix[i]; ++i) {
        if (at + i >= text.size()) return false;
        if (std::toupper(static_cast<unsigned char>(text[at + i])) != std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

std::string StripHotkey(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

}  // namespace

MenuItem* MenuItemByCommand(UINT command) {
    auto it = ItemsByCommand().find(command);
    return it == ItemsByCommand().end() ? nullptr : it->second;
}

ShortCut MakeShortCut(WORD key, ShiftState shift) {
    ShortCut sc = static_cast<ShortCut>(key & 0xFF);
    if (shift & ssShift) sc |= scShift;
    if (shift & ssCtrl) sc |= scCtrl;
    if (shift & ssAlt) sc |= scAlt;
    return sc;
}

std::string ShortCutToText(ShortCut shortCut) {
    const std::string key = KeyText(static_cast<WORD>(shortCut & 0xFF));
    if (key.empty()) return {};
    std::string text;
    if (shortCut & scShift) text += "Shift+";
    if (shortCut & scCtrl) text += "Ctrl+";
    if (shortCut & scAlt) text += "Alt+";
    return text + key;
}

ShortCut TextToShortCut(const std::string& text) {
    ShortCut mods = 0;
    size_t at = 0;
    for (;;) {
        if (StartsWithNoCase(text, at, "Shift+")) {
            mods |= scShift;
            at += 6;
        } else if (StartsWithNoCase(text, at, "Ctrl+")) {
            mods |= scCtrl;
            at += 5;
        } else if (StartsWithNoCase(text, at, "Alt+")) {
            mods |= scAlt;
            at += 4;
        } else {
            break;
        }
    }
    const std::string rest = text.substr(at);
    if (rest.empty()) return 0;
    for (WORD key = 1; key < 256; ++key) {
        const std::string name = KeyText(key);
        if (!name.empty() && name.size() == rest.size() && StartsWithNoCase(rest, 0, name.c_str()))
            return static_cast<ShortCut>(mods | key);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// MenuItem

MenuItem::MenuItem() : command_(NextCommand()) { ItemsByCommand()[command_] = this; }

MenuItem::~MenuItem() {
    if (auto it = ItemsByCommand().find(command_); it != ItemsByCommand().end() && it->second == this)
        ItemsByCommand().erase(it);
    SetStateFlag(csDestroying, true);
    SetAction(nullptr);
    if (parent_) parent_->Remove(this);
    for (MenuItem* child : items_) child->parent_ = nullptr;
    items_.clear();
    DestroyHandle();
}

void MenuItem::DestroyHandle() {
    if (!handle_) return;
    if (::IsMenu(handle_)) {
        // Detach the submenus first: each item destroys its own.
        while (::GetMenuItemCount(handle_) > 0) ::RemoveMenu(handle_, 0, MF_BYPOSITION);
        ::DestroyMenu(handle_);
    }
    handle_ = nullptr;
}

Menu* MenuItem::GetParentMenu() const {
    const MenuItem* top = this;
    while (top->parent_) top = top->parent_;
    return top->menu_;
}

void MenuItem::Add(MenuItem* item) { Insert(items_.size(), item); }

void MenuItem::Insert(std::size_t index, MenuItem* item) {
    if (!item || item == this) return;
    for (MenuItem* p = this; p; p = p->parent_)
        if (p == item) throw EInvalidOperation("A menu item cannot contain itself");
    if (item->parent_) item->parent_->Remove(item);
    index = std::min(index, items_.size());
    const bool firstChild = items_.empty();
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), item);
    item->parent_ = this;
    RebuildHandle();
    // Gaining a submenu changes this item's entry in its own parent.
    if (firstChild && parent_) parent_->RebuildHandle();
    if (Menu* m = GetParentMenu()) m->MenuChanged();
}

void MenuItem::Remove(MenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    if (IsDestroying()) return;
    RebuildHandle();
    if (items_.empty() && parent_) parent_->RebuildHandle();
    if (Menu* m = GetParentMenu()) m->MenuChanged();
}

int MenuItem::IndexOf(const MenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

MenuItem* MenuItem::Find(const std::string& caption) const {
    const std::string wanted = StripHotkey(caption);
    for (MenuItem* item : items_) {
        if (SameText(StripHotkey(item->caption_), wanted) || SameText(item->Name(), caption)) return item;
    }
    return nullptr;
}

void MenuItem::SetParentComponent(Component* parent) {
    if (auto* item = dynamic_cast<MenuItem*>(parent)) {
        item->Add(this);
    } else if (auto* menu = dynamic_cast<Menu*>(parent)) {
        menu->Items().Add(this);
    } else {
        Component::SetParentComponent(parent);
    }
}

void MenuItem::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    const bool lineChange = (caption == "-") != IsLine();
    caption_ = caption;
    Changed(lineChange);
}

void MenuItem::SetChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    if (on && radioItem_ && parent_) {
        for (MenuItem* sibling : parent_->items_) {
            if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) sibling->SetChecked(false);
        }
    }
    Changed(false);
}

void MenuItem::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    Changed(false);
}

void MenuItem::SetVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    Changed(true);
}

void MenuItem::SetRadioItem(bool on) {
    if (on == radioItem_) return;
    radioItem_ = on;
    Changed(false);
}

void MenuItem::SetDefault(bool on) {
    if (on == default_) return;
    default_ = on;
    Changed(false);
}

void MenuItem::SetShortCut(ShortCut sc) {
    if (sc == shortCut_) return;
    shortCut_ = sc;
    Changed(false);
}

// A picture sizes the picture column of the whole submenu (see
// ColumnPictureSize): its siblings are laid out again with it.
void MenuItem::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    Changed(true);
}

void MenuItem::SetBitmap(const Bitmap& bitmap) {
    bitmap_ = bitmap;
    Changed(true);
}

void MenuItem::SetAction(Action* action) {
    if (action == action_) return;
    if (action_) {
        auto& clients = action_->menuClients_;
        clients.erase(std::remove(clients.begin(), clients.end(), this), clients.end());
        action_->RemoveFreeNotification(this);
    }
    action_ = action;
    if (action_) {
        action_->menuClients_.push_back(this);
        action_->FreeNotification(this);
        ActionChanged(*action_);
    }
}

void MenuItem::ActionChanged(const Action& action) {
    SetCaption(action.Caption());
    SetHint(action.Hint());
    SetShortCut(action.GetShortCut());
    SetEnabled(action.Enabled());
    SetChecked(action.Checked());
    SetVisible(action.Visible());
    SetImageIndex(action.ImageIndex());
}

void MenuItem::Notification(Component* component, Operation operation) {
    Component::Notification(component, operation);
    if (operation == Operation::Remove && component == action_) action_ = nullptr;
}

void MenuItem::Click() {
    if (!enabled_ || IsDestroying() || IsReading()) return;
    if (autoCheck_) SetChecked(!checked_);
    if (OnClick)
        OnClick(this);
    else if (action_)
        action_->Execute(this);
}

bool MenuItem::EnabledChain() const {
    for (const MenuItem* p = this; p; p = p->parent_)
        if (!p->enabled_) return false;
    return true;
}

MenuItem* MenuItem::FindCommand(UINT command) {
    if (command_ == command) return this;
    for (MenuItem* item : items_)
        if (MenuItem* found = item->FindCommand(command)) return found;
    return nullptr;
}

MenuItem* MenuItem::FindPopup(HMENU popup) {
    if (handle_ && handle_ == popup) return this;
    for (MenuItem* item : items_)
        if (MenuItem* found = item->FindPopup(popup)) return found;
    return nullptr;
}

MenuItem* MenuItem::FindShortCut(ShortCut sc) {
    for (MenuItem* item : items_) {
        if (item->shortCut_ == sc && sc != 0) return item;
        if (MenuItem* found = item->FindShortCut(sc)) return found;
    }
    return nullptr;
}

ImageList* MenuItem::PictureList() const {
    Menu* menu = GetParentMenu();
    ImageList* images = menu ? menu->Images() : nullptr;
    return images && imageIndex_ >= 0 && imageIndex_ < images->Count() ? images : nullptr;
}

// A bitmap handed to the system menu is copied as it stands, its transparent
// colour included (a green or magenta square); the owner window draws the
// picture itself instead, over the item's own background.
HBITMAP MenuItem::MenuBitmap() {
    if (!bitmap_.Empty() || PictureList()) return HBMMENU_CALLBACK;
    // An item without a picture in a submenu with pictures gets an empty one
    // of the column's size: some platforms (Wine) start every item's text
    // after the picture column but count the column only in the widths of
    // items that have a picture, so a longer caption without one lost its
    // end and ran into its shortcut.
    // In the menu bar an item's text is drawn clipped to about its measured
    // width (Wine: two average character widths less twelve pixels beside
    // it), so a caption whose ink passes that width ("Affichage" in a
    // substituted font) lost its last letter: an empty picture as wide as
    // that ink widens every bar item.
    const SIZE column = ColumnPictureSize();
    return column.cx > 0 ? HBMMENU_CALLBACK : nullptr;
}

bool MenuItem::InMenuBar() const {
    return parent_ && parent_->menu_ && dynamic_cast<MainMenu*>(parent_->menu_);
}

SIZE MenuItem::ColumnPictureSize() {
    SIZE column{0, 0};
    if (InMenuBar()) {
        const SIZE own = PictureSize();
        return own.cx > 0 ? own : SIZE{kInkOverhang + 1, 1};
    }
    if (!parent_) return PictureSize();
    for (MenuItem* sibling : parent_->items_) {
        if (!sibling->visible_ || sibling->IsLine()) continue;
        const SIZE size = sibling->PictureSize();
        column.cx = std::max(column.cx, size.cx);
        column.cy = std::max(column.cy, size.cy);
    }
    return column;
}

SIZE MenuItem::PictureSize() {
    if (!bitmap_.Empty()) return SIZE{bitmap_.Width(), bitmap_.Height()};
    if (ImageList* images = PictureList()) return SIZE{images->Width(), images->Height()};
    return SIZE{0, 0};
}

void MenuItem::DrawPicture(HDC dc, const RECT& area, bool enabled) {
    const SIZE size = PictureSize();
    const int x = area.left + std::max(0L, (area.right - area.left - size.cx) / 2);
    const int y = area.top + std::max(0L, (area.bottom - area.top - size.cy) / 2);
    if (ImageList* images = bitmap_.Empty() ? PictureList() : nullptr) {
        images->Draw(dc, x, y, imageIndex_, dsTransparent, itImage, enabled);
        return;
    }
    if (bitmap_.Empty()) return;
    const Color transparent = bitmap_.TransparentColor();
    if (enabled) {
        Canvas canvas(dc);
        canvas.DrawTransparent(x, y, bitmap_, transparent);
        bitmap_.Dormant();
        return;
    }
    ImageList shape(bitmap_.Width(), bitmap_.Height());
    shape.AddMasked(bitmap_, transparent);
    shape.Draw(dc, x, y, 0, dsTransparent, itImage, false);
}

bool MeasureMenuPicture(MEASUREITEMSTRUCT& item) {
    if (item.CtlType != ODT_MENU) return false;
    MenuItem* found = MenuItemByCommand(item.itemID);
    if (!found) return false;
    const SIZE size = found->ColumnPictureSize();
    item.itemWidth = static_cast<UINT>(size.cx);
    item.itemHeight = static_cast<UINT>(size.cy);
    return true;
}

bool DrawMenuPicture(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_MENU) return false;
    MenuItem* found = MenuItemByCommand(item.itemID);
    if (!found) return false;
    SaveDCGuard saved(item.hDC);
    found->DrawPicture(item.hDC, item.rcItem, !(item.itemState & (ODS_GRAYED | ODS_DISABLED)));
    return true;
}

void MenuItem::FillInfo(MENUITEMINFOW& info, std::wstring& text) {
    info = MENUITEMINFOW{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    info.wID = command_;
    if (IsLine()) {
        info.fType = MFT_SEPARATOR;
        return;
    }
    info.fMask |= MIIM_STRING | MIIM_BITMAP;
    info.fType = MFT_STRING | (radioItem_ ? MFT_RADIOCHECK : 0);
    info.fState = (checked_ ? MFS_CHECKED : MFS_UNCHECKED) | (enabled_ ? MFS_ENABLED : MFS_GRAYED) |
                  (default_ ? MFS_DEFAULT : 0);
    const std::string keys = ShortCutToText(shortCut_);
    text = Wide(keys.empty() ? caption_ : caption_ + "\t" + keys);
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    info.hSubMenu = items_.empty() ? nullptr : Handle();
    info.hbmpItem = MenuBitmap();
}

HMENU MenuItem::Handle() {
    if (handle_ && ::IsMenu(handle_)) return handle_;
    // A menu bar dies with a window that still holds it, submenus included
    // (forms take theirs off first); build afresh then.
    handle_ = (menu_ && dynamic_cast<MainMenu*>(menu_)) ? ::CreateMenu() : ::CreatePopupMenu();
    for (MenuItem* item : items_) {
        if (!item->visible_) continue;
        MENUITEMINFOW info;
        std::wstring text;
        item->FillInfo(info, text);
        ::InsertMenuItemW(handle_, static_cast<UINT>(::GetMenuItemCount(handle_)), TRUE, &info);
    }
    return handle_;
}

void MenuItem::RebuildHandle() {
    if (!handle_ || !::IsMenu(handle_)) return;
    while (::GetMenuItemCount(handle_) > 0) ::RemoveMenu(handle_, 0, MF_BYPOSITION);
    for (MenuItem* item : items_) {
        if (!item->visible_) continue;
        MENUITEMINFOW info;
        std::wstring text;
        item->FillInfo(info, text);
        ::InsertMenuItemW(handle_, static_cast<UINT>(::GetMenuItemCount(handle_)), TRUE, &info);
    }
}

void MenuItem::UpdateInParent() {
    if (!parent_ || !visible_ || !parent_->handle_ || !::IsMenu(parent_->handle_)) return;
    MENUITEMINFOW info;
    std::wstring text;
    FillInfo(info, text);
    ::SetMenuItemInfoW(parent_->handle_, command_, FALSE, &info);
}

void MenuItem::Changed(bool structure) {
    if (IsDestroying()) return;
    if (structure) {
        if (parent_) parent_->RebuildHandle();
    } else {
        UpdateInParent();
    }
    // Only the bar is drawn from the items at once (each redraw of it is a
    // frame change of the window); a submenu reads its items when it opens.
    if (parent_ && parent_->menu_) parent_->menu_->MenuChanged();
}

// ---------------------------------------------------------------------------
// Menu

Menu::Menu() : root_(std::make_unique<MenuItem>()) { root_->menu_ = this; }

Menu::~Menu() {
    SetImages(nullptr);
    // Items are owned by the form; they only lose their place in this tree.
    root_.reset();
}

void Menu::SetImages(ImageList* images) {
    if (images == images_) return;
    if (images_) {
        images_->UnRegisterChanges(imagesLink_);
        images_->RemoveFreeNotification(this);
    }
    images_ = images;
    imagesLink_ = 0;
    if (images_) {
        images_->FreeNotification(this);
        imagesLink_ = images_->RegisterChanges([this] {
            std::vector<MenuItem*> stack{root_.get()};
            while (!stack.empty()) {
                MenuItem* item = stack.back();
                stack.pop_back();
                item->RebuildHandle();
                for (MenuItem* child : item->items_) stack.push_back(child);
            }
            MenuChanged();
        });
    }
}

void Menu::Notification(Component* component, Operation operation) {
    Component::Notification(component, operation);
    if (operation == Operation::Remove && component == images_) {
        images_ = nullptr;
        imagesLink_ = 0;
    }
}

bool Menu::DispatchCommand(WORD id) {
    MenuItem* item = root_->FindCommand(id);
    if (!item || item == root_.get()) return false;
    item->Click();
    return true;
}

bool Menu::DispatchPopup(HMENU popup) {
    MenuItem* item = root_->FindPopup(popup);
    if (!item) return false;
    // Opening a submenu "clicks" its item, so handlers can prepare the entries.
    if (item != root_.get() && item->OnClick && item->Enabled()) item->OnClick(item);
    return true;
}

bool Menu::IsShortCut(WORD key, ShiftState shift) {
    const ShortCut sc = MakeShortCut(key, shift);
    if ((sc & 0xFF) == 0) return false;
    MenuItem* item = root_->FindShortCut(sc);
    if (!item || !item->EnabledChain()) return false;
    item->Click();
    return true;
}

// ---------------------------------------------------------------------------
// MainMenu / PopupMenu

MainMenu::MainMenu() = default;

HMENU MainMenu::Handle() { return root_->Handle(); }

Form* MainMenu::OwnerForm() const {
    for (Component* c = Owner(); c; c = c->Owner()) {
        if (auto* form = dynamic_cast<Form*>(c)) return form->Menu() == this ? form : nullptr;
    }
    return nullptr;
}

void MainMenu::MenuChanged() {
    // A re-read renews every item: the form takes the bar once, afterwards.
    if (IsLoading() || IsDestroying() || IsReadingDescription()) return;
    if (Form* form = OwnerForm()) form->MenuChanged();
}

PopupMenu::PopupMenu() = default;

HMENU PopupMenu::Handle() { return root_->Handle(); }

void PopupMenu::Popup(int screenX, int screenY, Control* popupComponent) {
    popupComponent_ = popupComponent;
    LifeToken alive = Token();
    if (OnPopup && !IsDestroying()) OnPopup(this);
    if (!alive.Alive()) return;
    HWND owner = App().Handle();
    if (popupComponent) {
        if (Form* form = popupComponent->ParentForm(); form && form->HandleAllocated()) owner = form->HandleIfAllocated();
    }
    UINT flags = TPM_RETURNCMD;
    flags |= alignment_ == paRight ? TPM_RIGHTALIGN : alignment_ == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN;
    flags |= trackButton_ == tbLeftButton ? TPM_LEFTBUTTON : TPM_RIGHTBUTTON;
    const UINT id = PopupMenuSeam()->Track(PopupMenuRequest{Handle(), flags, screenX, screenY, owner});
    if (id && alive.Alive()) DispatchCommand(static_cast<WORD>(id));
}

// ---------------------------------------------------------------------------
// Registration

namespace {

const IdentTable kPopupAlignIdents = {{"paLeft", paLeft}, {"paRight", paRight}, {"paCenter", paCenter}};
const IdentTable kTrackButtonIdents = {{"tbRightButton", tbRightButton}, {"tbLeftButton", tbLeftButton}};

void ReadShortCut(MenuItem& item, const Value& v, ReadContext& ctx) {
    if (v.kind == Value::Kind::Integer)
        item.SetShortCut(static_cast<ShortCut>(v.integer));
    else if (v.kind == Value::Kind::String)
        item.SetShortCut(TextToShortCut(v.text));
    else
        streaming_detail::BadValue(ctx, v, "a shortcut");
}

const ClassRegistration<MenuItem> kMenuItemReg("TMenuItem", "TComponent", [](ClassBuilder<MenuItem>& c) {
    c.Property("Caption", &MenuItem::Caption, &MenuItem::SetCaption)
        .Property("Checked", &MenuItem::Checked, &MenuItem::SetChecked)
        .Property("Enabled", &MenuItem::Enabled, &MenuItem::SetEnabled)
        .Property("Visible", &MenuItem::Visible, &MenuItem::SetVisible)
        .Property("RadioItem", &MenuItem::RadioItem, &MenuItem::SetRadioItem)
        .Property("GroupIndex", &MenuItem::GroupIndex, &MenuItem::SetGroupIndex)
        .Property("AutoCheck", &MenuItem::AutoCheck, &MenuItem::SetAutoCheck)
        .Property("Default", &MenuItem::Default, &MenuItem::SetDefault)
        .Property("Hint", &MenuItem::Hint, &MenuItem::SetHint)
        .Property("ImageIndex", &MenuItem::ImageIndex, &MenuItem::SetImageIndex)
        .Property("Action", &MenuItem::GetAction, &MenuItem::SetAction)
        .Custom("ShortCut", ReadShortCut)
        .Custom("Bitmap.Data",
                [](MenuItem& m, const Value& v, ReadContext& ctx) {
                    if (v.kind != Value::Kind::Binary || !m.GetBitmap().LoadFromData(v.binary.data(), v.binary.size()))
                        ctx.Fail("bitmap data is not a BMP picture");
                    m.SetBitmap(Bitmap(m.GetBitmap()));
                })
        .Custom("Break", [](MenuItem&, const Value&, ReadContext&) {})
        .Event("OnClick", &MenuItem::OnClick);
});

const ClassRegistration<MainMenu> kMainMenuReg("TMainMenu", "TComponent", [](ClassBuilder<MainMenu>& c) {
    c.Property("Images", &MainMenu::Images, &MainMenu::SetImages)
        .Custom("AutoHotkeys", [](MainMenu&, const Value&, ReadContext&) {});
});

const ClassRegistration<PopupMenu> kPopupMenuReg("TPopupMenu", "TComponent", [](ClassBuilder<PopupMenu>& c) {
    c.Property("Images", &PopupMenu::Images, &PopupMenu::SetImages)
        .Property("Alignment", &PopupMenu::GetAlignment, &PopupMenu::SetAlignment, &kPopupAlignIdents)
        .Property("TrackButton", &PopupMenu::GetTrackButton, &PopupMenu::SetTrackButton, &kTrackButtonIdents)
        .Property("AutoPopup", &PopupMenu::AutoPopup, &PopupMenu::SetAutoPopup)
        .Event("OnPopup", &PopupMenu::OnPopup)
        .Custom("AutoHotkeys", [](PopupMenu&, const Value&, ReadContext&) {});
});

}  // namespace

}  // namespace tk

namespace tk {
// Pulled in by StandardClasses.cpp, so that classes created only by name
// from descriptions are never left out of a program by the linker.
extern const int kLinkUnitMenus = 1;
}  // namespace tk
