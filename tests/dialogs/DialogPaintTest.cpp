// The dialogs as the display shows them: every pixel painted and every label
// and group caption visible in every language, disabled edits that look
// disabled, and the special-bits box only ever over the cell it edits.
#include "MainTestSupport.h"
#include "tests/support/ScreenPixels.h"

#include "programmer/About.h"
#include "programmer/Clone.h"
#include "programmer/FillBuffers.h"
#include "programmer/LanguageModules.h"
#include "programmer/PlugIns.h"
#include "programmer/SpecialBits.h"
#include "programmer/Sysinfo.h"
#include "toolkit/Canvas.h"
#include "toolkit/Resources.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Language {
    const char* name;
    LCID locale;
};
const Language kLanguages[] = {{"English", 1033}, {"French", 1036}, {"Italian", 1040}, {"Romanian", 24}};

std::uint32_t Rgb(tk::Color c)
{
    const COLORREF v = tk::ColorToRGB(c);
    return (GetRValue(v) << 16) | (GetGValue(v) << 8) | GetBValue(v);
}

class OnScreen : public ::testing::Test {
protected:
    OnScreen() : messages_([](const tk::MessageRequest& r) { ADD_FAILURE() << "message box: " << r.text; })
    {
        tk::App().Reset();
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        const std::string path = self;
        SetProgramFilePath(path.substr(0, path.find_last_of('\\') + 1) + "ZeltoPrg.exe");
    }
    ~OnScreen() override
    {
        tk::UseMainResources();
        tk::App().Reset();
    }
    tk::ScriptedMessages messages_;
};

// Pixels of ink that a text leaves drawn with nothing around it to cut it.
int UncutInk(const tk::Font& font, const std::string& text)
{
    tk::Bitmap dib = tk::Bitmap::CreateDIB(1200, 48);
    std::fill(dib.Bits(), dib.Bits() + dib.Width() * dib.Height(), 0xFFFFFFu);
    tk::Canvas& canvas = dib.GetCanvas();
    canvas.font = font;
    canvas.font.color = tk::clBlack;
    canvas.brush.style = tk::BrushStyle::Clear;
    RECT r{8, 8, dib.Width(), dib.Height()};
    canvas.DrawText(r, text, DT_LEFT | DT_EXPANDTABS | DT_NOCLIP);
    ::GdiFlush();
    return static_cast<int>(std::count_if(dib.Bits(), dib.Bits() + dib.Width() * dib.Height(),
                                          [](std::uint32_t p) { return (p & 0xFFFFFFu) != 0xFFFFFFu; }));
}

// Shows the form and checks its client area as the display shows it.
void ExpectWhollyPainted(tk::Form& form, const std::string& what)
{
    screen::MarkScreen();
    form.Show();
    screen::PumpPaints();
    const RECT client = screen::ClientOnScreen(form.Handle());
    const screen::Pixels pixels = screen::Read(client);
    EXPECT_EQ(screen::FindUnpainted(pixels), "") << what;
    std::vector<tk::Control*> all{&form};
    for (std::size_t i = 0; i < all.size(); ++i)
        if (auto* parent = dynamic_cast<tk::WinControl*>(all[i]))
            all.insert(all.end(), parent->Children().begin(), parent->Children().end());
    for (tk::Control* c : all) {
        const bool group = dynamic_cast<tk::GroupBox*>(c) != nullptr;
        if ((!group && !dynamic_cast<tk::Label*>(c)) || !c->Showing() || c->Caption().empty())
            continue;
        const POINT at = c->Parent()->ClientToScreen(POINT{c->Left(), c->Top()});
        const int height = group ? std::abs(c->GetFont().height) + 4 : c->Height();  // a group's text: its top strip
        const RECT r{at.x - client.left, at.y - client.top, at.x - client.left + c->Width(), at.y - client.top + height};
        EXPECT_GT(screen::InkIn(pixels, r), 0) << what << ": " << c->Name() << " '" << c->Caption() << "' shows nothing";
        // A label longer than the box it lies in is cut at the box's edge,
        // and one narrower than its text cuts its last letters.
        auto* label = dynamic_cast<tk::Label*>(c);
        if (label && !label->WordWrap()) {
            EXPECT_GE(screen::InkIn(pixels, r), UncutInk(c->GetFont(), c->Caption()))
                << what << ": " << c->Name() << " '" << c->Caption() << "' is cut";
        }
        if (!group) {
            EXPECT_LE(c->Left() + c->Width(), c->Parent()->ClientWidth())
                << what << ": " << c->Name() << " '" << c->Caption() << "' runs out of its box";
        }
    }
    form.Hide();
}

template <class T>
void Check(const std::string& what, void (*prepare)(T&) = nullptr)
{
    T* form = tk::Create<T>(tk::App());
    if (prepare)
        prepare(*form);
    ExpectWhollyPainted(*form, what);
    tk::Free(form);
}

}  // namespace

