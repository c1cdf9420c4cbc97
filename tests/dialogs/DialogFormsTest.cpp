// The three dialogs on their own: the Fill Buffer dialog's check boxes, the
// special-bits grid with its Yes/No box, and the Cloning Options dialog's
// validation of every edit against the memory sizes of the main window.
#include "MainTestSupport.h"
#include "programmer/Clone.h"
#include "programmer/FillBuffers.h"
#include "programmer/SpecialBits.h"
#include "resources/StringIds.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/StdCtrls.h"

#include <gtest/gtest.h>

namespace {

// A dialog owned by the application for the length of a test.
template <class T>
class OwnedForm {
public:
    OwnedForm() : form_(tk::Create<T>(tk::App())) {}
    ~OwnedForm() { tk::Free(form_); }
    OwnedForm(const OwnedForm&) = delete;
    OwnedForm& operator=(const OwnedForm&) = delete;
    T* operator->() const { return form_; }
    T& operator*() const { return *form_; }

private:
    T* form_;
};

class DialogTest : public ::testing::Test {
protected:
    DialogTest()
        : messages_([](const tk::MessageRequest& r) { ADD_FAILURE() << "unexpected message box: " << r.text; })
    {
        tk::App().Reset();
    }
    ~DialogTest() override { tk::App().Reset(); }

    tk::ScriptedMessages messages_;
};

}  // namespace

// --- Fill Buffer -------------------------------------------------------------------

using FillDialog = DialogTest;

TEST_F(FillDialog, StartsWithBothPartsCheckedAndEmptyEdits)
{
    OwnedForm<TFillForm> form;
    EXPECT_EQ(form->Caption(), "Fill Buffer");
    EXPECT_EQ(FillForm(), &*form);
    EXPECT_TRUE(form->FB1->Checked());
    EXPECT_TRUE(form->FB2->Checked());
    EXPECT_FALSE(form->CB2->Checked());
    EXPECT_FALSE(form->CB1->Checked());
    EXPECT_EQ(form->FB1->Caption(), "Flash Buffer");
    EXPECT_EQ(form->FB2->Caption(), "EEPROM Buffer");
    EXPECT_EQ(form->CB2->Caption(), "Fill All Buffer");
    EXPECT_EQ(form->LblFHex->Caption(), "All values must be in HEX");
    for (tk::Edit* e : {form->EdtFStartAdd, form->EdtFEndAdd, form->EdtFFillValue, form->EdtEStartAdd,
                        form->EdtEEndAdd, form->EdtEFillValue})
        EXPECT_EQ(e->Text(), "");
    EXPECT_TRUE(form->FB1->GetFont().style & tk::fsBold);
    EXPECT_EQ(form->GetBorderIcons(), 0u);
    EXPECT_EQ(form->GetFormStyle(), tk::fsStayOnTop);
    EXPECT_EQ(form->Position(), tk::poScreenCenter);
    EXPECT_TRUE(form->BtnOK->IsDefault());
    EXPECT_EQ(form->BtnOK->GetModalResult(), tk::mrOk);
    EXPECT_TRUE(form->BtnCancel->IsCancel());
    EXPECT_EQ(form->BtnCancel->GetModalResult(), tk::mrCancel);
}

TEST_F(FillDialog, FillAllBufferGreysTheRangeOfItsOwnPartOnly)
{
    OwnedForm<TFillForm> form;
    form->CB2->SetChecked(true);
    EXPECT_FALSE(form->EdtFStartAdd->Enabled());
    EXPECT_FALSE(form->EdtFEndAdd->Enabled());
    EXPECT_FALSE(form->LblFStartAdd->Enabled());
    EXPECT_FALSE(form->LblFEndAdd->Enabled());
    EXPECT_TRUE(form->EdtFFillValue->Enabled());
    EXPECT_TRUE(form->EdtEStartAdd->Enabled());
    form->CB2->SetChecked(false);
    EXPECT_TRUE(form->EdtFStartAdd->Enabled());
    EXPECT_TRUE(form->LblFEndAdd->Enabled());

    form->CB1->SetChecked(true);
    EXPECT_FALSE(form->EdtEStartAdd->Enabled());
    EXPECT_FALSE(form->LblEEndAdd->Enabled());
    EXPECT_TRUE(form->EdtFStartAdd->Enabled());
}

