// Every dialog as the display shows it, in every language: each pixel of its
// client area painted (no black or untouched area, group box insides
// included) and every label and group caption showing its text.
#include "MainTestSupport.h"
#include "tests/support/ScreenPixels.h"

#include "programmer/About.h"
#include "programmer/Clone.h"
#include "programmer/FillBuffers.h"
#include "programmer/LanguageModules.h"
#include "programmer/PlugIns.h"
#include "programmer/SpecialBits.h"
#include "programmer/Sysinfo.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct Language {
    const char* name;
    LCID locale;
};

const Language kLanguages[] = {{"English", 1033}, {"French", 1036}, {"Italian", 1040}, {"Romanian", 24}};

std::string ProgramBesideTests()
{
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1) + "ZeltoPrg.exe";
}

void Collect(tk::WinControl& parent, std::vector<tk::Control*>& out)
{
    for (tk::Control* c : parent.Children()) {
        out.push_back(c);
        if (auto* wc = dynamic_cast<tk::WinControl*>(c))
            Collect(*wc, out);
    }
}

// Shows the form, reads its client area off the screen and checks it.
void ExpectWhollyPainted(tk::Form& form, const std::string& what)
{
    screen::MarkScreen();
    form.Show();
    screen::PumpPaints();
    HWND wnd = form.Handle();
    const RECT client = screen::ClientOnScreen(wnd);
    const screen::Pixels pixels = screen::Read(client);
    struct HideAfter {
        tk::Form& form;
        ~HideAfter() { form.Hide(); }
    } hideAfter{form};
    ASSERT_GT(pixels.width, 0) << what;
    EXPECT_EQ(screen::FindUnpainted(pixels), "") << what;

    std::vector<tk::Control*> all;
    Collect(form, all);
    for (tk::Control* c : all) {
        const bool label = dynamic_cast<tk::Label*>(c) != nullptr;
        const bool group = dynamic_cast<tk::GroupBox*>(c) != nullptr;
        if ((!label && !group) || !c->Showing() || c->Caption().empty())
            continue;
        const POINT at = c->Parent()->ClientToScreen(POINT{c->Left(), c->Top()});
        RECT r{at.x - client.left, at.y - client.top, 0, 0};
        r.right = r.left + c->Width();
        // A group box's text is in its top strip, over the frame.
        r.bottom = r.top + (group ? std::abs(c->GetFont().height) + 4 : c->Height());
        EXPECT_GT(screen::InkIn(pixels, r), 0) << what << ": " << c->Name() << " '" << c->Caption() << "' shows nothing";
    }
}

class DialogsOnScreen : public ::testing::TestWithParam<Language> {
protected:
    DialogsOnScreen()
        : messages_([](const tk::MessageRequest& r) { ADD_FAILURE() << "unexpected message box: " << r.text; })
    {
        tk::App().Reset();
        SetProgramFilePath(ProgramBesideTests());
        if (GetParam().locale != 1033) {
            EXPECT_NE(LoadLanguageModule(GetParam().locale), nullptr) << GetParam().name;
        }
    }
    ~DialogsOnScreen() override
    {
        tk::UseMainResources();
        tk::App().Reset();
    }

    template <class T, class... Args>
    void Check(const std::string& name, const std::function<void(T&)>& prepare, Args&&... args)
    {
        T* form = tk::Create<T>(tk::App(), std::forward<Args>(args)...);
        if (prepare)
            prepare(*form);
        ExpectWhollyPainted(*form, std::string(GetParam().name) + " " + name);
        tk::Free(form);
    }

    tk::ScriptedMessages messages_;
};

}  // namespace

