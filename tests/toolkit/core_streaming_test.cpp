// Components and window descriptions without windows: ownership and free
// notification, the description parser, the class registry and the reader.
#include "core_support.h"

#include "toolkit/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace tk;

class Leaf : public Component {
public:
    int number = 0;
    std::string label;
    std::vector<std::string> lines;
    Leaf* buddy = nullptr;
    NotifyEvent OnPing;
    std::function<void(Component*, int)> OnValue;
    static std::vector<std::string>* log;
    Component* parentComponent = nullptr;

    int Number() const { return number; }
    void SetNumber(int v) { number = v; }
    const std::string& Label() const { return label; }
    void SetLabel(const std::string& v) { label = v; }
    void SetLines(const std::vector<std::string>& v) { lines = v; }
    void SetBuddy(Leaf* b) { buddy = b; }
    void SetParentComponent(Component* parent) override { parentComponent = parent; }
    void Loaded() override {
        Component::Loaded();
        if (log) log->push_back(Name() + (buddy ? "->" + buddy->Name() : std::string()));
    }

protected:
    void Notification(Component* c, Operation op) override {
        if (op == Operation::Remove && c == buddy) buddy = nullptr;
    }
};

std::vector<std::string>* Leaf::log = nullptr;

struct Column : Persistent {
    int width = 0;
    std::string title;
    int Width() const { return width; }
    void SetWidth(int v) { width = v; }
    void SetTitle(const std::string& v) { title = v; }
};

enum Shade { shLight, shDark };

class Root : public Component {
public:
    Root() { RegisterIdents(typeid(Shade), {{"shLight", shLight}, {"shDark", shDark}}); }
    HandlerTable table;
    const HandlerTable* Handlers() const override { return &table; }
    OwnedCollection<Column> columns{"TColumn"};
    OwnedCollection<Column>& Columns() { return columns; }
    Shade shade = shLight;
    unsigned flags = 0;
    Shade GetShade() const { return shade; }
    void SetShade(Shade s) { shade = s; }
    unsigned Flags() const { return flags; }
    void SetFlags(unsigned f) { flags = f; }
};

const IdentTable kFlags = {{"fA", 1}, {"fB", 2}, {"fC", 4}};

const ClassRegistration<Leaf> g_leaf("TLeaf", "TComponent", [](auto& c) {
    c.Property("Number", &Leaf::Number, &Leaf::SetNumber);
    c.Property("Label", &Leaf::Label, &Leaf::SetLabel);
    c.Property("Lines.Strings", nullptr, &Leaf::SetLines);
    c.Property("Buddy", nullptr, &Leaf::SetBuddy);
    c.Event("OnPing", &Leaf::OnPing);
    c.Event("OnValue", &Leaf::OnValue);
});
const ClassRegistration<Column> g_column("TColumn", "", [](auto& c) {
    c.Property("Width", &Column::Width, &Column::SetWidth);
    c.Property("Title", nullptr, &Column::SetTitle);
});
const ClassRegistration<Root> g_root("TRoot", "TComponent", [](auto& c) {
    c.Collection("Columns", &Root::Columns);
    c.Property("Shade", &Root::GetShade, &Root::SetShade);
    c.Property("Flags", &Root::Flags, &Root::SetFlags, &kFlags);
});

TEST(Components, OwnerFreesOwnedAndNotifiesListeners) {
    auto owner = std::make_unique<Root>();
    Leaf* a = Create<Leaf>(*owner);
    a->SetName("A");
    Leaf* b = Create<Leaf>(*owner);
    b->SetName("B");
    b->buddy = a;
    a->FreeNotification(b);
    EXPECT_EQ(owner->FindComponent("a"), a);  // names compare without case
    EXPECT_THROW(b->SetName("a"), EInvalidOperation);

    LifeToken tokenA = a->Token();
    Free(a);
    EXPECT_FALSE(tokenA.Alive());
    EXPECT_EQ(b->buddy, nullptr);  // told by the free notification
    EXPECT_EQ(owner->ComponentCount(), 1u);

    LifeToken tokenB = b->Token();
    owner.reset();
    EXPECT_FALSE(tokenB.Alive());
}

// A listener that frees another listener of the same component while it is
// told of that component's end (as a tool window frees its floating parent):
// the freed one is told nothing more.
class Dropper : public Component {
public:
    Component* watched = nullptr;
    std::unique_ptr<Component> dropped;
    int told = 0;

protected:
    void Notification(Component* c, Operation op) override {
        if (op != Operation::Remove || c != watched) return;
        ++told;
        dropped.reset();
    }
};