TEST_F(FillDialog, UncheckingAPartGreysItAndKeepsFillAllsCheckMark)
{
    OwnedForm<TFillForm> form;
    form->CB2->SetChecked(true);
    form->FB1->SetChecked(false);
    EXPECT_FALSE(form->CB2->Enabled());
    EXPECT_TRUE(form->CB2->Checked());
    for (tk::Control* c : {static_cast<tk::Control*>(form->EdtFStartAdd), static_cast<tk::Control*>(form->EdtFEndAdd),
                           static_cast<tk::Control*>(form->EdtFFillValue), static_cast<tk::Control*>(form->LblFStartAdd),
                           static_cast<tk::Control*>(form->LblFEndAdd), static_cast<tk::Control*>(form->LblFFillValue),
                           static_cast<tk::Control*>(form->LblFHex)})
        EXPECT_FALSE(c->Enabled()) << c->Name();
    // The EEPROM part is untouched.
    EXPECT_TRUE(form->CB1->Enabled());
    EXPECT_TRUE(form->EdtEFillValue->Enabled());
}

TEST_F(FillDialog, CheckingAPartAgainUnchecksFillAllAndEnablesEverything)
{
    OwnedForm<TFillForm> form;
    form->CB1->SetChecked(true);
    form->FB2->SetChecked(false);
    form->FB2->SetChecked(true);
    EXPECT_TRUE(form->CB1->Enabled());
    EXPECT_FALSE(form->CB1->Checked());
    for (tk::Control* c : {static_cast<tk::Control*>(form->EdtEStartAdd), static_cast<tk::Control*>(form->EdtEEndAdd),
                           static_cast<tk::Control*>(form->EdtEFillValue), static_cast<tk::Control*>(form->LblEStartAdd),
                           static_cast<tk::Control*>(form->LblEEndAdd), static_cast<tk::Control*>(form->LblEFillValue),
                           static_cast<tk::Control*>(form->LblEHex)})
        EXPECT_TRUE(c->Enabled()) << c->Name();
}

TEST_F(FillDialog, PreparingForAMissingMemoryGreysItsBoxAndKeepsTheCheckMark)
{
    OwnedForm<TFillForm> form;
    form->PrepareFor(true, false);
    EXPECT_TRUE(form->FB1->Enabled());
    EXPECT_EQ(form->FB1->Caption(), "Flash Buffer");
    EXPECT_FALSE(form->FB2->Enabled());
    EXPECT_EQ(form->FB2->Caption(), "No EEPROM data!");
    EXPECT_TRUE(form->FB2->Checked());
    EXPECT_FALSE(form->EdtEStartAdd->Enabled());
    EXPECT_FALSE(form->EdtEFillValue->Enabled());
    form->PrepareFor(false, true);
    EXPECT_EQ(form->FB1->Caption(), "No Flash data!");
    EXPECT_FALSE(form->EdtFEndAdd->Enabled());
    EXPECT_EQ(form->FB2->Caption(), "EEPROM Buffer");
    EXPECT_TRUE(form->EdtEFillValue->Enabled());
}

TEST_F(FillDialog, RequestsCarryTheTextsAndFillAll)
{
    OwnedForm<TFillForm> form;
    form->EdtFStartAdd->SetText("10");
    form->EdtFEndAdd->SetText("1F");
    form->EdtFFillValue->SetText("AA");
    form->CB1->SetChecked(true);
    form->EdtEFillValue->SetText("5");
    const TFillRequest flash = form->FlashRequest();
    EXPECT_FALSE(flash.WholeBuffer);
    EXPECT_EQ(flash.StartText, "10");
    EXPECT_EQ(flash.EndText, "1F");
    EXPECT_EQ(flash.ValueText, "AA");
    const TFillRequest eeprom = form->EEpromRequest();
    EXPECT_TRUE(eeprom.WholeBuffer);
    EXPECT_EQ(eeprom.ValueText, "5");
}

// --- special bits ---------------------------------------------------------------------