TEST_P(DialogsOnScreen, EveryPixelPaintedAndEveryTextShown)
{
    Check<TFillForm>("Fill Buffer", nullptr);
    // An EEPROM-only device: the Flash part greyed as the fill command does.
    Check<TFillForm>("Fill Buffer, Flash greyed", [](TFillForm& f) {
        f.FB1->SetEnabled(false);
        for (tk::Edit* e : {f.EdtFStartAdd, f.EdtFEndAdd, f.EdtFFillValue})
            e->SetEnabled(false);
    });
    Check<TSystemInfo>("System Info", nullptr);
    Check<TSBForm>("Special Bits", [](TSBForm& f) {
        f.Fill("Fuse Bits", "ATDEMO", {"CKSEL0", "CKSEL1", "SUT0"}, {1, 0, 1});
    });
    Check<TCloneForm>("Cloning Options", nullptr);
    Check<TPlugInForm>("Plug-Ins", nullptr);
    Check<TAboutBox>("About", nullptr);
}

INSTANTIATE_TEST_SUITE_P(All, DialogsOnScreen, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<Language>& info) { return std::string(info.param.name); });

// An EEPROM-only device greys the Flash part of Fill Buffer: its edits must
// look disabled (grey text on the button face), not like the EEPROM ones.
TEST(DisabledControlsOnScreen, EditsShowTheDisabledLook)
{
    tk::ScriptedMessages messages([](const tk::MessageRequest& r) { ADD_FAILURE() << "message box: " << r.text; });
    tk::App().Reset();
    TFillForm* form = tk::Create<TFillForm>(tk::App());
    for (tk::Edit* e : {form->EdtFStartAdd, form->EdtEStartAdd})
        e->SetText("1F");
    form->EdtFStartAdd->SetEnabled(false);
    form->Show();
    screen::PumpPaints();
    const auto inner = [](tk::Edit* e) {
        RECT r = screen::ClientOnScreen(e->Handle());
        return screen::Read(r);
    };
    const screen::Pixels disabled = inner(form->EdtFStartAdd);
    const screen::Pixels enabled = inner(form->EdtEStartAdd);
    form->Hide();
    tk::Free(form);
    tk::App().Reset();

    const std::uint32_t face = tk::ColorToRGB(tk::clBtnFace);
    const std::uint32_t faceRgb = ((face & 0xFF) << 16) | (face & 0xFF00) | ((face >> 16) & 0xFF);
    ASSERT_GT(disabled.width, 2);
    EXPECT_EQ(disabled.At(disabled.width - 2, disabled.height / 2), faceRgb) << "background of the disabled edit";
    EXPECT_NE(enabled.At(enabled.width - 2, enabled.height / 2), faceRgb) << "background of the enabled edit";
    const auto darkest = [](const screen::Pixels& p) {
        int least = 3 * 255;
        for (std::uint32_t c : p.rgb)
            least = std::min(least, static_cast<int>(((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF)));
        return least;
    };
    EXPECT_EQ(darkest(enabled), 0) << "the enabled edit's text is black";
    EXPECT_GT(darkest(disabled), 3 * 64) << "the disabled edit's text is grey";
}

namespace {

// Clicks a grid cell as the user does.
void ClickCell(tk::StringGrid& grid, int col, int row)
{
    const RECT cell = grid.CellRect(col, row);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    ::SendMessageA(grid.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(grid.Handle(), WM_LBUTTONUP, 0, at);
    screen::PumpPaints();
}

// Where the display shows the yellow box inside the grid, as a rectangle in
// the form's client coordinates (empty when it shows nowhere).
RECT YellowOnScreen(TSBForm& form)
{
    const RECT client = screen::ClientOnScreen(form.Handle());
    const screen::Pixels p = screen::Read(client);
    const COLORREF y = tk::ColorToRGB(tk::clYellow);
    const std::uint32_t yellow = (GetRValue(y) << 16) | (GetGValue(y) << 8) | GetBValue(y);
    RECT found{p.width, p.height, 0, 0};
    for (int py = 0; py < p.height; ++py)
        for (int px = 0; px < p.width; ++px)
            if (p.At(px, py) == yellow) {
                found.left = std::min<LONG>(found.left, px);
                found.top = std::min<LONG>(found.top, py);
                found.right = std::max<LONG>(found.right, px + 1);
                found.bottom = std::max<LONG>(found.bottom, py + 1);
            }
    return found.right > found.left ? found : RECT{0, 0, 0, 0};
}

// The box shows inside the "Programmed" cell of the row it edits, or not at
// all (unless it must show, after a click on that cell).
void ExpectBoxOnlyOverItsCell(TSBForm& form, const std::string& when, bool mustShow = false)
{
    const RECT yellow = YellowOnScreen(form);
    EXPECT_TRUE(!mustShow || yellow.right > 0) << when << ": the box does not show";
    if (yellow.right == 0)
        return;
    tk::StringGrid& grid = *form.SpecBitsGrid;
    ASSERT_LT(form.SelectedRow(), grid.RowCount()) << when;
    const RECT cell = grid.CellRect(2, form.SelectedRow());
    const POINT at = form.ScreenToClient(grid.ClientToScreen(POINT{cell.left, cell.top}));
    const int line = grid.GridLineWidth();
    RECT allowed{at.x - line, at.y - line, at.x + cell.right - cell.left + line, at.y + cell.bottom - cell.top + line};
    RECT both{};
    ::IntersectRect(&both, &allowed, &yellow);
    EXPECT_TRUE(::EqualRect(&both, &yellow)) << when << ": the box shows at " << yellow.left << "," << yellow.top
                                             << " over row " << form.SelectedRow() << " of " << grid.RowCount();
    EXPECT_TRUE(form.ProgYN->Visible()) << when;
}

}  // namespace

// The "Programmed" box of the special-bits dialog is a check box laid over
// one cell: it never stays over empty grid space or over another cell when
// the dialog comes back for another category or in another language.
TEST(SpecialBitsBoxOnScreen, ShowsOnlyOverTheCellItEdits)
{
    tk::ScriptedMessages messages([](const tk::MessageRequest& r) { ADD_FAILURE() << "message box: " << r.text; });
    tk::App().Reset();
    SetProgramFilePath(ProgramBesideTests());
    TSBForm* form = tk::Create<TSBForm>(tk::App());
    const std::vector<std::string> eight{"CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", "SUT0", "SUT1", "BODEN", "BODLEVEL"};
    form->Fill("Fuse Bits", "ATDEMO8", eight, std::vector<std::uint8_t>(8, 1));
    form->Show();
    screen::PumpPaints();
    ClickCell(*form->SpecBitsGrid, 2, 7);
    ASSERT_TRUE(form->ProgYN->Visible());
    ExpectBoxOnlyOverItsCell(*form, "after the click", true);
    form->Hide();

    // Another category with two bits.
    form->Fill("Lock Bits", "ATDEMO8", {"LB1", "LB2"}, {0, 1});
    form->Show();
    screen::PumpPaints();
    ExpectBoxOnlyOverItsCell(*form, "another category");
    ClickCell(*form->SpecBitsGrid, 2, 2);
    ExpectBoxOnlyOverItsCell(*form, "a click in the other category", true);
    form->Hide();

    // A language switch while the dialog is away, then the dialog again.
    ASSERT_NE(LoadLanguageModule(1036), nullptr);
    form->ReloadDescription();
    form->Fill("Fuse Bits", "ATDEMO8", eight, std::vector<std::uint8_t>(8, 0));
    form->Show();
    screen::PumpPaints();
    ExpectBoxOnlyOverItsCell(*form, "after a language switch");
    ClickCell(*form->SpecBitsGrid, 2, 3);
    ExpectBoxOnlyOverItsCell(*form, "a click after the switch", true);
    // A switch while the box shows.
    form->ReloadDescription();
    screen::PumpPaints();
    ExpectBoxOnlyOverItsCell(*form, "a switch while the box shows");
    form->Hide();

    tk::Free(form);
    tk::UseMainResources();
    tk::App().Reset();
}
