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