using SpecialBitsDialog = DialogTest;

TEST_F(SpecialBitsDialog, RowsShowNumberNameAndYesOrNo)
{
    OwnedForm<TSBForm> form;
    form->Fill("Fuse Bits", "ATDEMO8", {"CKSEL0", "CKSEL1", "BODEN"}, {1, 0, 1});
    EXPECT_EQ(form->Caption(), "Fuse Bits");
    EXPECT_EQ(form->Label1->Caption(), "Read Fuse Bits for ATDEMO8:");
    tk::StringGrid& grid = *form->SpecBitsGrid;
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.Cells(0, 0), "Special Bit #");
    EXPECT_EQ(grid.Cells(1, 0), "Name");
    EXPECT_EQ(grid.Cells(2, 0), "Programmed");
    const char* expected[3][3] = {{"1", "CKSEL0", "Yes"}, {"2", "CKSEL1", "No"}, {"3", "BODEN", "Yes"}};
    for (int row = 1; row <= 3; ++row)
        for (int col = 0; col < 3; ++col)
            EXPECT_EQ(grid.Cells(col, row), expected[row - 1][col]) << col << "," << row;
    EXPECT_EQ(form->BitFromGrid(0), 1);
    EXPECT_EQ(form->BitFromGrid(1), 0);
    EXPECT_EQ(form->BitFromGrid(2), 1);
}

TEST_F(SpecialBitsDialog, GridAsDescribed)
{
    OwnedForm<TSBForm> form;
    tk::StringGrid& grid = *form->SpecBitsGrid;
    EXPECT_EQ(grid.ColWidths(0), 100);
    EXPECT_EQ(grid.ColWidths(1), 160);
    EXPECT_EQ(grid.ColWidths(2), 94);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.FixedCols(), 1);
    EXPECT_EQ(grid.DefaultRowHeight(), 17);
    EXPECT_TRUE(grid.Options() & tk::goEditing);
    EXPECT_TRUE(grid.Options() & tk::goAlwaysShowEditor);
    EXPECT_FALSE(form->ProgYN->Visible());
    EXPECT_EQ(form->ProgYN->Caption(), "Program it!");
    EXPECT_EQ(form->ProgYN->GetColor(), tk::clYellow);
    EXPECT_EQ(form->Label2->Caption(), "Check the bits you want to program and press OK.");
    EXPECT_EQ(form->Label3->Caption(), "Press Cancel to abort programming.");
    EXPECT_EQ(form->BitBtn2->Caption(), "Cancel");
}

TEST_F(SpecialBitsDialog, SelectingTheProgrammedCellLaysTheBoxOverIt)
{
    OwnedForm<TSBForm> form;
    form->Fill("Lock Bits", "ATDEMO8", {"LB1", "LB2"}, {1, 0});
    form->HandleNeeded();  // cells have places once the grid has its window
    tk::StringGrid& grid = *form->SpecBitsGrid;

    bool canSelect = true;
    form->SpecBitsGridSelectCell(&grid, 2, 2, canSelect);
    EXPECT_FALSE(canSelect) << "the grid's selection stays where it was";
    EXPECT_EQ(form->SelectedRow(), 2);
    EXPECT_TRUE(form->ProgYN->Visible());
    EXPECT_FALSE(form->ProgYN->Checked());
    EXPECT_EQ(form->ProgYN->Caption(), "Unprogrammed");
    EXPECT_EQ(grid.Cells(2, 2), "No") << "placing the box changes nothing";

    // The box covers the cell plus one grid line on every side.
    const RECT cell = grid.CellRect(2, 2);
    const int line = grid.GridLineWidth();
    const POINT cellOnForm = form->ScreenToClient(grid.ClientToScreen(POINT{cell.left, cell.top}));
    EXPECT_EQ(form->ProgYN->Left(), cellOnForm.x - line);
    EXPECT_EQ(form->ProgYN->Top(), cellOnForm.y - line);
    EXPECT_EQ(form->ProgYN->Width(), cell.right - cell.left + 2 * line);
    EXPECT_EQ(form->ProgYN->Height(), cell.bottom - cell.top + 2 * line);
    EXPECT_EQ(cell.bottom - cell.top, 17);
    EXPECT_EQ(cell.right - cell.left, 94);

    form->ProgYN->Toggle();
    EXPECT_EQ(grid.Cells(2, 2), "Yes");
    EXPECT_EQ(form->ProgYN->Caption(), "Programmed");
    EXPECT_EQ(form->BitFromGrid(1), 1);

    canSelect = true;
    form->SpecBitsGridSelectCell(&grid, 2, 1, canSelect);
    EXPECT_TRUE(form->ProgYN->Checked());
    EXPECT_EQ(form->ProgYN->Caption(), "Programmed");
    form->ProgYN->Toggle();
    EXPECT_EQ(grid.Cells(2, 1), "No");
    EXPECT_EQ(grid.Cells(2, 2), "Yes") << "only the remembered row changes";
}