TEST(Components, ListenerFreedByAnotherListenerIsNotToldAgain) {
    for (bool droppedFirst : {false, true}) {
        auto watched = std::make_unique<Root>();
        Dropper dropper;
        dropper.watched = watched.get();
        auto dropped = std::make_unique<Dropper>();
        dropped->watched = watched.get();
        if (droppedFirst) watched->FreeNotification(dropped.get());
        watched->FreeNotification(&dropper);
        if (!droppedFirst) watched->FreeNotification(dropped.get());
        LifeToken token = dropped->Token();
        dropper.dropped = std::move(dropped);
        watched.reset();
        EXPECT_EQ(dropper.told, 1);
        EXPECT_FALSE(token.Alive());
    }
}

TEST(Components, ComponentDeletedDirectlyLeavesItsOwner) {
    Root owner;
    Leaf* a = Create<Leaf>(owner);
    delete a;
    EXPECT_EQ(owner.ComponentCount(), 0u);
}

TEST(DescriptionParser, DecodesValuesOfEveryKind) {
    ObjectNode n = ParseDescription(
        "object Main: TRoot\n"
        "  Text = 'It''s'#13#10'two'#233 + ' more'\n"
        "  Count = -12\n"
        "  Mask = $FF\n"
        "  Ratio = 1.5\n"
        "  Font.Style = [fsBold, fsItalic]\n"
        "  Empty = []\n"
        "  Lines.Strings = ('a' 'b')\n"
        "  Data = {0A ff}\n"
        "  Items = <\n"
        "    item\n"
        "      Width = 3\n"
        "    end>\n"
        "  // a comment\n"
        "  inherited Child: TLeaf\n"
        "    OnPing = Handler\n"
        "  end\n"
        "end\n");
    EXPECT_EQ(n.name, "Main");
    EXPECT_EQ(n.className, "TRoot");
    ASSERT_EQ(n.properties.size(), 9u);
    EXPECT_EQ(n.properties[0].value.text, std::string("It's\r\ntwo\xE9 more"));
    EXPECT_EQ(n.properties[1].value.integer, -12);
    EXPECT_EQ(n.properties[2].value.integer, 255);
    EXPECT_DOUBLE_EQ(n.properties[3].value.number, 1.5);
    EXPECT_EQ(n.properties[4].name, "Font.Style");
    EXPECT_EQ(n.properties[4].value.set, (std::vector<std::string>{"fsBold", "fsItalic"}));
    EXPECT_TRUE(n.properties[5].value.set.empty());
    ASSERT_EQ(n.properties[6].value.list.size(), 2u);
    EXPECT_EQ(n.properties[6].value.list[1].text, "b");
    EXPECT_EQ(n.properties[7].value.binary, (std::vector<std::uint8_t>{0x0A, 0xFF}));
    ASSERT_EQ(n.properties[8].value.items.size(), 1u);
    EXPECT_EQ(n.properties[8].value.items[0].properties[0].value.integer, 3);
    ASSERT_EQ(n.children.size(), 1u);
    EXPECT_TRUE(n.children[0].inherited);
    EXPECT_EQ(n.children[0].properties[0].value.kind, Value::Kind::Ident);
    EXPECT_EQ(n.children[0].line, 15);
}

TEST(DescriptionParser, ReportsTheLineOfAFault) {
    try {
        ParseDescription("object A: TRoot\n  X = 1\n  Y = 'open\nend\n");
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos) << e.what();
    }
    EXPECT_THROW(ParseDescription("object A: TRoot\n  X = #300\nend"), EReadError);
    EXPECT_THROW(ParseDescription("object A: TRoot\n  X = 1\n"), EReadError);
    EXPECT_THROW(ParseDescription("object A: TRoot end trailing"), EReadError);
}

const char* kRootText =
    "object Main: TRoot\n"
    "  Shade = shDark\n"
    "  Flags = [fA, fC]\n"
    "  Columns = <\n"
    "    item\n"
    "      Width = 10\n"
    "      Title = 'One'\n"
    "    end\n"
    "    item\n"
    "      Width = 20\n"
    "    end>\n"
    "  object First: TLeaf\n"
    "    Number = 7\n"
    "    Buddy = Second\n"
    "    OnPing = Ping\n"
    "    object Inner: TLeaf\n"
    "      Label = 'in'\n"
    "      OnValue = Value\n"
    "    end\n"
    "  end\n"
    "  object Second: TLeaf\n"
    "    Lines.Strings = ('x' 'y')\n"
    "  end\n"
    "end\n";

struct ReaderTest : ::testing::Test {
    Root root;
    std::vector<std::string> calls;
    void SetUp() override {
        root.table.Add("Ping", std::function<void(Component*)>([this](Component*) { calls.push_back("ping"); }));
        root.table.Add("Value",
                       std::function<void(Component*, int)>([this](Component*, int v) { calls.push_back(std::to_string(v)); }));
    }
};

