// Controls built in code: windows made and lost, parenting, constraints,
// enabled / visible / font / colour propagation, reflection of colour
// messages, tab order, closing forms, actions and removal notices.
#include "core_support.h"

#include "toolkit/TestSeams.h"

#include <gtest/gtest.h>

namespace {

using namespace tk;
using coretest::Pump;
using coretest::TestButton;
using coretest::TestPanel;

struct ControlTest : ::testing::Test {
    ScriptedMessages messages{[](const MessageRequest& r) { ADD_FAILURE() << "unanswered message box: " << r.text; }};
    std::unique_ptr<Form> form;
    TestPanel* a = nullptr;
    TestPanel* b = nullptr;

    void SetUp() override {
        form = std::make_unique<Form>();
        form->SetName("Plain");
        form->SetClientSize(300, 200);
        a = Create<TestPanel>(*form);
        a->SetName("A");
        a->SetParent(form.get());
        a->SetBounds(10, 10, 100, 100);
        b = Create<TestPanel>(*form);
        b->SetName("B");
        b->SetParent(form.get());
        b->SetBounds(150, 10, 100, 100);
        form->Show();
        Pump();
    }
    void TearDown() override {
        form.reset();
        App().Reset();
        Pump();
    }
};

TEST_F(ControlTest, ReparentingMovesTheWindowAndKeepsIt) {
    auto* button = Create<TestButton>(*form);
    button->SetParent(a);
    button->SetBounds(5, 6, 40, 20);
    HWND wnd = button->Handle();  // made at once: the parent has its window
    EXPECT_EQ(::GetParent(wnd), a->Handle());
    button->SetParent(b);
    EXPECT_EQ(button->HandleIfAllocated(), wnd);
    EXPECT_EQ(::GetParent(wnd), b->Handle());
    RECT r{};
    ::GetWindowRect(wnd, &r);
    ::MapWindowPoints(nullptr, b->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_EQ(a->ControlCount(), 0u);
    EXPECT_EQ(b->Controls(0), button);
    EXPECT_THROW(a->SetParent(a), EInvalidOperation);
    b->SetParent(a);
    EXPECT_THROW(a->SetParent(b), EInvalidOperation);  // a control cannot go inside its own child
}

TEST_F(ControlTest, LaterChildrenLieAboveEarlierOnes) {
    HWND parent = form->Handle();
    auto topAt = [&](HWND in, int x, int y) { return ::ChildWindowFromPointEx(in, POINT{x, y}, CWP_SKIPINVISIBLE); };
    auto* c = Create<TestPanel>(*form);
    c->SetBounds(60, 60, 100, 100);
    c->SetParent(form.get());  // made at once, over a and b
    EXPECT_EQ(topAt(parent, 70, 70), c->Handle());
    EXPECT_EQ(topAt(parent, 155, 70), c->Handle());

    // Made again, the windows keep the order of the children.
    form->RecreateWnd();
    parent = form->Handle();
    EXPECT_EQ(topAt(parent, 70, 70), c->Handle());

    form->SendChildToBack(c);
    EXPECT_EQ(topAt(parent, 70, 70), a->Handle());
    form->BringChildToFront(c);
    EXPECT_EQ(topAt(parent, 70, 70), c->Handle());

    // Moved in from another parent, it becomes the last child and so the top one.
    auto* d = Create<TestPanel>(*form);
    d->SetParent(b);
    d->SetBounds(0, 0, 20, 20);
    d->SetParent(form.get());
    d->SetBounds(65, 65, 20, 20);
    EXPECT_EQ(topAt(parent, 70, 70), d->Handle());

    // A new tab order moves the window in the stacking too.
    d->SetTabOrder(0);
    EXPECT_EQ(topAt(parent, 70, 70), c->Handle());
}

TEST_F(ControlTest, ObjectsCopeWithWindowsDestroyedByWindows) {
    auto* button = Create<TestButton>(*form);
    button->SetParent(a);
    button->SetCaption("keep");
    HWND panelWnd = a->Handle();
    ::DestroyWindow(panelWnd);  // takes the button's window along
    EXPECT_FALSE(a->HandleAllocated());
    EXPECT_FALSE(button->HandleAllocated());
    EXPECT_EQ(button->Caption(), "keep");
    HWND again = button->Handle();  // both are made again on demand
    EXPECT_TRUE(::IsWindow(again));
    EXPECT_EQ(::GetParent(again), a->HandleIfAllocated());
}

TEST_F(ControlTest, ParentDestroysItsChildren) {
    auto* inner = Create<TestPanel>(*form);
    inner->SetParent(a);
    auto* deeper = Create<TestButton>(*form);
    deeper->SetParent(inner);
    LifeToken innerAlive = inner->Token();
    LifeToken deeperAlive = deeper->Token();
    HWND deepWnd = deeper->Handle();
    const std::size_t count = form->ComponentCount();
    Free(a);
    EXPECT_FALSE(innerAlive.Alive());
    EXPECT_FALSE(deeperAlive.Alive());
    EXPECT_FALSE(::IsWindow(deepWnd));
    EXPECT_EQ(form->ComponentCount(), count - 3);
}

TEST_F(ControlTest, ConstraintsLimitBoundsAndTheFormsTrackingSize) {
    a->SetConstraints(SizeConstraints{20, 30, 80, 90});
    EXPECT_EQ(a->Width(), 80);
    EXPECT_EQ(a->Height(), 90);
    a->SetBounds(0, 0, 5, 5);
    EXPECT_EQ(a->Width(), 20);
    EXPECT_EQ(a->Height(), 30);

    form->SetConstraints(SizeConstraints{250, 150, 0, 0});
    MINMAXINFO info{};
    ::SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 250);
    EXPECT_EQ(info.ptMinTrackSize.y, 150);
}

TEST_F(ControlTest, EnabledVisibleAndFontReachTheWindows) {
    auto* button = Create<TestButton>(*form);
    button->SetParent(a);
    HWND wnd = button->Handle();
    button->SetEnabled(false);
    EXPECT_FALSE(::IsWindowEnabled(wnd));
    button->SetEnabled(true);
    EXPECT_TRUE(::IsWindowEnabled(wnd));

    a->Hide();
    EXPECT_FALSE(::IsWindowVisible(wnd));
    EXPECT_FALSE(button->Showing());
    a->Show();
    EXPECT_TRUE(::IsWindowVisible(wnd));
    EXPECT_TRUE(button->Showing());

    Font big = a->GetFont();
    big.name = "Arial";
    big.height = -20;
    a->SetFont(big);
    EXPECT_TRUE(button->ParentFont());
    EXPECT_EQ(button->GetFont().height, -20);  // follows its parent
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(wnd, WM_GETFONT, 0, 0)), button->FontObject());
    EXPECT_EQ(b->GetFont().height, form->GetFont().height);  // a sibling does not

    a->SetColor(clRed);
    auto* graphic = Create<coretest::TestGraphic>(*form);
    graphic->SetParentColor(true);
    graphic->SetParent(a);
    EXPECT_EQ(graphic->GetColor(), clRed);
    a->SetColor(clLime);
    EXPECT_EQ(graphic->GetColor(), clLime);
}