TEST_F(OnScreen, EveryDialogPaintsEveryPixelAndShowsEveryTextInEveryLanguage)
{
    for (const Language& language : kLanguages) {
        if (language.locale != 1033) {
            ASSERT_NE(LoadLanguageModule(language.locale), nullptr) << language.name;
        }
        const std::string in = std::string(" in ") + language.name;
        Check<TFillForm>("Fill Buffer" + in);
        Check<TSystemInfo>("System Info" + in);
        Check<TSBForm>("Special Bits" + in, [](TSBForm& f) {
            // More bits than rows in sight: the vertical scroll bar shows, and the
            // Programmed column still lies wholly beside it.
            f.Fill("Fuse Bits", "ATDEMO", std::vector<std::string>(16, "CKSEL0"), std::vector<std::uint8_t>(16, 1));
            f.SpecBitsGrid->HandleNeeded();
            EXPECT_LE(f.SpecBitsGrid->CellRect(2, 1).right, f.SpecBitsGrid->ClientWidth());
        });
        Check<TCloneForm>("Cloning Options" + in);
        Check<TPlugInForm>("Plug-Ins" + in);
        Check<TAboutBox>("About" + in);
    }
}

// Fill Buffer greys the Flash edits for an EEPROM-only device.
TEST_F(OnScreen, DisabledEditsShowTheButtonFaceBehindTheirText)
{
    TFillForm* form = tk::Create<TFillForm>(tk::App());
    form->EdtFStartAdd->SetEnabled(false);
    form->Show();
    screen::PumpPaints();
    const screen::Pixels disabled = screen::Read(screen::ClientOnScreen(form->EdtFStartAdd->Handle()));
    const screen::Pixels enabled = screen::Read(screen::ClientOnScreen(form->EdtEStartAdd->Handle()));
    form->Hide();
    tk::Free(form);
    EXPECT_EQ(disabled.At(disabled.width / 2, disabled.height / 2), Rgb(tk::clBtnFace));
    EXPECT_EQ(enabled.At(enabled.width / 2, enabled.height / 2), Rgb(tk::clWindow));
}

namespace {

void ClickCell(tk::StringGrid& grid, int col, int row)
{
    const RECT cell = grid.CellRect(col, row);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    ::SendMessageA(grid.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(grid.Handle(), WM_LBUTTONUP, 0, at);
    screen::PumpPaints();
}

// The yellow box shows inside the "Programmed" cell of the row it edits (and
// shows there at all when it must), never elsewhere.
void ExpectBoxOnlyOverItsCell(TSBForm& form, const std::string& when, bool mustShow = false)
{
    const RECT client = screen::ClientOnScreen(form.Handle());
    const screen::Pixels p = screen::Read(client);
    tk::StringGrid& grid = *form.SpecBitsGrid;
    const RECT cell = grid.CellRect(2, form.SelectedRow());
    const POINT at = form.ScreenToClient(grid.ClientToScreen(POINT{cell.left, cell.top}));
    const int line = grid.GridLineWidth();
    const RECT allowed{at.x - line, at.y - line, at.x + cell.right - cell.left + line, at.y + cell.bottom - cell.top + line};
    int inside = 0, outside = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.At(x, y) == Rgb(tk::clYellow))
                ++(::PtInRect(&allowed, POINT{x, y}) && form.SelectedRow() < grid.RowCount() ? inside : outside);
    EXPECT_EQ(outside, 0) << when << ": the box shows away from row " << form.SelectedRow();
    EXPECT_TRUE(!mustShow || inside > 0) << when << ": the box does not show";
}

}  // namespace

TEST_F(OnScreen, TheSpecialBitsBoxShowsOnlyOverTheCellItEdits)
{
    TSBForm* form = tk::Create<TSBForm>(tk::App());
    const std::vector<std::string> eight{"CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", "SUT0", "SUT1", "BODEN", "BODLEVEL"};
    form->Fill("Fuse Bits", "ATDEMO8", eight, std::vector<std::uint8_t>(8, 1));
    form->Show();
    screen::PumpPaints();
    ClickCell(*form->SpecBitsGrid, 2, 7);
    ExpectBoxOnlyOverItsCell(*form, "after a click", true);
    form->Hide();
    // Another category, with two bits: row 7 is no more.
    form->Fill("Lock Bits", "ATDEMO8", {"LB1", "LB2"}, {0, 1});
    form->Show();
    screen::PumpPaints();
    ExpectBoxOnlyOverItsCell(*form, "another category");
    ClickCell(*form->SpecBitsGrid, 2, 2);
    form->Hide();
    // A language switch while the dialog is away puts the box back at its
    // stored place, over another cell.
    ASSERT_NE(LoadLanguageModule(1036), nullptr);
    form->ReloadDescription();
    form->Fill("Fuse Bits", "ATDEMO8", eight, std::vector<std::uint8_t>(8, 0));
    form->Show();
    screen::PumpPaints();
    ExpectBoxOnlyOverItsCell(*form, "after a language switch");
    ClickCell(*form->SpecBitsGrid, 2, 3);
    ExpectBoxOnlyOverItsCell(*form, "a click after the switch", true);
    form->Hide();
    tk::Free(form);
}
