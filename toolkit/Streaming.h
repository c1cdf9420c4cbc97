// Streaming: window descriptions. A description is text (see README) parsed
// into a tree of ObjectNodes without any window; the reader then creates the
// components by class name through the class registry and applies each
// property through the setter its class registered. Handlers are bound by
// name from the root's HandlerTable, component references after the whole
// description has been read. Re-reading (ReadMode::Update) applies the stored
// properties to the existing components of the same name and creates nothing.
#pragma once

#include "toolkit/Component.h"
#include "toolkit/Exceptions.h"

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeindex>
#include <vector>

namespace tk {

// A description that does not parse, or names an unknown class, property,
// handler or component. The message carries the line number.
class EReadError : public Exception {
public:
    using Exception::Exception;
};

// --- the parsed form --------------------------------------------------------
struct Value;
struct PropertyAssignment;

struct CollectionItemNode {
    std::vector<PropertyAssignment> properties;
};

struct Value {
    enum class Kind { Integer, Float, String, Ident, Set, List, Binary, Collection };
    Kind kind = Kind::Integer;
    std::int64_t integer = 0;
    double number = 0;
    std::string text;                       // String (decoded bytes) or Ident
    std::vector<std::string> set;           // Set: identifiers
    std::vector<Value> list;                // List: values
    std::vector<std::uint8_t> binary;       // Binary: bytes
    std::vector<CollectionItemNode> items;  // Collection: items
    int line = 0;

    std::string Describe() const;
};

struct PropertyAssignment {
    std::string name;  // may be dotted: "Font.Style"
    Value value;
    int line = 0;
};

struct ObjectNode {
    bool inherited = false;  // "inherited": the component exists already
    std::string name;
    std::string className;
    std::vector<PropertyAssignment> properties;
    std::vector<ObjectNode> children;
    int line = 0;
};

// Throws EReadError with the line of the first fault.
ObjectNode ParseDescription(std::string_view text);

// --- handler table ----------------------------------------------------------
// Name -> handler (a std::function of the exact event signature).
class HandlerTable {
public:
    template <class Sig>
    void Add(const std::string& name, std::function<Sig> handler) {
        Set(name, std::any(std::move(handler)));
    }
    const std::any* Find(std::string_view name) const;
    template <class Sig>
    std::function<Sig> Get(std::string_view name) const {
        const std::any* h = Find(name);
        if (!h) return {};
        auto* f = std::any_cast<std::function<Sig>>(h);
        return f ? *f : std::function<Sig>{};
    }

private:
    void Set(const std::string& name, std::any handler);
    std::vector<std::pair<std::string, std::any>> handlers_;
};

// --- reading ----------------------------------------------------------------
enum class ReadMode {
    Create,  // "object" nodes create components ("inherited" ones must exist)
    Update,  // every node is applied to the existing component of its name
};

class ReadContext {
public:
    ReadContext(Component& root, ReadMode mode) : root_(root), mode_(mode) {}
    Component& Root() const { return root_; }
    ReadMode Mode() const { return mode_; }
    int line = 0;

    // The handler of that name from the root's table (EReadError if absent).
    const std::any& Handler(std::string_view name) const;
    // Calls `resolve` with the component of that name once reading is done.
    void AddFixup(std::string name, std::function<void(Component*)> resolve);
    void ResolveFixups();
    [[noreturn]] void Fail(const std::string& message) const;

private:
    struct Fixup {
        std::string name;
        std::function<void(Component*)> resolve;
        int line;
    };
    Component& root_;
    ReadMode mode_;
    std::vector<Fixup> fixups_;
};

// Identifier -> number, for enumerations and sets.
using IdentTable = std::vector<std::pair<std::string, std::int64_t>>;
// The identifiers of an enumeration type, used by its properties.
void RegisterIdents(std::type_index type, IdentTable table);
const IdentTable* FindIdents(std::type_index type);
bool LookupIdent(const IdentTable& table, std::string_view ident, std::int64_t& value);
std::string IdentOf(const IdentTable& table, std::int64_t value);

// Collections of items (status-bar panels, list columns): sub-objects that a
// description lists between < and >.
class CollectionBase : public Persistent {
public:
    virtual std::size_t Count() const = 0;
    virtual Persistent& Item(std::size_t index) = 0;
    virtual Persistent& Add() = 0;
    virtual void Clear() = 0;
    // Registered class name of the items.
    virtual std::string ItemClassName() const = 0;
};

class ClassInfo;

struct PropertyInfo {
    std::string name;
    std::function<void(Persistent& object, const Value& value, ReadContext& ctx)> set;
    std::function<Value(const Persistent& object)> get;  // may be empty
};

class ClassInfo {
public:
    std::string name;
    std::string parentName;
    std::type_index type = typeid(void);
    std::function<std::unique_ptr<Component>()> factory;  // empty: not creatable by name
    std::vector<PropertyInfo> properties;

