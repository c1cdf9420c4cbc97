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