TEST_F(ControlTest, ColourMessagesAreReflectedToTheChild) {
    auto* button = Create<TestButton>(*form);
    button->SetParent(a);
    button->SetColor(clYellow);
    Font f = button->GetFont();
    f.color = clBlue;
    button->SetFont(f);
    HDC dc = ::GetDC(a->Handle());
    auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageA(a->Handle(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(button->Handle())));
    EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 255));
    EXPECT_EQ(::GetBkColor(dc), RGB(255, 255, 0));
    LOGBRUSH lb{};
    ASSERT_TRUE(brush);
    ::GetObjectA(brush, sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(255, 255, 0));
    ::ReleaseDC(a->Handle(), dc);
}

TEST_F(ControlTest, TabMovesTheFocusInTabOrder) {
    std::vector<TestButton*> buttons;
    for (int i = 0; i < 3; ++i) {
        auto* button = Create<TestButton>(*form);
        button->SetParent(i == 2 ? b : a);
        button->SetBounds(5, 5 + 30 * i, 40, 20);
        buttons.push_back(button);
    }
    buttons[1]->SetTabOrder(0);  // before buttons[0] in panel A
    EXPECT_EQ(buttons[0]->TabOrder(), 1);
    ::SetForegroundWindow(form->Handle());
    form->FocusControl(buttons[1]);
    ASSERT_TRUE(buttons[1]->Focused());
    form->SelectNext(buttons[1], true);
    EXPECT_TRUE(buttons[0]->Focused());
    form->SelectNext(buttons[0], true);
    EXPECT_TRUE(buttons[2]->Focused());
    form->SelectNext(buttons[2], true);  // wraps round
    EXPECT_TRUE(buttons[1]->Focused());
    form->SelectNext(buttons[1], false);
    EXPECT_TRUE(buttons[2]->Focused());
    EXPECT_EQ(form->ActiveControl(), buttons[2]);
}

