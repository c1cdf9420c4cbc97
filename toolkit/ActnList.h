// ActnList: actions and action lists. An action carries a command's caption,
// hint, shortcut, enabled and checked state and image; the controls and menu
// items linked to it follow every change, and clicking any of them runs the
// action's OnExecute. The action list answers the form's shortcut dispatch.
#pragma once

#include "toolkit/Component.h"
#include "toolkit/Control.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

#include <functional>
#include <string>
#include <vector>

namespace tk {

class ActionList;
class ImageList;

using ActionEvent = std::function<void(Action* action, bool& handled)>;

class Action : public BasicAction {
public:
    Action();
    ~Action() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    ShortCut GetShortCut() const { return shortCut_; }
    void SetShortCut(ShortCut sc);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    bool Checked() const { return checked_; }
    void SetChecked(bool on);
    bool Visible() const { return visible_; }
    void SetVisible(bool on);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int c) { helpContext_ = c; }
    const std::string& Category() const { return category_; }
    void SetCategory(const std::string& c) { category_ = c; }

    ActionList* GetActionList() const { return list_; }
    void SetActionList(ActionList* list);

    // The list's OnExecute first (it may handle it), then OnExecute. False
    // when disabled or nothing ran.
    bool Execute(Component* sender) override;
    // Runs OnUpdate (and the list's) so that the action can refresh its state.
    bool Update();
    NotifyEvent OnUpdate;

    const std::vector<MenuItem*>& MenuClients() const { return menuClients_; }

    void SetParentComponent(Component* parent) override;

private:
    friend class MenuItem;
    friend class ActionList;
    // Pushes the state to every linked control and menu item.
    void Propagate();

    std::string caption_;
    std::string hint_;
    ShortCut shortCut_ = 0;
    bool enabled_ = true;
    bool checked_ = false;
    bool visible_ = true;
    int imageIndex_ = -1;
    int helpContext_ = 0;
    std::string category_;
    ActionList* list_ = nullptr;
    std::vector<MenuItem*> menuClients_;
};

class ActionList : public Component, public ShortCutHandler {
public:
    ActionList();
    ~ActionList() override;

    std::size_t ActionCount() const { return actions_.size(); }
    Action* Actions(std::size_t index) const { return actions_.at(index); }
    Action* FindAction(const std::string& name) const;
    ImageList* Images() const { return images_; }
    void SetImages(ImageList* images);

    // Runs the enabled, visible action whose shortcut this is.
    bool IsShortCut(WORD key, ShiftState shift) override;
    // Runs every action's update handlers.
    void UpdateActions();

    ActionEvent OnExecute;
    ActionEvent OnUpdate;

protected:
    void Notification(Component* component, Operation operation) override;

private:
    friend class Action;
    void AddAction(Action* action);
    void RemoveAction(Action* action);

    std::vector<Action*> actions_;
    ImageList* images_ = nullptr;
};

// Copies an action's caption, hint, enabled and visible state onto a control
// (a control's own ActionChange may call it; checkDefaults fills only what
// the control has not set itself).
void ApplyActionTo(Control& control, const BasicAction& action, bool checkDefaults);

}  // namespace tk