TEST_F(SpecialBitsDialog, OtherColumnsHideTheBoxAndSelectNormally)
{
    OwnedForm<TSBForm> form;
    form->Fill("Lock Bits", "ATDEMO8", {"LB1", "LB2"}, {0, 0});
    tk::StringGrid& grid = *form->SpecBitsGrid;
    bool canSelect = true;
    form->SpecBitsGridSelectCell(&grid, 2, 1, canSelect);
    ASSERT_TRUE(form->ProgYN->Visible());
    canSelect = false;
    form->SpecBitsGridSelectCell(&grid, 1, 2, canSelect);
    EXPECT_TRUE(canSelect);
    EXPECT_FALSE(form->ProgYN->Visible());
    EXPECT_EQ(form->SelectedRow(), 2);
}

TEST_F(SpecialBitsDialog, RedrawingTheCoveredCellHidesTheBox)
{
    OwnedForm<TSBForm> form;
    form->Fill("Lock Bits", "ATDEMO8", {"LB1", "LB2", "LB3"}, {0, 0, 0});
    form->HandleNeeded();
    tk::StringGrid& grid = *form->SpecBitsGrid;
    bool canSelect = true;
    form->SpecBitsGridSelectCell(&grid, 2, 2, canSelect);
    ASSERT_TRUE(form->ProgYN->Visible());
    // Another cell far from the box leaves it.
    form->SpecBitsGridDrawCell(&grid, 1, 3, grid.CellRect(1, 3), 0);
    EXPECT_TRUE(form->ProgYN->Visible());
    form->SpecBitsGridDrawCell(&grid, 2, 2, grid.CellRect(2, 2), 0);
    EXPECT_FALSE(form->ProgYN->Visible());
}

TEST_F(SpecialBitsDialog, NoBitsLeaveOneEmptyRowUnderTheHeader)
{
    OwnedForm<TSBForm> form;
    form->Fill("Fuse Bits", "X", {"A", "B"}, {1, 1});
    form->Fill("Extended Bits", "X", {}, {});
    tk::StringGrid& grid = *form->SpecBitsGrid;
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Cells(1, 1), "");
    EXPECT_EQ(grid.Cells(2, 1), "");
    EXPECT_EQ(grid.Cells(2, 0), "Programmed");
}

// --- Cloning Options -----------------------------------------------------------------

class CloneDialog : public MainFormFixture {
protected:
    void SetUp() override
    {
        messages_.Answer(tk::mrOk);  // the port-kind message
        main_ = &CreateMainForm();
        main_->FFlashSize = 256;
        main_->FEEpromSize = 64;
        main_->FFlashSNMsbFirst = 0;
        form_ = tk::Create<TCloneForm>(tk::App());
        messages_.Clear();
    }
    void TearDown() override { tk::Free(form_); }

    // Types a text as a user would and returns the messages it raised.
    std::vector<std::string> Type(tk::Edit* edit, const std::string& text, int boxes = 0)
    {
        messages_.Clear();
        for (int i = 0; i < boxes; ++i)
            messages_.Answer(tk::mrOk);
        edit->SetText(text);
        return messages_.Texts();
    }

    TMainForm* main_ = nullptr;
    TCloneForm* form_ = nullptr;
};