    const ClassInfo* Parent() const;
    // Own or inherited property (case-insensitive).
    const PropertyInfo* FindProperty(std::string_view property) const;
    bool InheritsFrom(std::string_view className) const;
};

class ClassRegistry {
public:
    static ClassRegistry& Instance();
    ClassInfo& Add(const std::string& name, const std::string& parentName, std::type_index type);
    const ClassInfo* Find(std::string_view name) const;
    const ClassInfo* Find(std::type_index type) const;
    // The registration of an object's most derived registered class.
    const ClassInfo* FindFor(const Persistent& object) const;
    std::unique_ptr<Component> Create(std::string_view name) const;

private:
    std::vector<std::unique_ptr<ClassInfo>> classes_;
};

// Reads a parsed description onto `root` (the node describes the root).
void ReadComponent(Component& root, const ObjectNode& node, ReadMode mode);
void ReadComponent(Component& root, std::string_view text, ReadMode mode);
// Applies the RCDATA descriptions named after root's classes, from the first
// class below `stopClass` down to root's own, base first, taken from the
// active resource module. Returns whether any was found.
bool ReadComponentResources(Component& root, std::string_view stopClass, ReadMode mode);
// True while any description is being applied (controls check this, and
// their own IsReading(), before firing click and change handlers).
bool IsReadingDescription();
// Applies one property by name (dotted names included); for tests and code
// that sets properties by name. Throws EReadError.
void SetPropertyValue(Component& object, std::string_view property, const Value& value);
// Reads a property through its registered getter; throws EReadError.
Value GetPropertyValue(const Persistent& object, std::string_view property);

// --- value conversion -------------------------------------------------------
namespace streaming_detail {

template <class T>
struct IsStdFunction : std::false_type {};
template <class Sig>
struct IsStdFunction<std::function<Sig>> : std::true_type {};

[[noreturn]] void BadValue(ReadContext& ctx, const Value& value, const char* wanted);
std::int64_t ToInteger(const Value& value, ReadContext& ctx, const IdentTable* idents);
bool ToBool(const Value& value, ReadContext& ctx);

// Assigns `value` converted to V through `assign` (possibly later, for
// component references).
template <class V>
void Convert(const Value& value, ReadContext& ctx, const IdentTable* idents, std::function<void(V)> assign) {
    using D = std::remove_cv_t<std::remove_reference_t<V>>;
    if constexpr (std::is_same_v<D, bool>) {
        assign(ToBool(value, ctx));
    } else if constexpr (std::is_same_v<D, std::string>) {
        if (value.kind != Value::Kind::String) BadValue(ctx, value, "a string");
        assign(value.text);
    } else if constexpr (std::is_same_v<D, std::vector<std::string>>) {
        if (value.kind != Value::Kind::List) BadValue(ctx, value, "a list of strings");
        std::vector<std::string> out;
        for (const Value& v : value.list) {
            if (v.kind != Value::Kind::String) BadValue(ctx, v, "a string");
            out.push_back(v.text);
        }
        assign(out);
    } else if constexpr (std::is_same_v<D, std::vector<std::uint8_t>>) {
        if (value.kind != Value::Kind::Binary) BadValue(ctx, value, "binary data");
        assign(value.binary);
    } else if constexpr (std::is_floating_point_v<D>) {
        if (value.kind == Value::Kind::Float) assign(static_cast<D>(value.number));
        else assign(static_cast<D>(ToInteger(value, ctx, idents)));
    } else if constexpr (std::is_enum_v<D>) {
        const IdentTable* table = idents ? idents : FindIdents(typeid(D));
        assign(static_cast<D>(ToInteger(value, ctx, table)));
    } else if constexpr (std::is_integral_v<D>) {
        assign(static_cast<D>(ToInteger(value, ctx, idents)));
    } else if constexpr (std::is_pointer_v<D> && std::is_base_of_v<Component, std::remove_pointer_t<D>>) {
        if (value.kind != Value::Kind::Ident) BadValue(ctx, value, "a component name");
        if (SameText(value.text, "nil")) {
            assign(nullptr);
            return;
        }
        const std::string name = value.text;
        ReadContext* context = &ctx;
        ctx.AddFixup(name, [assign, name, context](Component* found) {
            auto* typed = dynamic_cast<D>(found);
            if (!typed) context->Fail("component '" + name + "' is not of the kind this property takes");
            assign(typed);
        });
    } else if constexpr (IsStdFunction<D>::value) {
        if (value.kind != Value::Kind::Ident) BadValue(ctx, value, "a handler name");
        if (SameText(value.text, "nil")) {
            assign(D{});
            return;
        }
        const std::any& handler = ctx.Handler(value.text);
        const D* typed = std::any_cast<D>(&handler);
        if (!typed) ctx.Fail("handler '" + value.text + "' does not fit this event");
        assign(*typed);
    } else {
        static_assert(sizeof(D) == 0, "no description conversion for this property type");
    }
}

template <class V>
Value ToValue(const V& v, const IdentTable* idents) {
    using D = std::remove_cv_t<std::remove_reference_t<V>>;
    Value out;
    if constexpr (std::is_same_v<D, bool>) {
        out.kind = Value::Kind::Ident;
        out.text = v ? "True" : "False";
    } else if constexpr (std::is_same_v<D, std::string>) {
        out.kind = Value::Kind::String;
        out.text = v;
    } else if constexpr (std::is_same_v<D, std::vector<std::string>>) {
        out.kind = Value::Kind::List;
        for (const auto& s : v) out.list.push_back(ToValue(s, nullptr));
    } else if constexpr (std::is_floating_point_v<D>) {
        out.kind = Value::Kind::Float;
        out.number = v;
    } else if constexpr (std::is_enum_v<D> || std::is_integral_v<D>) {
        const IdentTable* table = idents;
        if constexpr (std::is_enum_v<D>) {
            if (!table) table = FindIdents(typeid(D));
        }
        out.integer = static_cast<std::int64_t>(v);
        if (table && !IdentOf(*table, out.integer).empty()) {
            out.kind = Value::Kind::Ident;
            out.text = IdentOf(*table, out.integer);
        }
    } else if constexpr (std::is_pointer_v<D> && std::is_base_of_v<Component, std::remove_pointer_t<D>>) {
        out.kind = Value::Kind::Ident;
        out.text = v ? v->Name() : "nil";
    } else {
        out.kind = Value::Kind::Ident;
        out.text = "?";
    }
    return out;
}

void ApplyCollection(CollectionBase& collection, const Value& value, ReadContext& ctx);

}  // namespace streaming_detail

// Registers the properties of class T; obtained through ClassRegistration.
template <class T>
class ClassBuilder {
public:
    explicit ClassBuilder(ClassInfo& info) : info_(info) {}

