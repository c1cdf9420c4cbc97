// Streaming: the description parser, the class registry and the reader that
// applies a parsed description to components.
#include "toolkit/Streaming.h"
#include "toolkit/StandardClasses.h"

#include "toolkit/Resources.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <typeinfo>

namespace tk {

namespace {

int g_readingDepth = 0;

struct ReadingScope {
    ReadingScope() { ++g_readingDepth; }
    ~ReadingScope() { --g_readingDepth; }
    ReadingScope(const ReadingScope&) = delete;
    ReadingScope& operator=(const ReadingScope&) = delete;
};

// --- tokenizer ---------------------------------------------------------------
enum class Tok { End, Ident, Integer, Float, String, Symbol, Binary };

struct Token {
    Tok kind = Tok::End;
    std::string text;  // identifier, decoded string, symbol, hex digits
    std::int64_t integer = 0;
    double number = 0;
    int line = 1;
};

class Lexer {
public:
    explicit Lexer(std::string_view text) : s_(text) { Advance(); }

    const Token& Peek() const { return current_; }
    Token Next() {
        Token t = current_;
        Advance();
        return t;
    }
    [[noreturn]] void Fail(const std::string& message, int line) const {
        throw EReadError("Window description, line " + std::to_string(line) + ": " + message);
    }
    // Binary data after "{" is read raw: hex digit pairs up to "}".
    Token ReadBinary(int line) {
        Token t;
        t.kind = Tok::Binary;
        t.line = line;
        // The lexer has already looked one token ahead; rewind to just after "{".
        pos_ = braceEnd_;
        line_ = braceLine_;
        while (pos_ < s_.size() && s_[pos_] != '}') {
            char c = s_[pos_++];
            if (c == '\n') ++line_;
            if (std::isxdigit(static_cast<unsigned char>(c))) t.text += c;
            else if (!std::isspace(static_cast<unsigned char>(c))) Fail("bad character in binary data", line_);
        }
        if (pos_ >= s_.size()) Fail("binary data without closing }", line);
        ++pos_;
        if (t.text.size() % 2) Fail("odd number of hex digits in binary data", line);
        Advance();
        return t;
    }

private:
    void SkipSpace() {
        for (;;) {
            while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) {
                if (s_[pos_] == '\n') ++line_;
                ++pos_;
            }
            if (pos_ + 1 < s_.size() && s_[pos_] == '/' && s_[pos_ + 1] == '/') {
                while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
                continue;
            }
            return;
        }
    }

