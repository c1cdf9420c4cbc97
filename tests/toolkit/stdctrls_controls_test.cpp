// Standard controls driven by messages: check boxes and edits fire their
// handlers exactly when scripts rely on them, buttons hand back modal
// results, owner-drawn faces and panels checked on 32-bit DIB sections, and
// every control class is creatable by its description class name.
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Grids.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Streaming.h"

#include "controls_support.h"
#include "tests/support/ScreenPixels.h"

using namespace tk;
using ctltest::Pump;

TEST(CheckBoxControl, CodeAndClicksRunOnClickOnlyOnAChange) {
    ctltest::TestForm host;
    auto* box = host.Add<CheckBox>();
    int clicks = 0;
    box->OnClick = [&](Component* sender) {
        EXPECT_EQ(sender, box);
        ++clicks;
    };
    HWND h = box->Handle();
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(::SendMessageA(h, BM_GETCHECK, 0, 0), BST_CHECKED);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box->SetChecked(false);
    EXPECT_EQ(clicks, 2);

    // A user's click toggles and reports once (not once more for the mouse).
    ::SendMessageA(h, BM_CLICK, 0, 0);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(::SendMessageA(h, BM_GETCHECK, 0, 0), BST_CHECKED);

    // Applying a description changes the mark silently.
    box->SetStateFlag(csReading, true);
    box->SetChecked(false);
    box->SetStateFlag(csReading, false);
    EXPECT_EQ(clicks, 3);
    EXPECT_FALSE(box->Checked());
}

TEST(EditControl, OnChangeRunsOnlyWhenTheTextDiffers) {
    ctltest::TestForm host;
    auto* edit = host.Add<Edit>();
    std::vector<std::string> seen;
    edit->OnChange = [&](Component*) { seen.push_back(edit->Text()); };
    HWND h = edit->Handle();
    edit->SetText("12");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "12");
    edit->SetText("12");
    EXPECT_EQ(seen.size(), 1u);
    ::SendMessageA(h, EM_SETSEL, 2, 2);
    ::SendMessageA(h, WM_CHAR, '3', 0);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], "123");
    EXPECT_EQ(edit->Text(), "123");
    // The typed text is what code reads and compares against next.
    edit->SetText("123");
    EXPECT_EQ(seen.size(), 2u);

    edit->SetStateFlag(csReading, true);
    edit->SetText("0");
    edit->SetStateFlag(csReading, false);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(edit->Text(), "0");

    edit->SetReadOnly(true);
    EXPECT_TRUE(::GetWindowLongA(h, GWL_STYLE) & ES_READONLY);
}

TEST(EditControl, KeyPressShowsACharacterTheCodePageLacksAsAQuestionMark) {
    // Not as a look-alike ("s", "O"): a handler that lets letters through
    // would take the cedilla s for a plain s.
    ctltest::TestForm host;
    auto* edit = host.Add<Edit>();
    std::string seen;
    edit->OnKeyPress = [&](Component*, char& key) { seen += key; };
    for (wchar_t typed : {L'\x015F', L'\x03A9', L's'}) ::SendMessageW(edit->Handle(), WM_CHAR, typed, 0);
    EXPECT_EQ(seen, "??s");
}

TEST(EditControl, ColourIsPaintedBehindTheText) {
    ctltest::TestForm host;
    auto* edit = host.Add<Edit>();
    edit->SetColor(clYellow);
    HWND h = edit->Handle();
    HDC dc = ::GetDC(h);
    auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageA(host.host->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)));
    LOGBRUSH lb{};
    ::GetObjectA(brush, sizeof lb, &lb);
    ::ReleaseDC(h, dc);
    EXPECT_EQ(lb.lbColor, RGB(255, 255, 0));
}

TEST(ButtonControl, ClickSetsTheModalResultOnceAndRunsOnClickOnce) {
    ctltest::TestForm host;
    auto* ok = host.Add<Button>();
    ok->SetModalResult(mrOk);
    int clicks = 0;
    ok->OnClick = [&](Component*) {
        EXPECT_EQ(host.form->GetModalResult(), mrOk);
        ++clicks;
    };
    ::SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(host.form->GetModalResult(), mrOk);
}