TEST_F(ReaderTest, CreatesComponentsByClassAndResolvesReferencesAfterReading) {
    ReadComponent(root, kRootText, ReadMode::Create);
    auto* first = root.Find<Leaf>("First");
    auto* inner = root.Find<Leaf>("Inner");
    auto* second = root.Find<Leaf>("Second");
    ASSERT_TRUE(first && inner && second);
    EXPECT_EQ(inner->Owner(), &root);              // the root owns everything
    EXPECT_EQ(inner->parentComponent, first);      // nested in First
    EXPECT_EQ(first->buddy, second);               // a forward reference
    EXPECT_EQ(first->number, 7);
    EXPECT_EQ(second->lines, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(root.shade, shDark);
    EXPECT_EQ(root.flags, 5u);
    ASSERT_EQ(root.columns.Count(), 2u);
    EXPECT_EQ(root.columns[0].title, "One");
    EXPECT_EQ(root.columns[1].width, 20);
    ASSERT_TRUE(first->OnPing && inner->OnValue);
    first->OnPing(first);
    inner->OnValue(inner, 4);
    EXPECT_EQ(calls, (std::vector<std::string>{"ping", "4"}));
    EXPECT_FALSE(first->IsLoading());
    EXPECT_FALSE(first->IsReading());
    EXPECT_EQ(GetPropertyValue(root, "Shade").text, "shDark");
    EXPECT_EQ(GetPropertyValue(*first, "Number").integer, 7);
}

TEST_F(ReaderTest, UpdateAppliesToExistingComponentsOnly) {
    ReadComponent(root, kRootText, ReadMode::Create);
    Leaf* first = root.Find<Leaf>("First");
    first->SetLabel("set at run time");
    root.columns[1].title = "kept";
    const std::size_t count = root.ComponentCount();
    ReadComponent(root,
                  "object Main: TRoot\n"
                  "  Columns = <item Width = 11 end>\n"
                  "  object First: TLeaf\n"
                  "    Number = 8\n"
                  "  end\n"
                  "  object Unknown: TLeaf\n"
                  "    Number = 1\n"
                  "  end\n"
                  "end\n",
                  ReadMode::Update);
    EXPECT_EQ(root.ComponentCount(), count);      // nothing created or destroyed
    EXPECT_EQ(root.Find<Leaf>("First"), first);   // the same object
    EXPECT_EQ(first->number, 8);
    EXPECT_EQ(first->label, "set at run time");
    ASSERT_EQ(root.columns.Count(), 2u);          // items kept, the first updated
    EXPECT_EQ(root.columns[0].width, 11);
    EXPECT_EQ(root.columns[1].title, "kept");
}

TEST_F(ReaderTest, RejectsUnknownNamesWithTheLine) {
    auto expectFault = [this](const char* text, const char* part) {
        Root fresh;
        fresh.table = root.table;
        try {
            ReadComponent(fresh, text, ReadMode::Create);
            ADD_FAILURE() << "no error for " << text;
        } catch (const EReadError& e) {
            EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
        }
    };
    expectFault("object M: TRoot\n  Bogus = 1\nend", "line 2");
    expectFault("object M: TRoot\n object X: TNoSuchClass\n end\nend", "TNoSuchClass");
    expectFault("object M: TRoot\n object X: TLeaf\n  OnPing = Missing\n end\nend", "Missing");
    expectFault("object M: TRoot\n object X: TLeaf\n  OnPing = Value\n end\nend", "does not fit");
    expectFault("object M: TRoot\n object X: TLeaf\n  Buddy = Nobody\n end\nend", "Nobody");
    expectFault("object M: TRoot\n  Shade = shPurple\nend", "shPurple");
    expectFault("object M: TLeaf\nend", "does not fit");
}

TEST_F(ReaderTest, LoadedRunsOnceAfterReferencesAreResolved) {
    std::vector<std::string> loaded;
    Leaf::log = &loaded;
    ReadComponent(root, "object M: TRoot\n object A: TLeaf\n Buddy = B\n end\n object B: TLeaf\n end\nend",
                  ReadMode::Create);
    EXPECT_EQ(loaded, (std::vector<std::string>{"A->B", "B"}));
    loaded.clear();
    ReadComponent(root, "object M: TRoot\n object A: TLeaf\n Number = 2\n end\nend", ReadMode::Update);
    Leaf::log = nullptr;
    EXPECT_TRUE(loaded.empty());  // a re-read loads nothing again
    EXPECT_EQ(root.Find<Leaf>("A")->number, 2);
}

}  // namespace