TEST_F(CloneDialog, StartsWithNumberingOffAndGreyEdits)
{
    EXPECT_EQ(CloneForm(), form_);
    EXPECT_EQ(form_->Caption(), "Cloning Options");
    EXPECT_EQ(form_->Panel1->Caption(), "Cloning Options - Serial Numbers");
    EXPECT_FALSE(form_->FCheck->Checked());
    EXPECT_FALSE(form_->ECheck->Checked());
    for (tk::Edit* e : {form_->EdFStartAdd, form_->EdFByte2Fill, form_->EdFStartVal, form_->EdFStep, form_->EdEStartAdd,
                        form_->EdEByte2Fill, form_->EdEStartVal, form_->EdEStep}) {
        EXPECT_FALSE(e->Enabled()) << e->Name();
        EXPECT_EQ(e->GetColor(), tk::clBtnFace) << e->Name();
    }
    EXPECT_EQ(form_->EdFStep->Text(), "1");
    EXPECT_EQ(form_->EdFStartAdd->Text(), "0");
    EXPECT_TRUE(form_->FClones->ReadOnly());
    EXPECT_TRUE(form_->CBFMsb->Checked());
    EXPECT_FALSE(form_->CBFMsb->Enabled());
    // FormCreate puts both byte orders back to MSB first.
    EXPECT_EQ(main_->FFlashSNMsbFirst, 1);
    EXPECT_EQ(main_->FEEpromSNMsbFirst, 1);
    EXPECT_EQ(form_->FlashWork().Increment, 1);
    EXPECT_EQ(form_->FlashWork().StartValue, 0);
}

TEST_F(CloneDialog, CheckingAMemoryEnablesItsEditsWithTheWindowColour)
{
    form_->FCheck->SetChecked(true);
    for (tk::Edit* e : {form_->EdFStartAdd, form_->EdFByte2Fill, form_->EdFStartVal, form_->EdFStep}) {
        EXPECT_TRUE(e->Enabled());
        EXPECT_EQ(e->GetColor(), tk::clWindow);
    }
    EXPECT_TRUE(form_->CBFMsb->Enabled());
    EXPECT_FALSE(form_->EdEStartAdd->Enabled());
    form_->FCheck->SetChecked(false);
    EXPECT_FALSE(form_->EdFStep->Enabled());
    EXPECT_EQ(form_->EdFStep->GetColor(), tk::clBtnFace);
    EXPECT_FALSE(form_->CBFMsb->Enabled());
}

TEST_F(CloneDialog, ByteCountUpToSevenIsAcceptedWhenItFits)
{
    EXPECT_TRUE(Type(form_->EdFByte2Fill, "7").empty());
    EXPECT_EQ(form_->FlashWork().ByteCount, 7);
    EXPECT_EQ(form_->FlashWork().Max, std::int64_t{1} << 56);
    EXPECT_EQ(form_->FClones->Text(), "72057594037927936");
    EXPECT_EQ(main_->FFlashMaxClones, std::int64_t{1} << 56);

    const auto texts = Type(form_->EdFByte2Fill, "8", 1);
    EXPECT_EQ(texts, std::vector<std::string>{Text(S_CLONE_TOO_MANY_BYTES)});
    EXPECT_EQ(form_->EdFByte2Fill->Text(), "0");
    EXPECT_EQ(form_->FlashWork().ByteCount, 0);
    EXPECT_EQ(form_->FClones->Text(), "1");
}

TEST_F(CloneDialog, NegativeByteCountsAreRefused)
{
    const auto texts = Type(form_->EdEByte2Fill, "-1", 1);
    EXPECT_EQ(texts, std::vector<std::string>{Text(S_CLONE_TOO_MANY_BYTES)});
    EXPECT_EQ(form_->EdEByte2Fill->Text(), "0");
    EXPECT_EQ(form_->EEpromWork().ByteCount, 0);
}

