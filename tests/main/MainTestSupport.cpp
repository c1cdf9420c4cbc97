// Shared fixture of the main-window tests.
#include "MainTestSupport.h"

#include <algorithm>

#include "programmer/PortLibrary.h"
#include "toolkit/Canvas.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"
#include "tests/support/HookShutdown.h"
#include "toolkit/Resources.h"

void PumpMessages()
{
    MSG msg;
    for (int i = 0; i < 1000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT)
            break;
        tk::App().ProcessMessage(msg);
    }
}

std::string Text(unsigned id) { return tk::LoadStr(id); }

std::string Text(unsigned id, std::initializer_list<tk::FormatArg> args) { return tk::FmtLoadStr(id, args); }

tk::Bitmap Face(TToolbarButton& button)
{
    tk::Bitmap out = tk::Bitmap::CreateDIB(button.Width(), button.Height());
    button.Paint(out.GetCanvas());
    ::GdiFlush();
    return out;
}

std::uint32_t Px(const tk::Bitmap& dib, int x, int y) { return dib.Bits()[y * dib.Width() + x] & 0xFFFFFF; }

bool FaceShowsPicture(TToolbarButton& button, HINSTANCE module, const std::string& name)
{
    tk::Bitmap resource;
    if (!resource.LoadFromResourceName(module, name))
        return false;
    tk::Bitmap picture = tk::Bitmap::CreateDIB(resource.Width(), resource.Height());
    ::BitBlt(picture.DC(), 0, 0, resource.Width(), resource.Height(), resource.DC(), 0, 0, SRCCOPY);
    ::GdiFlush();
    const std::uint32_t ground = Px(picture, 0, picture.Height() - 1);
    const tk::Bitmap face = Face(button);
    for (int dy = 0; dy + picture.Height() <= face.Height(); ++dy) {
        for (int dx = 0; dx + picture.Width() <= face.Width(); ++dx) {
            bool whole = true;
            for (int y = 0; whole && y < picture.Height(); ++y)
                for (int x = 0; whole && x < picture.Width(); ++x)
                    whole = Px(picture, x, y) == ground || Px(picture, x, y) == Px(face, dx + x, dy + y);
            if (whole)
                return true;
        }
    }
    return false;
}

namespace {

// The width of the caption's dark pixels on the face, 0 without any.
int CaptionInkWidth(TToolbarButton& button)
{
    const COLORREF text = tk::ColorToRGB(tk::clBtnText);
    const std::uint32_t ink = (GetRValue(text) << 16) | (GetGValue(text) << 8) | GetBValue(text);
    const tk::Bitmap face = Face(button);
    int left = face.Width();
    int right = -1;
    for (int y = 0; y < face.Height(); ++y) {
        for (int x = 0; x < face.Width(); ++x) {
            if (Px(face, x, y) == ink) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return right < 0 ? 0 : right - left + 1;
}

}  // namespace

CaptionInk CaptionOnFace(TToolbarButton& button)
{
    CaptionInk found;
    found.shown = CaptionInkWidth(button);
    const int width = button.Width();
    button.SetWidth(width + 60);
    found.whole = CaptionInkWidth(button);
    button.SetWidth(width);
    return found;
}

MainFormFixture::MainFormFixture()
    : configEnv_("ZP_PORTLIB_CONFIG", scratch_.File("ZeltoProgBasic.cfg")),
      messages_([](const tk::MessageRequest& request) { ADD_FAILURE() << "unexpected message box: " << request.text; })
{
    ResetMainUnit();
    tk::App().Reset();
}

MainFormFixture::~MainFormFixture()
{
    DestroyMainForm();
    tk::App().Reset();
    // The buttons of every main window made here took their hooks with them:
    // a test program that makes hundreds of windows holds none at the end.
    for (THookKind kind : {hkCallWndProc, hkCbt, hkGetMessage})
        EXPECT_EQ(HookKindState(kind).handle, nullptr) << "hook kind " << static_cast<int>(kind) << " left behind";
    ResetMainUnit();
    ZpSetCommandMode(0);
}

void MainFormFixture::Configure(const std::string& config)
{
    ASSERT_TRUE(WriteTextFile(scratch_.File("ZeltoProgBasic.cfg"), config + "TRACE=1\n"));
    ::DeleteFileA(scratch_.File("ZeltoProgBasic.trace").c_str());
}

TMainForm& MainFormFixture::CreateMainForm(const std::string& config, bool commandMode)
{
    Configure(config);
    ZpSetCommandMode(commandMode ? 1 : 0);
    // The trace starts with what the window itself asks.
    ::DeleteFileA(scratch_.File("ZeltoProgBasic.trace").c_str());
    form_ = tk::App().CreateForm<TMainForm>(driver_.System());
    return *form_;
}

void MainFormFixture::DestroyMainForm()
{
    if (form_) {
        tk::Free(form_);
        form_ = nullptr;
    }
}

std::vector<std::string> MainFormFixture::PortLibraryTrace() const
{
    return ReadLines(scratch_.File("ZeltoProgBasic.trace"));
}