    void Advance() {
        SkipSpace();
        Token t;
        t.line = line_;
        if (pos_ >= s_.size()) {
            current_ = t;
            return;
        }
        char c = s_[pos_];
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t start = pos_;
            while (pos_ < s_.size() &&
                   (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_' || s_[pos_] == '.'))
                ++pos_;
            t.kind = Tok::Ident;
            t.text = std::string(s_.substr(start, pos_ - start));
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '$' ||
                   (c == '-' && pos_ + 1 < s_.size() &&
                    (std::isdigit(static_cast<unsigned char>(s_[pos_ + 1])) || s_[pos_ + 1] == '$'))) {
            ReadNumber(t);
        } else if (c == '\'' || c == '#') {
            ReadString(t);
        } else {
            t.kind = Tok::Symbol;
            t.text = std::string(1, c);
            ++pos_;
            if (c == '{') {
                braceEnd_ = pos_;
                braceLine_ = line_;
            }
        }
        current_ = t;
    }

    void ReadNumber(Token& t) {
        bool negative = false;
        if (s_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        std::size_t start = pos_;
        if (s_[pos_] == '$') {
            ++pos_;
            start = pos_;
            while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
            if (pos_ == start) Fail("hex number without digits", line_);
            t.kind = Tok::Integer;
            t.integer = static_cast<std::int64_t>(std::strtoull(std::string(s_.substr(start, pos_ - start)).c_str(),
                                                                nullptr, 16));
        } else {
            while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
            bool isFloat = false;
            if (pos_ + 1 < s_.size() && s_[pos_] == '.' && std::isdigit(static_cast<unsigned char>(s_[pos_ + 1]))) {
                isFloat = true;
                ++pos_;
                while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
            }
            std::string digits(s_.substr(start, pos_ - start));
            if (isFloat) {
                t.kind = Tok::Float;
                t.number = std::strtod(digits.c_str(), nullptr);
            } else {
                t.kind = Tok::Integer;
                t.integer = std::strtoll(digits.c_str(), nullptr, 10);
            }
        }
        if (negative) {
            t.integer = -t.integer;
            t.number = -t.number;
        }
    }

    // 'text' parts and #code parts, adjacent; '' is a quote inside text.
    void ReadString(Token& t) {
        t.kind = Tok::String;
        while (pos_ < s_.size() && (s_[pos_] == '\'' || s_[pos_] == '#')) {
            if (s_[pos_] == '\'') {
                ++pos_;
                for (;;) {
                    if (pos_ >= s_.size() || s_[pos_] == '\n') Fail("unterminated string", line_);
                    if (s_[pos_] == '\'') {
                        if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
                            t.text += '\'';
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    t.text += s_[pos_++];
                }
            } else {
                ++pos_;
                std::size_t start = pos_;
                int base = 10;
                if (pos_ < s_.size() && s_[pos_] == '$') {
                    base = 16;
                    start = ++pos_;
                }
                while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) {
                    if (base == 10 && !std::isdigit(static_cast<unsigned char>(s_[pos_]))) break;
                    ++pos_;
                }
                if (pos_ == start) Fail("# without a character code", line_);
                long code = std::strtol(std::string(s_.substr(start, pos_ - start)).c_str(), nullptr, base);
                if (code < 0 || code > 255) Fail("character code out of range 0..255", line_);
                t.text += static_cast<char>(static_cast<unsigned char>(code));
            }
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::size_t braceEnd_ = 0;
    int braceLine_ = 1;
    Token current_;
};

// --- parser ------------------------------------------------------------------
class Parser {
public:
    explicit Parser(std::string_view text) : lex_(text) {}

    ObjectNode ParseRoot() {
        ObjectNode root = ParseObject();
        if (lex_.Peek().kind != Tok::End) lex_.Fail("text after the final end", lex_.Peek().line);
        return root;
    }

private:
    bool IsWord(const Token& t, const char* word) const { return t.kind == Tok::Ident && SameText(t.text, word); }
    bool IsSymbol(const Token& t, char c) const { return t.kind == Tok::Symbol && t.text[0] == c; }

    void ExpectSymbol(char c) {
        Token t = lex_.Next();
        if (!IsSymbol(t, c)) lex_.Fail(std::string("expected '") + c + "'", t.line);
    }

    ObjectNode ParseObject() {
        Token head = lex_.Next();
        ObjectNode node;
        node.line = head.line;
        if (IsWord(head, "inherited")) node.inherited = true;
        else if (!IsWord(head, "object")) lex_.Fail("expected 'object' or 'inherited'", head.line);
        Token first = lex_.Next();
        if (first.kind != Tok::Ident) lex_.Fail("expected a name or class", first.line);
        if (IsSymbol(lex_.Peek(), ':')) {
            lex_.Next();
            Token cls = lex_.Next();
            if (cls.kind != Tok::Ident) lex_.Fail("expected a class name", cls.line);
            node.name = first.text;
            node.className = cls.text;
        } else {
            node.className = first.text;
        }
        for (;;) {
            const Token& t = lex_.Peek();
            if (t.kind == Tok::End) lex_.Fail("missing 'end' of object " + node.name, node.line);
            if (IsWord(t, "end")) {
                lex_.Next();
                return node;
            }
            if (IsWord(t, "object") || IsWord(t, "inherited")) {
                node.children.push_back(ParseObject());
                continue;
            }
            node.properties.push_back(ParseAssignment());
        }
    }

    PropertyAssignment ParseAssignment() {
        Token name = lex_.Next();
        if (name.kind != Tok::Ident) lex_.Fail("expected a property name", name.line);
        ExpectSymbol('=');
        PropertyAssignment a;
        a.name = name.text;
        a.line = name.line;
        a.value = ParseValue();
        return a;
    }

    Value ParseValue() {
        Token t = lex_.Next();
        Value v;
        v.line = t.line;
        switch (t.kind) {
        case Tok::Integer:
            v.kind = Value::Kind::Integer;
            v.integer = t.integer;
            return v;
        case Tok::Float:
            v.kind = Value::Kind::Float;
            v.number = t.number;
            return v;
        case Tok::String:
            v.kind = Value::Kind::String;
            v.text = t.text;
            // 'a' + 'b' continues a long string over lines.
            while (IsSymbol(lex_.Peek(), '+')) {
                lex_.Next();
                Token more = lex_.Next();
                if (more.kind != Tok::String) lex_.Fail("expected a string after '+'", more.line);
                v.text += more.text;
            }
            return v;
        case Tok::Ident:
            v.kind = Value::Kind::Ident;
            v.text = t.text;
            return v;
        case Tok::Symbol:
            break;
        default:
            lex_.Fail("expected a value", t.line);
        }
        switch (t.text[0]) {
        case '[':
            v.kind = Value::Kind::Set;
            if (IsSymbol(lex_.Peek(), ']')) {
                lex_.Next();
                return v;
            }
            for (;;) {
                Token e = lex_.Next();
                if (e.kind != Tok::Ident) lex_.Fail("expected an identifier in a set", e.line);
                v.set.push_back(e.text);
                Token sep = lex_.Next();
                if (IsSymbol(sep, ']')) return v;
                if (!IsSymbol(sep, ',')) lex_.Fail("expected ',' or ']'", sep.line);
            }
        case '(':
            v.kind = Value::Kind::List;
            while (!IsSymbol(lex_.Peek(), ')')) {
                if (lex_.Peek().kind == Tok::End) lex_.Fail("list without closing )", t.line);
                v.list.push_back(ParseValue());
            }
            lex_.Next();
            return v;
        case '{': {
            Token bin = lex_.ReadBinary(t.line);
            v.kind = Value::Kind::Binary;
            for (std::size_t i = 0; i < bin.text.size(); i += 2)
                v.binary.push_back(static_cast<std::uint8_t>(std::strtoul(bin.text.substr(i, 2).c_str(), nullptr, 16)));
            return v;
        }
        case '<':
            v.kind = Value::Kind::Collection;
            for (;;) {
                Token e = lex_.Next();
                if (IsSymbol(e, '>')) return v;
                if (!IsWord(e, "item")) lex_.Fail("expected 'item' or '>'", e.line);
                CollectionItemNode item;
                while (!IsWord(lex_.Peek(), "end")) {
                    if (lex_.Peek().kind == Tok::End) lex_.Fail("item without 'end'", e.line);
                    item.properties.push_back(ParseAssignment());
                }
                lex_.Next();
                v.items.push_back(std::move(item));
            }
        default:
            lex_.Fail("unexpected '" + t.text + "'", t.line);
        }
    }

    Lexer lex_;
};

// Idents registered per enumeration type.
std::vector<std::pair<std::type_index, IdentTable>>& IdentRegistry() {
    static std::vector<std::pair<std::type_index, IdentTable>> registry;
    return registry;
}

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

void ApplyProperties(Persistent& object, const ClassInfo& info, const std::vector<PropertyAssignment>& props,
                     ReadContext& ctx) {
    for (const PropertyAssignment& a : props) {
        ctx.line = a.line;
        const PropertyInfo* p = info.FindProperty(a.name);
        if (!p) ctx.Fail("class " + info.name + " has no property " + a.name);
        p->set(object, a.value, ctx);
    }
}

// One pass of reading over one or more descriptions of the same root.
class Reader {
public:
    Reader(Component& root, ReadMode mode) : ctx_(root, mode) {}

    void Apply(const ObjectNode& node) {
        Component& root = ctx_.Root();
        const ClassInfo* info = ClassRegistry::Instance().FindFor(root);
        ctx_.line = node.line;
        if (!info) ctx_.Fail("the class of the root component is not registered");
        if (!info->InheritsFrom(node.className))
            ctx_.Fail("description of " + node.className + " does not fit a " + info->name);
        Begin(root);
        ApplyNode(root, *info, node);
    }

    void Finish() {
        ctx_.ResolveFixups();
        if (ctx_.Mode() == ReadMode::Create) {
            // Root last: its Loaded lays out children that are complete.
            for (std::size_t i = 1; i < touched_.size(); ++i) {
                if (touched_[i].second.Alive()) touched_[i].first->Loaded();
            }
            if (!touched_.empty() && touched_[0].second.Alive()) touched_[0].first->Loaded();
        }
        for (auto& [c, token] : touched_) {
            if (token.Alive()) {
                c->SetStateFlag(csReading, false);
                c->SetStateFlag(csLoading, false);
            }
        }
    }

    // Leaves no component marked as reading when a description fails.
    void Abandon() {
        for (auto& [c, token] : touched_) {
            if (token.Alive()) {
                c->SetStateFlag(csReading, false);
                c->SetStateFlag(csLoading, false);
            }
        }
    }

private:
    void Begin(Component& c) {
        for (auto& [known, token] : touched_) {
            if (known == &c) return;
        }
        c.SetStateFlag(csReading, true);
        if (ctx_.Mode() == ReadMode::Create) c.SetStateFlag(csLoading, true);
        touched_.emplace_back(&c, c.Token());
    }

    void ApplyNode(Component& c, const ClassInfo& info, const ObjectNode& node) {
        if (!node.name.empty() && &c != &ctx_.Root() && c.Name().empty()) c.SetName(node.name);
        ApplyProperties(c, info, node.properties, ctx_);
        for (const ObjectNode& childNode : node.children) {
            ctx_.line = childNode.line;
            Component* child = nullptr;
            if (ctx_.Mode() == ReadMode::Create && !childNode.inherited) {
                if (childNode.name.empty()) ctx_.Fail("a nested object needs a name");
                if (ctx_.Root().FindComponent(childNode.name))
                    ctx_.Fail("a component named " + childNode.name + " already exists");
                std::unique_ptr<Component> made = ClassRegistry::Instance().Create(childNode.className);
                if (!made) ctx_.Fail("class " + childNode.className + " is not registered or cannot be created");
                made->SetStateFlag(csReading, true);
                made->SetStateFlag(csLoading, true);
                made->SetName(childNode.name);
                child = ctx_.Root().InsertComponent(std::move(made));
                Begin(*child);
                child->SetParentComponent(&c);
            } else {
                child = ctx_.Root().FindComponent(childNode.name);
                if (!child) {
                    // A re-read skips what the open window does not have.
                    if (ctx_.Mode() == ReadMode::Update) continue;
                    ctx_.Fail("inherited component " + childNode.name + " does not exist");
                }
                Begin(*child);
            }
            const ClassInfo* childInfo = ClassRegistry::Instance().FindFor(*child);
            if (!childInfo) ctx_.Fail("class of " + childNode.name + " is not registered");
            ApplyNode(*child, *childInfo, childNode);
        }
    }

    ReadContext ctx_;
    std::vector<std::pair<Component*, LifeToken>> touched_;
};

}  // namespace

// --- Value --------------------------------------------------------------------
std::string Value::Describe() const {
    switch (kind) {
    case Kind::Integer: return std::to_string(integer);
    case Kind::Float: return std::to_string(number);
    case Kind::String: return "'" + text + "'";
    case Kind::Ident: return text;
    case Kind::Set: return "a set";
    case Kind::List: return "a list";
    case Kind::Binary: return "binary data";
    case Kind::Collection: return "a collection";
    }
    return "?";
}

ObjectNode ParseDescription(std::string_view text) { return Parser(text).ParseRoot(); }

// --- HandlerTable -------------------------------------------------------------
const std::any* HandlerTable::Find(std::string_view name) const {
    for (const auto& [n, h] : handlers_) {
        if (SameText(n, name)) return &h;
    }
    return nullptr;
}

void HandlerTable::Set(const std::string& name, std::any handler) {
    for (auto& [n, h] : handlers_) {
        if (SameText(n, name)) {
            h = std::move(handler);
            return;
        }
    }
    handlers_.emplace_back(name, std::move(handler));
}

// --- ReadContext --------------------------------------------------------------
const std::any& ReadContext::Handler(std::string_view name) const {
    const HandlerTable* table = root_.Handlers();
    const std::any* h = table ? table->Find(name) : nullptr;
    if (!h) Fail("handler " + std::string(name) + " is not bound by " + root_.ClassName());
    return *h;
}

void ReadContext::AddFixup(std::string name, std::function<void(Component*)> resolve) {
    fixups_.push_back(Fixup{std::move(name), std::move(resolve), line});
}

void ReadContext::ResolveFixups() {
    std::vector<Fixup> pending;
    pending.swap(fixups_);
    for (Fixup& f : pending) {
        line = f.line;
        Component* found = SameText(f.name, root_.Name()) ? &root_ : root_.FindComponent(f.name);
        if (!found) Fail("component " + f.name + " not found");
        f.resolve(found);
    }
}

void ReadContext::Fail(const std::string& message) const {
    throw EReadError("Window description of " + root_.ClassName() + ", line " + std::to_string(line) + ": " +
                     message);
}

// --- identifiers --------------------------------------------------------------
void RegisterIdents(std::type_index type, IdentTable table) {
    for (auto& [t, existing] : IdentRegistry()) {
        if (t == type) {
            existing = std::move(table);
            return;
        }
    }
    IdentRegistry().emplace_back(type, std::move(table));
}

const IdentTable* FindIdents(std::type_index type) {
    for (auto& [t, table] : IdentRegistry()) {
        if (t == type) return &table;
    }
    return nullptr;
}

bool LookupIdent(const IdentTable& table, std::string_view ident, std::int64_t& value) {
    for (const auto& [name, v] : table) {
        if (SameText(name, ident)) {
            value = v;
            return true;
        }
    }
    return false;
}

std::string IdentOf(const IdentTable& table, std::int64_t value) {
    for (const auto& [name, v] : table) {
        if (v == value) return name;
    }
    return {};
}

// --- ClassInfo / ClassRegistry -------------------------------------------------
const ClassInfo* ClassInfo::Parent() const {
    if (parentName.empty()) return nullptr;
    return ClassRegistry::Instance().Find(parentName);
}

const PropertyInfo* ClassInfo::FindProperty(std::string_view property) const {
    for (const ClassInfo* c = this; c; c = c->Parent()) {
        // Later registrations of the same name win (a class may refine one).
        for (auto it = c->properties.rbegin(); it != c->properties.rend(); ++it) {
            if (SameText(it->name, property)) return &*it;
        }
    }
    return nullptr;
}

bool ClassInfo::InheritsFrom(std::string_view className) const {
    for (const ClassInfo* c = this; c; c = c->Parent()) {
        if (SameText(c->name, className)) return true;
    }
    return false;
}

ClassRegistry& ClassRegistry::Instance() {
    static ClassRegistry registry;
    return registry;
}

ClassInfo& ClassRegistry::Add(const std::string& name, const std::string& parentName, std::type_index type) {
    for (auto& c : classes_) {
        if (SameText(c->name, name)) {
            c->parentName = parentName;
            c->type = type;
            return *c;
        }
    }
    auto info = std::make_unique<ClassInfo>();
    info->name = name;
    info->parentName = parentName;
    info->type = type;
    classes_.push_back(std::move(info));
    return *classes_.back();
}

const ClassInfo* ClassRegistry::Find(std::string_view name) const {
    for (const auto& c : classes_) {
        if (SameText(c->name, name)) return c.get();
    }
    return nullptr;
}

const ClassInfo* ClassRegistry::Find(std::type_index type) const {
    for (const auto& c : classes_) {
        if (c->type == type) return c.get();
    }
    return nullptr;
}

const ClassInfo* ClassRegistry::FindFor(const Persistent& object) const { return Find(std::type_index(typeid(object))); }

std::unique_ptr<Component> ClassRegistry::Create(std::string_view name) const {
    static const int linked = LinkStandardClasses();
    (void)linked;
    const ClassInfo* info = Find(name);
    if (!info || !info->factory) return nullptr;
    return info->factory();
}

// --- reading ------------------------------------------------------------------
void ReadComponent(Component& root, const ObjectNode& node, ReadMode mode) {
    ReadingScope scope;
    Reader reader(root, mode);
    try {
        reader.Apply(node);
        reader.Finish();
    } catch (...) {
        reader.Abandon();
        throw;
    }
}

void ReadComponent(Component& root, std::string_view text, ReadMode mode) {
    ReadComponent(root, ParseDescription(text), mode);
}

bool ReadComponentResources(Component& root, std::string_view stopClass, ReadMode mode) {
    const ClassInfo* info = ClassRegistry::Instance().FindFor(root);
    std::vector<const ClassInfo*> chain;
    for (const ClassInfo* c = info; c && !SameText(c->name, stopClass); c = c->Parent()) chain.push_back(c);
    std::reverse(chain.begin(), chain.end());
    std::vector<ObjectNode> nodes;
    for (const ClassInfo* c : chain) {
        std::string_view data = FindRcData(Upper(c->name));
        if (!data.empty()) nodes.push_back(ParseDescription(data));
    }
    if (nodes.empty()) return false;
    ReadingScope scope;
    Reader reader(root, mode);
    try {
        for (const ObjectNode& node : nodes) reader.Apply(node);
        reader.Finish();
    } catch (...) {
        reader.Abandon();
        throw;
    }
    return true;
}

bool IsReadingDescription() { return g_readingDepth > 0; }

void SetPropertyValue(Component& object, std::string_view property, const Value& value) {
    const ClassInfo* info = ClassRegistry::Instance().FindFor(object);
    Component& root = object.Owner() ? *object.Owner() : object;
    ReadContext ctx(root, ReadMode::Update);
    if (!info) ctx.Fail("class of " + object.Name() + " is not registered");
    const PropertyInfo* p = info->FindProperty(property);
    if (!p) ctx.Fail("class " + info->name + " has no property " + std::string(property));
    p->set(object, value, ctx);
    ctx.ResolveFixups();
}

Value GetPropertyValue(const Persistent& object, std::string_view property) {
    const ClassInfo* info = ClassRegistry::Instance().FindFor(object);
    const PropertyInfo* p = info ? info->FindProperty(property) : nullptr;
    if (!p || !p->get) throw EReadError("property " + std::string(property) + " cannot be read");
    return p->get(object);
}

namespace streaming_detail {

void BadValue(ReadContext& ctx, const Value& value, const char* wanted) {
    ctx.Fail(std::string("expected ") + wanted + ", found " + value.Describe());
}

std::int64_t ToInteger(const Value& value, ReadContext& ctx, const IdentTable* idents) {
    std::int64_t v = 0;
    switch (value.kind) {
    case Value::Kind::Integer: return value.integer;
    case Value::Kind::Ident:
        if (idents && LookupIdent(*idents, value.text, v)) return v;
        ctx.Fail("unknown identifier " + value.text);
    case Value::Kind::Set: {
        std::int64_t bits = 0;
        for (const std::string& e : value.set) {
            if (!idents || !LookupIdent(*idents, e, v)) ctx.Fail("unknown set element " + e);
            bits |= v;
        }
        return bits;
    }
    default: BadValue(ctx, value, "a number");
    }
}

bool ToBool(const Value& value, ReadContext& ctx) {
    if (value.kind == Value::Kind::Ident) {
        if (SameText(value.text, "True")) return true;
        if (SameText(value.text, "False")) return false;
    }
    BadValue(ctx, value, "True or False");
}

void ApplyCollection(CollectionBase& collection, const Value& value, ReadContext& ctx) {
    if (value.kind != Value::Kind::Collection) BadValue(ctx, value, "a collection");
    const ClassInfo* itemInfo = ClassRegistry::Instance().Find(collection.ItemClassName());
    if (!itemInfo) ctx.Fail("item class " + collection.ItemClassName() + " is not registered");
    if (ctx.Mode() == ReadMode::Create) collection.Clear();
    for (std::size_t i = 0; i < value.items.size(); ++i) {
        Persistent& item = (ctx.Mode() == ReadMode::Update && i < collection.Count()) ? collection.Item(i)
                                                                                        : collection.Add();
        ApplyProperties(item, *itemInfo, value.items[i].properties, ctx);
    }
}

}  // namespace streaming_detail

}  // namespace tk