TEST_F(CloneDialog, TheLastSerialByteMayBeTheLastByteOfTheMemory)
{
    ASSERT_TRUE(Type(form_->EdFByte2Fill, "2").empty());
    EXPECT_TRUE(Type(form_->EdFStartAdd, "FE").empty());
    EXPECT_EQ(form_->FlashWork().StartAddress, 0xFE);

    const auto texts = Type(form_->EdFStartAdd, "FF", 1);
    EXPECT_EQ(texts, std::vector<std::string>{Text(S_CLONE_START_ADDRESS_TOO_HIGH)});
    EXPECT_EQ(form_->EdFStartAdd->Text(), "0");
    EXPECT_EQ(form_->FlashWork().StartAddress, 0);

    // Growing the count past the end is refused the same way from the other edit.
    ASSERT_TRUE(Type(form_->EdFStartAdd, "FE").empty());
    EXPECT_EQ(Type(form_->EdFByte2Fill, "3", 1), std::vector<std::string>{Text(S_CLONE_TOO_MANY_BYTES)});
    EXPECT_EQ(form_->FlashWork().ByteCount, 0);
}

TEST_F(CloneDialog, EEpromAddressesAreCheckedAgainstTheEEpromSize)
{
    ASSERT_TRUE(Type(form_->EdEByte2Fill, "1").empty());
    EXPECT_TRUE(Type(form_->EdEStartAdd, "3F").empty());
    EXPECT_EQ(Type(form_->EdEStartAdd, "40", 1), std::vector<std::string>{Text(S_CLONE_START_ADDRESS_TOO_HIGH)});
}

TEST_F(CloneDialog, StartAddressesAreReadUnsigned)
{
    ASSERT_TRUE(Type(form_->EdFByte2Fill, "1").empty());
    EXPECT_EQ(Type(form_->EdFStartAdd, "FFFFFFFF", 1), std::vector<std::string>{Text(S_CLONE_START_ADDRESS_TOO_HIGH)});
    EXPECT_EQ(form_->FlashWork().StartAddress, 0);
    EXPECT_EQ(Type(form_->EdFStartAdd, "80000000", 1), std::vector<std::string>{Text(S_CLONE_START_ADDRESS_TOO_HIGH)});
}

TEST_F(CloneDialog, StartValueMustFitInTheBytes)
{
    ASSERT_TRUE(Type(form_->EdFByte2Fill, "1").empty());
    EXPECT_TRUE(Type(form_->EdFStartVal, "FF").empty());
    EXPECT_EQ(form_->FClones->Text(), "1");
    EXPECT_EQ(Type(form_->EdFStartVal, "100", 1), std::vector<std::string>{Text(S_CLONE_START_VALUE_TOO_HIGH)});
    EXPECT_EQ(form_->EdFStartVal->Text(), "0");
    EXPECT_EQ(form_->FlashWork().StartValue, 0);
    EXPECT_EQ(form_->FClones->Text(), "256");
    // FFFFFFFF is a large number, not -1: it does not fit in one byte either.
    EXPECT_EQ(Type(form_->EdFStartVal, "FFFFFFFF", 1), std::vector<std::string>{Text(S_CLONE_START_VALUE_TOO_HIGH)});
}

TEST_F(CloneDialog, ShrinkingTheByteCountResetsAStartValueThatNoLongerFits)
{
    ASSERT_TRUE(Type(form_->EdFByte2Fill, "2").empty());
    ASSERT_TRUE(Type(form_->EdFStartVal, "1234").empty());
    EXPECT_EQ(Type(form_->EdFByte2Fill, "1", 1), std::vector<std::string>{Text(S_CLONE_START_VALUE_TOO_HIGH)});
    EXPECT_EQ(form_->EdFStartVal->Text(), "0");
    EXPECT_EQ(form_->FClones->Text(), "256");
}

TEST_F(CloneDialog, MaximumNumberOfClones)
{
    ASSERT_TRUE(Type(form_->EdFByte2Fill, "2").empty());
    ASSERT_TRUE(Type(form_->EdFStartVal, "10").empty());
    ASSERT_TRUE(Type(form_->EdFStep, "3").empty());
    EXPECT_EQ(form_->FClones->Text(), "21840");
    EXPECT_EQ(main_->FFlashMaxClones, 21840);
    ASSERT_TRUE(Type(form_->EdFStep, "0").empty());
    EXPECT_EQ(form_->FClones->Text(), "65536");
    ASSERT_TRUE(Type(form_->EdFStep, "1").empty());
    EXPECT_EQ(form_->FClones->Text(), "65520");
    // The EEPROM column keeps its own count.
    EXPECT_EQ(form_->EClones->Text(), "0");
    ASSERT_TRUE(Type(form_->EdEByte2Fill, "1").empty());
    EXPECT_EQ(form_->EClones->Text(), "256");
    EXPECT_EQ(main_->FEEpromMaxClones, 256);
}