TEST_F(ControlTest, ClosingAFormFollowsItsCloseAction) {
    auto* other = App().CreateForm<Form>();  // the main form
    auto* second = App().CreateForm<Form>();
    second->Show();
    CloseAction next = caNone;
    second->OnClose = [&](Component*, CloseAction& action) { action = next; };
    second->Close();
    EXPECT_TRUE(second->Visible());
    next = caHide;
    second->Close();
    EXPECT_FALSE(second->Visible());
    next = caFree;
    LifeToken alive = second->Token();
    second->Close();
    EXPECT_TRUE(alive.Alive());  // freed once the running handler has returned
    Pump();
    EXPECT_FALSE(alive.Alive());

    bool allow = false;
    other->OnCloseQuery = [&](Component*, bool& can) { can = allow; };
    ::SendMessageA(other->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(App().Terminated());
    allow = true;
    ::SendMessageA(other->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(App().Terminated());  // closing the main form ends the program
}

TEST_F(ControlTest, ActionsRunOnClickAndLinksDieWithThem) {
    auto* action = Create<BasicAction>(*form);
    int runs = 0;
    action->OnExecute = [&](Component*) { ++runs; };
    auto* graphic = Create<coretest::TestGraphic>(*form);
    graphic->SetParent(a);
    graphic->SetAction(action);
    graphic->Control::Click();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(action->Clients().size(), 1u);
    auto* popup = Create<Component>(*form);
    graphic->SetPopupMenu(popup);
    Free(action);
    Free(popup);
    EXPECT_EQ(graphic->Action(), nullptr);
    EXPECT_EQ(graphic->PopupMenu(), nullptr);
}

TEST_F(ControlTest, ShowingTheApplicationWindowBringsTheMainForm) {
    auto* main = App().CreateForm<Form>();
    App().SetTitle("Toolkit test title");
    HWND app = App().Handle();
    EXPECT_EQ(::FindWindowA("TApplication", "Toolkit test title"), app);
    main->Show();
    main->SetWindowState(wsMinimized);
    ::ShowWindow(app, SW_RESTORE);
    Pump();
    EXPECT_FALSE(::IsWindowVisible(app));
    EXPECT_TRUE(::IsWindowVisible(main->Handle()));
    EXPECT_FALSE(::IsIconic(main->Handle()));
    EXPECT_EQ(::GetWindow(main->Handle(), GW_OWNER), app);
}

struct Throwing : Form {
    Throwing() {
        BindHandler("FormCreate", &Throwing::Boom);
        ReadComponent(*this, "object F: TThrowing\n OnCreate = FormCreate\nend\n", ReadMode::Create);
        if (OnCreate) OnCreate(this);
    }
    void Boom(Component*) { throw EInvalidOperation("boom"); }
};
const ClassRegistration<Throwing> g_throwing("TThrowing", "TForm");

TEST_F(ControlTest, ExceptionsWhileBuildingAFormReachTheCaller) {
    EXPECT_THROW(Throwing{}, EInvalidOperation);
    EXPECT_TRUE(messages.Shown().empty());  // not swallowed into an error box
}

}  // namespace