TEST(BitBtnControl, KindsSupplyCaptionRoleAndAGlyphDrawnOnTheFace) {
    ctltest::TestForm host;
    auto* btn = host.Add<BitBtn>();
    btn->SetKind(bkOK);
    EXPECT_EQ(btn->Caption(), "OK");
    EXPECT_TRUE(btn->IsDefault());
    EXPECT_EQ(btn->GetModalResult(), mrOk);
    auto* cancel = host.Add<BitBtn>();
    cancel->SetKind(bkCancel);
    EXPECT_TRUE(cancel->IsCancel());
    EXPECT_EQ(cancel->GetModalResult(), mrCancel);

    Bitmap face = Bitmap::CreateDIB(btn->Width(), btn->Height());
    btn->PaintFace(face.GetCanvas(), false, false);
    int green = 0;
    for (int y = 0; y < face.Height(); ++y)
        for (int x = 0; x < face.Width(); ++x)
            if (ctltest::Px(face, x, y) == 0x008000u) ++green;
    EXPECT_GT(green, 5);  // the tick
    EXPECT_EQ(ctltest::Px(face, btn->Width() / 2, 3), ctltest::Dib(clBtnFace));
    // The transparent ground of the glyph never reaches the face.
    for (int y = 0; y < face.Height(); ++y)
        for (int x = 0; x < face.Width(); ++x) ASSERT_NE(ctltest::Px(face, x, y), 0xFF00FFu);

    // A custom glyph strip: the second image is used when disabled.
    Bitmap strip = Bitmap::CreateDIB(8, 4);
    strip.GetCanvas().brush.color = clRed;
    strip.GetCanvas().FillRect({0, 0, 4, 4});
    strip.GetCanvas().brush.color = clBlue;
    strip.GetCanvas().FillRect({4, 0, 8, 4});
    strip.GetCanvas().SetPixel(0, 3, clLime);  // transparent key
    btn->SetGlyph(strip);
    btn->SetNumGlyphs(2);
    btn->SetEnabled(false);
    btn->PaintFace(face.GetCanvas(), false, false);
    int blue = 0, red = 0;
    for (int y = 0; y < face.Height(); ++y)
        for (int x = 0; x < face.Width(); ++x) {
            blue += ctltest::Px(face, x, y) == 0x0000FFu;
            red += ctltest::Px(face, x, y) == 0xFF0000u;
        }
    EXPECT_GT(blue, 0);
    EXPECT_EQ(red, 0);
}

TEST(PanelControl, PaintsBevelsAndColourThroughPrintClient) {
    ctltest::TestForm host;
    auto* panel = host.Add<Panel>();
    panel->SetBounds(10, 10, 60, 40);
    panel->SetColor(clTeal);
    panel->SetBevelOuter(bvRaised);
    Bitmap shot = ctltest::PrintClient(panel->Handle());
    EXPECT_EQ(ctltest::Px(shot, 0, 0), ctltest::Dib(clBtnHighlight));
    EXPECT_EQ(ctltest::Px(shot, 59, 39), ctltest::Dib(clBtnShadow));
    EXPECT_EQ(ctltest::Px(shot, 30, 20), ctltest::Dib(clTeal));
    panel->SetBevelOuter(bvLowered);
    shot = ctltest::PrintClient(panel->Handle());
    EXPECT_EQ(ctltest::Px(shot, 0, 0), ctltest::Dib(clBtnShadow));
    // Aligned children sit inside the bevel.
    auto* inner = Create<Panel>(*host.form);
    inner->SetParent(panel);
    inner->SetAlign(alClient);
    EXPECT_EQ(inner->Left(), 1);
    EXPECT_EQ(inner->Width(), 58);
}

TEST(SplitterControl, DraggingResizesTheNeighbourOnItsSide) {
    ctltest::TestForm host;
    auto* left = host.Add<Panel>();
    left->SetAlign(alLeft);
    left->SetWidth(100);
    auto* split = host.Add<Splitter>();
    split->SetAlign(alLeft);
    split->SetLeft(150);
    auto* rest = host.Add<Panel>();
    rest->SetAlign(alClient);
    ASSERT_EQ(split->Left(), 100);
    EXPECT_EQ(split->FindControl(), left);
    int moved = 0;
    split->OnMoved = [&](Component*) { ++moved; };
    HWND parent = host.host->Handle();
    const int y = 20;
    ::SendMessageA(parent, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(101, y));
    ::SendMessageA(parent, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(131, y));
    EXPECT_EQ(left->Width(), 130);
    ::SendMessageA(parent, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, y));
    EXPECT_EQ(left->Width(), split->MinSize());
    ::SendMessageA(parent, WM_LBUTTONUP, 0, MAKELPARAM(61, y));
    EXPECT_EQ(left->Width(), 60);
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(split->Left(), 60);
    EXPECT_EQ(rest->Left(), 63);
}

TEST(Registration, EveryControlClassIsCreatableByItsDescriptionName) {
    for (const char* name : {"TPanel", "TLabel", "TButton", "TBitBtn", "TCheckBox", "TRadioButton", "TEdit",
                             "TGroupBox", "TSplitter", "TStatusBar", "TProgressBar", "TRichEdit", "TMainMenu",
                             "TPopupMenu", "TMenuItem", "TActionList", "TAction", "TImageList", "TTimer",
                             "TOpenDialog", "TSaveDialog", "TStringGrid", "TBevel", "TImage", "TRadioGroup"}) {
        std::unique_ptr<Component> made = ClassRegistry::Instance().Create(name);
        ASSERT_NE(made, nullptr) << name;
        EXPECT_EQ(made->ClassName(), name);
    }
}