    // getter may be nullptr. The value type comes from the setter.
    template <class C, class V, class G>
    ClassBuilder& Property(const std::string& name, G getter, void (C::*setter)(V),
                           const IdentTable* idents = nullptr) {
        static_assert(std::is_base_of_v<C, T>);
        PropertyInfo p;
        p.name = name;
        p.set = [setter, idents](Persistent& object, const Value& value, ReadContext& ctx) {
            T* self = &dynamic_cast<T&>(object);
            LifeToken token;
            if constexpr (std::is_base_of_v<Component, T>) token = self->Token();
            streaming_detail::Convert<V>(value, ctx, idents, [self, setter, token](V v) {
                if constexpr (std::is_base_of_v<Component, T>) {
                    if (!token.Alive()) return;
                }
                (self->*setter)(v);
            });
        };
        if constexpr (!std::is_same_v<G, std::nullptr_t>) {
            p.get = [getter, idents](const Persistent& object) {
                const T& self = dynamic_cast<const T&>(object);
                return streaming_detail::ToValue((self.*getter)(), idents);
            };
        }
        info_.properties.push_back(std::move(p));
        return *this;
    }

    // An event: a public std::function member bound to a handler by name.
    template <class C, class Fn>
    ClassBuilder& Event(const std::string& name, Fn C::*member) {
        static_assert(std::is_base_of_v<C, T>);
        PropertyInfo p;
        p.name = name;
        p.set = [member](Persistent& object, const Value& value, ReadContext& ctx) {
            T* self = &dynamic_cast<T&>(object);
            streaming_detail::Convert<Fn>(value, ctx, nullptr, [self, member](Fn f) { self->*member = f; });
        };
        info_.properties.push_back(std::move(p));
        return *this;
    }