TEST_F(CloneDialog, ATextThatIsNoNumberIsResetToZero)
{
    ASSERT_TRUE(Type(form_->EdFByte2Fill, "2").empty());
    EXPECT_EQ(Type(form_->EdFStep, "x", 1), std::vector<std::string>{Text(S_CLONE_NOT_AN_INTEGER)});
    EXPECT_EQ(form_->EdFStep->Text(), "0");
    EXPECT_EQ(form_->FlashWork().Increment, 0);
    EXPECT_EQ(Type(form_->EdFByte2Fill, "", 1), std::vector<std::string>{Text(S_CLONE_NOT_AN_INTEGER)});
    EXPECT_EQ(form_->EdFByte2Fill->Text(), "0");
    // Hexadecimal edits take no sign.
    EXPECT_EQ(Type(form_->EdFStartVal, "-1", 1), std::vector<std::string>{Text(S_CLONE_NOT_AN_INTEGER)});
    EXPECT_EQ(form_->EdFStartVal->Text(), "0");
}

TEST_F(CloneDialog, ByteOrderBoxesWriteTheMainWindowAtOnce)
{
    form_->ECheck->SetChecked(true);
    form_->CBEMsb->SetChecked(false);
    EXPECT_EQ(main_->FEEpromSNMsbFirst, 0);
    EXPECT_EQ(main_->FFlashSNMsbFirst, 1);
    form_->CBEMsb->SetChecked(true);
    EXPECT_EQ(main_->FEEpromSNMsbFirst, 1);
}

TEST_F(CloneDialog, OKCopiesTheCheckedMemorysOptions)
{
    main_->FEEpromSNStartAddress = 77;
    form_->FCheck->SetChecked(true);
    ASSERT_TRUE(Type(form_->EdFByte2Fill, "5").empty());
    ASSERT_TRUE(Type(form_->EdFStartAdd, "10").empty());
    ASSERT_TRUE(Type(form_->EdFStartVal, "FFFFFFFF").empty());
    ASSERT_TRUE(Type(form_->EdFStep, "7").empty());
    form_->BitBtn1->Click();
    EXPECT_EQ(form_->GetModalResult(), tk::mrOk);
    EXPECT_EQ(main_->FFlashSerialNumbering, 1);
    EXPECT_EQ(main_->FFlashSNStartAddress, 0x10);
    EXPECT_EQ(main_->FFlashSNByteCount, 5);
    EXPECT_EQ(static_cast<std::uint32_t>(main_->FFlashSNStartValue), 0xFFFFFFFFu);
    EXPECT_EQ(main_->FFlashSNIncrement, 7);
    EXPECT_EQ(main_->FEEpromSerialNumbering, 0);
    EXPECT_EQ(main_->FEEpromSNStartAddress, 77) << "an unchecked memory keeps its fields";
}

TEST_F(CloneDialog, CancelTurnsNumberingOffAndUnchecksBothMemories)
{
    form_->FCheck->SetChecked(true);
    form_->ECheck->SetChecked(true);
    form_->BitBtn1->Click();
    ASSERT_EQ(main_->FFlashSerialNumbering, 1);
    form_->BitBtn2->Click();
    EXPECT_EQ(form_->GetModalResult(), tk::mrCancel);
    EXPECT_FALSE(form_->FCheck->Checked());
    EXPECT_FALSE(form_->ECheck->Checked());
    EXPECT_FALSE(form_->EdFStartAdd->Enabled());
    EXPECT_FALSE(form_->EdEStep->Enabled());
    EXPECT_EQ(main_->FFlashSerialNumbering, 0);
    EXPECT_EQ(main_->FEEpromSerialNumbering, 0);
}
