// Component: the root of everything a window description can create. A
// component has an owner that holds it as a unique_ptr, a name unique among
// its owner's components, a tag, free notifications, and a small state set
// (loading, reading, destroying). Nothing here touches a window.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tk {

class Component;
class HandlerTable;

using NotifyEvent = std::function<void(Component* sender)>;

enum ComponentStateFlag : unsigned {
    csLoading = 1u << 0,     // built from a description; Loaded() not yet run
    csReading = 1u << 1,     // properties are being applied from a description
    csDestroying = 1u << 2,  // on its way out: fire no events
    csUpdating = 1u << 3,
};
using ComponentState = unsigned;

enum class Operation { Insert, Remove };

// Base of sub-objects that descriptions can fill (collection items, owned
// helper objects) without being components themselves.
class Persistent {
public:
    Persistent() = default;
    Persistent(const Persistent&) = delete;
    Persistent& operator=(const Persistent&) = delete;
    virtual ~Persistent() = default;
};

// Expires when the object it was taken from is destroyed. Take one before a
// call that may run arbitrary code (SendMessage, an event), test it after.
class LifeToken {
public:
    LifeToken() = default;
    explicit LifeToken(const std::shared_ptr<char>& flag) : flag_(flag) {}
    bool Alive() const { return !flag_.expired(); }

private:
    std::weak_ptr<char> flag_;
};

class Component : public Persistent {
public:
    Component();
    ~Component() override;

    Component* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    // Throws EInvalidOperation when a sibling already carries the name.
    virtual void SetName(const std::string& name);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    ComponentState State() const { return state_; }
    bool IsLoading() const { return (state_ & csLoading) != 0; }
    // Applying a description (first build or a re-read): controls fire no
    // click or change handlers while this holds.
    bool IsReading() const { return (state_ & csReading) != 0; }
    bool IsDestroying() const { return (state_ & csDestroying) != 0; }
    void SetStateFlag(ComponentStateFlag flag, bool on);

    // Registered class name ("TButton"); the C++ type name when unregistered.
    std::string ClassName() const;

    // --- ownership -------------------------------------------------------
    // Takes ownership; the component leaves its previous owner first.
    Component* InsertComponent(std::unique_ptr<Component> component);
    // Gives up ownership without destroying.
    std::unique_ptr<Component> RemoveComponent(Component* component);
    std::size_t ComponentCount() const { return components_.size(); }
    Component* Components(std::size_t index) const { return components_[index].get(); }
    // Owned component by name (case-insensitive), or nullptr.
    Component* FindComponent(std::string_view name) const;
    template <class T>
    T* Find(std::string_view name) const {
        return dynamic_cast<T*>(FindComponent(name));
    }
    // Marks this component and everything it owns as being destroyed, so that
    // no event runs into code that is already gone, after BeforeDestruction
    // ran on the intact object. Owners and Free() call it before deleting.
    void Destroying();

    // --- notifications ---------------------------------------------------
    // `other` is told (Notification Remove) when this component dies, and
    // this one when `other` dies.
    void FreeNotification(Component* other);
    void RemoveFreeNotification(Component* other);

    // --- streaming -------------------------------------------------------
    // The component a description nests this one in (a parent control, the
    // menu of an item); called before its properties are read.
    virtual void SetParentComponent(Component* parent);
    // Handlers a description may bind by name; forms answer theirs.
    virtual const HandlerTable* Handlers() const { return nullptr; }
    // After the whole description has been read and references resolved.
    virtual void Loaded();

    LifeToken Token() const { return LifeToken(alive_); }

protected:
    // Runs once, while the whole object still exists, before destruction
    // (forms fire OnDestroy here).
    virtual void BeforeDestruction() {}
    // A component this one knows (free notification, owner, sibling) was
    // inserted or is being removed.
    virtual void Notification(Component* component, Operation operation);

private:
    void NotifyRemoval();
    void ForgetComponent(Component* component);

    Component* owner_ = nullptr;
    std::vector<std::unique_ptr<Component>> components_;
    std::vector<Component*> freeNotifies_;
    std::string name_;
    int tag_ = 0;
    ComponentState state_ = 0;
    std::shared_ptr<char> alive_ = std::make_shared<char>(0);
};

// Creates a component owned by `owner` and returns it.
template <class T, class... Args>
T* Create(Component& owner, Args&&... args) {
    static_assert(std::is_base_of_v<Component, T>);
    auto made = std::make_unique<T>(std::forward<Args>(args)...);
    T* result = made.get();
    owner.InsertComponent(std::move(made));
    return result;
}

// Destroys a component through its owner (or deletes an unowned one).
void Free(Component* component);

// Case-insensitive ASCII comparison, as names and identifiers compare.
bool SameText(std::string_view a, std::string_view b);

}  // namespace tk
