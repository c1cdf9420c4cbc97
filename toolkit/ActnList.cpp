// ActnList: actions, their links to controls and menu items, action lists.
#include "toolkit/ActnList.h"

#include "toolkit/ImgList.h"
#include "toolkit/Streaming.h"

#include <algorithm>

namespace tk {

void ApplyActionTo(Control& control, const BasicAction& basic, bool checkDefaults) {
    const auto* action = dynamic_cast<const Action*>(&basic);
    if (!action) return;
    if (!checkDefaults || control.Caption().empty()) control.SetCaption(action->Caption());
    if (!checkDefaults || control.Hint().empty()) control.SetHint(action->Hint());
    if (!checkDefaults || control.Enabled()) control.SetEnabled(action->Enabled());
    if (!checkDefaults || control.Visible()) control.SetVisible(action->Visible());
}

// ---------------------------------------------------------------------------
// Action

Action::Action() = default;

Action::~Action() {
    SetStateFlag(csDestroying, true);
    for (MenuItem* item : std::vector<MenuItem*>(menuClients_)) item->SetAction(nullptr);
    SetActionList(nullptr);
}

void Action::Propagate() {
    if (IsDestroying()) return;
    for (Control* c : std::vector<Control*>(Clients())) ApplyActionTo(*c, *this, false);
    // Controls with more to follow (check marks, images) see ActionChange.
    Changed();
    for (MenuItem* item : std::vector<MenuItem*>(menuClients_)) item->ActionChanged(*this);
}

void Action::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Propagate();
}

void Action::SetHint(const std::string& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    Propagate();
}

void Action::SetShortCut(ShortCut sc) {
    if (sc == shortCut_) return;
    shortCut_ = sc;
    Propagate();
}

void Action::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    Propagate();
}

void Action::SetChecked(bool on) {
    if (on == checked_) return;
    checked_ = on;
    Propagate();
}

void Action::SetVisible(bool on) {
    if (on == visible_) return;
    visible_ = on;
    Propagate();
}

void Action::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    Propagate();
}

void Action::SetActionList(ActionList* list) {
    if (list == list_) return;
    if (list_) list_->RemoveAction(this);
    list_ = list;
    if (list_) list_->AddAction(this);
}

void Action::SetParentComponent(Component* parent) {
    if (auto* list = dynamic_cast<ActionList*>(parent))
        SetActionList(list);
    else
        BasicAction::SetParentComponent(parent);
}

bool Action::Execute(Component* sender) {
    if (IsDestroying() || IsReading()) return false;
    Update();
    if (!enabled_) return false;
    if (list_ && list_->OnExecute) {
        bool handled = false;
        LifeToken alive = Token();
        list_->OnExecute(this, handled);
        if (handled || !alive.Alive()) return true;
    }
    return BasicAction::Execute(sender);
}

bool Action::Update() {
    if (IsDestroying()) return false;
    if (list_ && list_->OnUpdate) {
        bool handled = false;
        list_->OnUpdate(this, handled);
        if (handled) return true;
    }
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

// ---------------------------------------------------------------------------
// ActionList

ActionList::ActionList() = default;

ActionList::~ActionList() {
    SetStateFlag(csDestroying, true);
    for (Action* a : std::vector<Action*>(actions_)) a->list_ = nullptr;
    actions_.clear();
    SetImages(nullptr);
}

void ActionList::AddAction(Action* action) {
    if (std::find(actions_.begin(), actions_.end(), action) == actions_.end()) actions_.push_back(action);
}

void ActionList::RemoveAction(Action* action) {
    actions_.erase(std::remove(actions_.begin(), actions_.end(), action), actions_.end());
}

Action* ActionList::FindAction(const std::string& name) const {
    for (Action* a : actions_)
        if (SameText(a->Name(), name)) return a;
    return nullptr;
}

void ActionList::SetImages(ImageList* images) {
    if (images == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = images;
    if (images_) images_->FreeNotification(this);
}

void ActionList::Notification(Component* component, Operation operation) {
    Component::Notification(component, operation);
    if (operation != Operation::Remove) return;
    if (component == images_) images_ = nullptr;
}

bool ActionList::IsShortCut(WORD key, ShiftState shift) {
    const ShortCut sc = MakeShortCut(key, shift);
    if ((sc & 0xFF) == 0) return false;
    for (Action* a : std::vector<Action*>(actions_)) {
        if (a->GetShortCut() != sc) continue;
        a->Update();
        if (!a->Enabled() || !a->Visible()) continue;
        a->Execute(this);
        return true;
    }
    return false;
}

void ActionList::UpdateActions() {
    for (Action* a : std::vector<Action*>(actions_)) a->Update();
}

// ---------------------------------------------------------------------------
// Registration

namespace {

void ReadActionShortCut(Action& a, const Value& v, ReadContext& ctx) {
    if (v.kind == Value::Kind::Integer)
        a.SetShortCut(static_cast<ShortCut>(v.integer));
    else if (v.kind == Value::Kind::String)
        a.SetShortCut(TextToShortCut(v.text));
    else
        streaming_detail::BadValue(ctx, v, "a shortcut");
}

const ClassRegistration<ActionList> kActionListReg("TActionList", "TComponent", [](ClassBuilder<ActionList>& c) {
    c.Property("Images", &ActionList::Images, &ActionList::SetImages)
        .Event("OnExecute", &ActionList::OnExecute)
        .Event("OnUpdate", &ActionList::OnUpdate);
});

const ClassRegistration<Action> kActionReg("TAction", "TComponent", [](ClassBuilder<Action>& c) {
    c.Property("Caption", &Action::Caption, &Action::SetCaption)
        .Property("Hint", &Action::Hint, &Action::SetHint)
        .Property("Enabled", &Action::Enabled, &Action::SetEnabled)
        .Property("Checked", &Action::Checked, &Action::SetChecked)
        .Property("Visible", &Action::Visible, &Action::SetVisible)
        .Property("ImageIndex", &Action::ImageIndex, &Action::SetImageIndex)
        .Property("HelpContext", &Action::HelpContext, &Action::SetHelpContext)
        .Property("Category", &Action::Category, &Action::SetCategory)
        .Custom("ShortCut", ReadActionShortCut)
        .Event("OnExecute", &Action::OnExecute)
        .Event("OnUpdate", &Action::OnUpdate);
});

}  // namespace

}  // namespace tk

namespace tk {
// Pulled in by StandardClasses.cpp, so that classes created only by name
// from descriptions are never left out of a program by the linker.
extern const int kLinkUnitActnList = 1;
}  // namespace tk