    // A collection: the member function returns the collection to fill.
    template <class C, class Coll>
    ClassBuilder& Collection(const std::string& name, Coll& (C::*access)()) {
        static_assert(std::is_base_of_v<CollectionBase, Coll>);
        PropertyInfo p;
        p.name = name;
        p.set = [access](Persistent& object, const Value& value, ReadContext& ctx) {
            T& self = dynamic_cast<T&>(object);
            streaming_detail::ApplyCollection((self.*access)(), value, ctx);
        };
        info_.properties.push_back(std::move(p));
        return *this;
    }

    // Anything else: the setter gets the raw value and the context.
    ClassBuilder& Custom(const std::string& name, std::function<void(T& object, const Value& value, ReadContext& ctx)> set) {
        PropertyInfo p;
        p.name = name;
        p.set = [set](Persistent& object, const Value& value, ReadContext& ctx) {
            set(dynamic_cast<T&>(object), value, ctx);
        };
        info_.properties.push_back(std::move(p));
        return *this;
    }

    ClassInfo& Info() { return info_; }

private:
    ClassInfo& info_;
};

// Registers T under `name`, inheriting the properties of `parentName`.
// Components with a default constructor become creatable by name. Use one
// static instance per class in its .cpp:
//   const tk::ClassRegistration<TButton> reg("TButton", "TWinControl", [](auto& c) {
//       c.Property("Default", &TButton::IsDefault, &TButton::SetDefault);
//       c.Event("OnClick", &TButton::OnClick);
//   });
template <class T>
class ClassRegistration {
public:
    ClassRegistration(const std::string& name, const std::string& parentName,
                      const std::function<void(ClassBuilder<T>&)>& describe = {}) {
        ClassInfo& info = ClassRegistry::Instance().Add(name, parentName, typeid(T));
        if constexpr (std::is_base_of_v<Component, T> && std::is_default_constructible_v<T> &&
                      !std::is_abstract_v<T>) {
            info.factory = [] { return std::unique_ptr<Component>(new T()); };
        }
        ClassBuilder<T> builder(info);
        if (describe) describe(builder);
    }
};

// A collection of items of type ItemT (a Persistent with a default
// constructor, registered under the given item class name).
template <class ItemT>
class OwnedCollection : public CollectionBase {
public:
    explicit OwnedCollection(std::string itemClass) : itemClass_(std::move(itemClass)) {}
    std::size_t Count() const override { return items_.size(); }
    ItemT& operator[](std::size_t i) { return *items_[i]; }
    const ItemT& operator[](std::size_t i) const { return *items_[i]; }
    ItemT& Item(std::size_t i) override { return *items_[i]; }
    ItemT& Add() override {
        items_.push_back(std::make_unique<ItemT>());
        if (onChange) onChange();
        return *items_.back();
    }
    void Clear() override {
        items_.clear();
        if (onChange) onChange();
    }
    std::string ItemClassName() const override { return itemClass_; }
    // Called after items were added or removed.
    std::function<void()> onChange;

private:
    std::string itemClass_;
    std::vector<std::unique_ptr<ItemT>> items_;
};

}  // namespace tk
