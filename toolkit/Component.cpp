// Component: ownership, names, free notifications and the component state.
#include "toolkit/Component.h"

#include "toolkit/Exceptions.h"
#include "toolkit/Streaming.h"

#include <algorithm>
#include <cctype>
#include <typeinfo>

namespace tk {

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

Component::Component() = default;

Component::~Component() {
    state_ |= csDestroying;
    NotifyRemoval();
    // Owned components go first, newest first, each knowing it has no owner.
    while (!components_.empty()) {
        std::unique_ptr<Component> last = std::move(components_.back());
        components_.pop_back();
        last->owner_ = nullptr;
        last->Destroying();
        last.reset();
    }
    if (owner_) owner_->ForgetComponent(this);
}

void Component::NotifyRemoval() {
    // Whoever asked to be told, then the owner and the siblings. A listener
    // may free another listener while it is told (a tool window drops its
    // floating parent when the form goes): the live list is walked, which a
    // freed or withdrawn listener has already left, never a copy of it.
    while (!freeNotifies_.empty()) {
        Component* other = freeNotifies_.front();
        freeNotifies_.erase(freeNotifies_.begin());
        auto& theirs = other->freeNotifies_;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        other->Notification(this, Operation::Remove);
    }
    if (owner_ && !owner_->IsDestroying()) {
        owner_->Notification(this, Operation::Remove);
        // A sibling told may free another sibling: the owner's list changes
        // under the walk, so the walk goes over the siblings as they were,
        // telling only those still alive.
        std::vector<std::pair<Component*, LifeToken>> siblings;
        siblings.reserve(owner_->components_.size());
        for (auto& sibling : owner_->components_)
            if (sibling && sibling.get() != this) siblings.emplace_back(sibling.get(), sibling->Token());
        for (auto& [sibling, token] : siblings) {
            if (token.Alive() && !sibling->IsDestroying()) sibling->Notification(this, Operation::Remove);
        }
    }
}

void Component::ForgetComponent(Component* component) {
    for (auto it = components_.begin(); it != components_.end(); ++it) {
        if (it->get() == component) {
            (void)it->release();
            components_.erase(it);
            return;
        }
    }
}

void Component::SetName(const std::string& name) {
    if (name == name_) return;
    if (owner_ && !name.empty()) {
        Component* other = owner_->FindComponent(name);
        if (other && other != this) throw EInvalidOperation("A component named " + name + " already exists");
    }
    name_ = name;
}

void Component::SetStateFlag(ComponentStateFlag flag, bool on) {
    if (on) state_ |= flag;
    else state_ &= ~static_cast<unsigned>(flag);
}

std::string Component::ClassName() const {
    if (const ClassInfo* info = ClassRegistry::Instance().FindFor(*this)) return info->name;
    return typeid(*this).name();
}

Component* Component::InsertComponent(std::unique_ptr<Component> component) {
    Component* c = component.get();
    if (!c) return nullptr;
    if (c->owner_) (void)c->owner_->RemoveComponent(c).release();
    if (!c->name_.empty() && FindComponent(c->name_))
        throw EInvalidOperation("A component named " + c->name_ + " already exists");
    c->owner_ = this;
    components_.push_back(std::move(component));
    Notification(c, Operation::Insert);
    return c;
}

std::unique_ptr<Component> Component::RemoveComponent(Component* component) {
    for (auto it = components_.begin(); it != components_.end(); ++it) {
        if (it->get() == component) {
            std::unique_ptr<Component> out = std::move(*it);
            components_.erase(it);
            out->owner_ = nullptr;
            return out;
        }
    }
    return nullptr;
}

Component* Component::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (const auto& c : components_) {
        if (c && SameText(c->name_, name)) return c.get();
    }
    return nullptr;
}

void Component::Destroying() {
    if (IsDestroying()) return;
    BeforeDestruction();
    state_ |= csDestroying;
    for (auto& c : components_) c->Destroying();
}

void Component::FreeNotification(Component* other) {
    if (!other || other == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
        freeNotifies_.push_back(other);
        other->freeNotifies_.push_back(this);
    }
}

void Component::RemoveFreeNotification(Component* other) {
    if (!other) return;
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), other), freeNotifies_.end());
    auto& theirs = other->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void Component::SetParentComponent(Component*) {}

void Component::Loaded() { SetStateFlag(csLoading, false); }

void Component::Notification(Component*, Operation) {}

void Free(Component* component) {
    if (!component) return;
    component->Destroying();
    // The destructor tells the owner and siblings, then leaves the owner's list.
    delete component;
}

}  // namespace tk