namespace {

class DescribedForm : public Form {
public:
    DescribedForm() {
        BindHandler("BoxClick", &DescribedForm::BoxClick);
        BindHandler("EditChange", &DescribedForm::EditChange);
        BindHandler("GridSelect", &DescribedForm::GridSelect);
    }
    void BoxClick(Component*) { log.push_back("click"); }
    void EditChange(Component*) { log.push_back("change"); }
    void GridSelect(Component*, int, int, bool&) { log.push_back("select"); }
    std::vector<std::string> log;
};

const ClassRegistration<DescribedForm> kDescribedFormReg("TDescribedForm", "TForm");

}  // namespace

TEST(Registration, DescriptionsSetPropertiesWithoutRunningHandlers) {
    DescribedForm form;
    ReadComponent(form, R"(object DescribedForm: TDescribedForm
  object Box: TCheckBox
    Left = 8
    Caption = 'Flash Buffer'
    Checked = True
    OnClick = BoxClick
  end
  object Value: TEdit
    Text = 'FF'
    OnChange = EditChange
  end
  object Grid: TStringGrid
    ColCount = 17
    RowCount = 2
    DefaultColWidth = 16
    Options = [goFixedVertLine, goFixedHorzLine, goColSizing, goAlwaysShowEditor, goThumbTracking]
    ColWidths = (
      28
      17)
    FixedColor = clBtnFace
    OnSelectCell = GridSelect
  end
  object Bar: TStatusBar
    Panels = <
      item
        Text = 'No Device.'
        Width = 75
      end
      item
        Width = 410
      end>
  end
end
)",
                  ReadMode::Create);
    EXPECT_TRUE(form.log.empty());
    auto* box = form.Find<CheckBox>("Box");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->Checked());
    box->SetChecked(false);
    auto* value = form.Find<Edit>("Value");
    value->SetText("1F");
    EXPECT_EQ(form.log, (std::vector<std::string>{"click", "change"}));
    auto* grid = form.Find<StringGrid>("Grid");
    EXPECT_EQ(grid->ColWidths(0), 28);
    EXPECT_EQ(grid->ColWidths(1), 17);
    EXPECT_EQ(grid->ColWidths(2), 16);
    EXPECT_TRUE(grid->Options() & goAlwaysShowEditor);
    EXPECT_FALSE(grid->Options() & goEditing);
    auto* bar = form.Find<StatusBar>("Bar");
    ASSERT_EQ(bar->Panels().Count(), 2u);
    EXPECT_EQ(bar->Panels()[0].Text(), "No Device.");
    EXPECT_EQ(bar->Panels()[1].Width(), 410);
}

// On the display itself: a windowless label laid on a system-class window
// is drawn over its face, also when only that window repaints.
TEST(ContainersOnScreen, WindowlessControlsOnASystemWindowShow) {
    ctltest::TestForm host;
    auto* button = host.Add<Button>();
    button->SetBounds(20, 10, 120, 60);
    auto* label = Create<Label>(*host.form);
    label->SetCaption("MHz");
    label->SetParent(button);
    label->SetBounds(40, 20, 40, 16);
    for (int round = 0; round < 2; ++round) {
        screen::MarkScreen();
        ::InvalidateRect(round ? button->Handle() : host.form->Handle(), nullptr, TRUE);
        screen::PumpPaints();
        const screen::Pixels face = screen::Read(screen::ClientOnScreen(button->Handle()));
        EXPECT_EQ(screen::FindUnpainted(face), "");
        EXPECT_GT(screen::InkIn(face, RECT{40, 20, 80, 36}), 0) << "round " << round;
    }
}

// A control's underlined letter works it from the keyboard as in the
// system's dialogs: with Alt from anywhere, alone only where the focus is not
// in a control that takes text.
TEST(Mnemonics, AltLetterOrALetterOffTextInputWorksTheControl) {
    ctltest::TestForm host;
    auto* close = host.Add<Button>();
    close->SetCaption("&Close");
    close->SetBounds(10, 10, 80, 25);
    auto* read = host.Add<CheckBox>();
    read->SetCaption("&Read");
    read->SetBounds(10, 40, 80, 17);
    auto* edit = host.Add<Edit>();
    edit->SetBounds(10, 60, 80, 21);
    int clicks = 0;
    close->OnClick = [&](Component*) { ++clicks; };
    const auto type = [](WinControl* focus, UINT down, WORD key, LPARAM flags) {
        focus->SetFocus();
        ::PostMessageW(focus->Handle(), down, key, 1 | flags);
        ::PostMessageW(focus->Handle(), down + 1, key, 0xC0000001 | flags);
        for (int i = 0; i < 5; ++i) App().ProcessMessages();
    };
    type(edit, WM_SYSKEYDOWN, 'C', 1 << 29);
    EXPECT_EQ(clicks, 1) << "Alt+C from the edit";
    type(close, WM_KEYDOWN, 'R', 0);
    EXPECT_TRUE(read->Checked()) << "R on the focused button";
    EXPECT_EQ(::GetFocus(), read->Handle());
    type(edit, WM_KEYDOWN, 'C', 0);
    EXPECT_EQ(clicks, 1) << "C typed into the edit";
    EXPECT_EQ(edit->Text(), "c");
}
