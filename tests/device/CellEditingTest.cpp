// Cell selection and typed values through the grids' real windows: clicks
// on cells give the three status texts of each grid, and characters typed
// into the in-place editor reach the buffers in the Hex, Decimal and ASCII
// views by the rules of each, while the cell keeps the typed text until the
// next redraw.
#include "DeviceTestSupport.h"

#include "resources/StringIds.h"
#include "toolkit/Grids.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CellEditing : public DeviceFixture {
protected:
    // The window shown (the editor needs the focus), bound to `device`.
    TMainForm& StartShown(const std::string& device)
    {
        TMainForm& form = StartWith("DEVICE=" + device + "\n");
        form.Show();
        PumpMessages();
        return form;
    }

    // A user's click on a cell.
    static void Click(tk::StringGrid& grid, int col, int row)
    {
        const RECT r = grid.CellRect(col, row);
        ASSERT_LT(r.left, r.right) << "cell " << col << "," << row << " is not visible";
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::SendMessageA(grid.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageA(grid.Handle(), WM_LBUTTONUP, 0, at);
        PumpMessages();
    }

    static void Key(HWND wnd, WORD key)
    {
        ::SendMessageA(wnd, WM_KEYDOWN, key, 1);
        ::SendMessageA(wnd, WM_KEYUP, key, 0xC0000001);
        PumpMessages();
    }

    // Selects the editor's whole text and types `text` over it.
    static void Type(tk::StringGrid& grid, const std::string& text)
    {
        ASSERT_TRUE(grid.EditorMode());
        HWND edit = grid.Editor()->Handle();
        ::SendMessageA(edit, EM_SETSEL, 0, -1);
        for (char ch : text)
            ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(ch), 0);
        PumpMessages();
    }

    // Types `text` at the caret, after what the editor holds.
    static void TypeMore(tk::StringGrid& grid, const std::string& text)
    {
        ASSERT_TRUE(grid.EditorMode());
        HWND edit = grid.Editor()->Handle();
        const int end = ::GetWindowTextLengthA(edit);
        ::SendMessageA(edit, EM_SETSEL, end, end);
        for (char ch : text)
            ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(ch), 0);
        PumpMessages();
    }
};

TEST_F(CellEditing, SelectingACellSaysWhetherItsDataIsInitializedWritableOrReadOnly)
{
    TMainForm& form = StartShown("ATDEMOFL");
    ASSERT_NO_FATAL_FAILURE(Click(*form.SG1, 2, 1));
    EXPECT_EQ(form.PanelText(1), "Flash data is in read only mode.");
    ASSERT_NO_FATAL_FAILURE(Click(*form.SG2, 2, 1));
    EXPECT_EQ(form.PanelText(1), "EEPROM data is in read only mode.");

    form.MnuEditDirectly->Click();
    ASSERT_NO_FATAL_FAILURE(Click(*form.SG1, 3, 2));
    EXPECT_EQ(form.PanelText(1), "Flash data is in Write mode");
    // The EEPROM of a Flash-only device stays read-only.
    ASSERT_NO_FATAL_FAILURE(Click(*form.SG2, 3, 1));
    EXPECT_EQ(form.PanelText(1), "EEPROM data is in read only mode.");
    EXPECT_EQ(MainUnit().Busy, 0);
}

TEST_F(CellEditing, AnEEpromGridInWriteModeAndGridsWithoutADevice)
{
    TMainForm& form = StartShown("ATDEMO8");
    form.MnuEditDirectly->Click();
    ASSERT_NO_FATAL_FAILURE(Click(*form.SG2, 2, 1));
    EXPECT_EQ(form.PanelText(1), "EEPROM data is in Write mode");

    // The device is gone: identification empties the name, grids stay.
    ConfigureDemo("DEVICE=NONE\n");
    form.IdentifyDevice();
    ASSERT_NO_FATAL_FAILURE(Click(*form.SG1, 4, 1));
    EXPECT_EQ(form.PanelText(1), "Flash data is not initialized; No device detected.");
    ASSERT_NO_FATAL_FAILURE(Click(*form.SG2, 4, 1));
    EXPECT_EQ(form.PanelText(1), "EEPROM data is not initialized; No device detected.");
}

TEST_F(CellEditing, HexCellsTakeOneOrTwoHexDigitsAndKeepTheTypedTextUntilRedrawn)
{
    TMainForm& form = StartShown("ATDEMO8");
    auto& flash = MainUnit().FlashBuffer;
    flash.assign(8192, 0);
    form.Action_HexExecute(nullptr);
    form.MnuEditDirectly->Click();
    tk::StringGrid& grid = *form.SG1;
    ASSERT_NO_FATAL_FAILURE(Click(grid, 3, 2));  // address $12
    ASSERT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.Editor()->Text(), "00");

    ASSERT_NO_FATAL_FAILURE(Type(grid, "1"));
    EXPECT_EQ(flash[0x12], 1);
    ASSERT_NO_FATAL_FAILURE(TypeMore(grid, "F"));
    EXPECT_EQ(grid.Editor()->Text(), "1F");
    EXPECT_EQ(flash[0x12], 0x1F);
    ASSERT_NO_FATAL_FAILURE(TypeMore(grid, "0"));
    EXPECT_EQ(flash[0x12], 0x1F) << "a third character stores nothing";
    EXPECT_EQ(grid.Cells(3, 2), "1F0");

    // Back on that cell, a text above a byte opens an empty editor.
    ASSERT_NO_FATAL_FAILURE(Key(grid.Editor()->Handle(), VK_DOWN));
    EXPECT_EQ(grid.Row(), 3);
    ASSERT_NO_FATAL_FAILURE(Key(grid.Editor()->Handle(), VK_UP));
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.Editor()->Text(), "");

    messages_.Answer(tk::mrOk);
    ASSERT_NO_FATAL_FAILURE(Type(grid, "G"));
    EXPECT_THAT(messages_.Texts(), ElementsAre("G is not a correct HEX number."));
    EXPECT_EQ(flash[0x12], 0x1F);
    EXPECT_EQ(grid.Cells(3, 2), "G");

    // A redraw shows the buffer again.
    form.Action_HexExecute(nullptr);
    EXPECT_EQ(grid.Cells(3, 2), "1F");
}

TEST_F(CellEditing, DecimalCellsTakeUpToThreeDigitsAndIgnoreValuesOutsideAByte)
{
    TMainForm& form = StartShown("ATDEMO8");
    auto& eeprom = MainUnit().EEpromBuffer;
    eeprom.assign(512, 0);
    form.Action_DecExecute(nullptr);
    form.MnuEditDirectly->Click();
    tk::StringGrid& grid = *form.SG2;
    ASSERT_NO_FATAL_FAILURE(Click(grid, 1, 2));  // address 10: ten per row
    ASSERT_NO_FATAL_FAILURE(Type(grid, "255"));
    EXPECT_EQ(eeprom[10], 255);
    EXPECT_EQ(grid.Cells(1, 2), "255");

    ASSERT_NO_FATAL_FAILURE(Click(grid, 2, 2));
    ASSERT_NO_FATAL_FAILURE(Type(grid, "300"));
    // "3" and "30" were accepted on the way; 300 is no byte.
    EXPECT_EQ(eeprom[11], 30);
    EXPECT_THAT(messages_.Texts(), IsEmpty());

    // A sign is the start of a number: "-5" is no byte and no error.
    ASSERT_NO_FATAL_FAILURE(Type(grid, "-5"));
    EXPECT_EQ(eeprom[11], 30);
    EXPECT_THAT(messages_.Texts(), IsEmpty());

    ASSERT_NO_FATAL_FAILURE(Click(grid, 3, 2));
    messages_.Answer(tk::mrOk);
    ASSERT_NO_FATAL_FAILURE(Type(grid, "1x"));
    EXPECT_THAT(messages_.Texts(), ElementsAre("1x is not a correct decimal number."));
    EXPECT_EQ(eeprom[12], 1);
    EXPECT_EQ(MainUnit().FlashBuffer.size(), 8192u);
}

TEST_F(CellEditing, AsciiCellsTakeExactlyOneCharacter)
{
    TMainForm& form = StartShown("ATDEMO8");
    auto& eeprom = MainUnit().EEpromBuffer;
    eeprom.assign(512, 0);
    form.Action_AsciiExecute(nullptr);
    form.MnuEditDirectly->Click();
    tk::StringGrid& grid = *form.SG2;
    ASSERT_NO_FATAL_FAILURE(Click(grid, 2, 2));  // address 17
    ASSERT_NO_FATAL_FAILURE(Type(grid, "A"));
    EXPECT_EQ(eeprom[17], 65);
    ASSERT_NO_FATAL_FAILURE(TypeMore(grid, "B"));
    EXPECT_EQ(grid.Editor()->Text(), "AB");
    EXPECT_EQ(eeprom[17], 65);
    EXPECT_THAT(messages_.Texts(), IsEmpty());

    // A character that code page 1252 has no byte for is refused, never
    // stored as a look-alike ("s", "O"); a typed '?' is a character like any.
    for (wchar_t foreign : {L'\x015F', L'\x03A9'}) {
        HWND edit = grid.Editor()->Handle();
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        messages_.Answer(tk::mrOk);
        ::SendMessageW(edit, WM_CHAR, foreign, 0);
        PumpMessages();
        EXPECT_EQ(eeprom[17], 65);
    }
    EXPECT_THAT(messages_.Texts(),
                ElementsAre(Text(S_CHARACTER_NOT_IN_CODE_PAGE), Text(S_CHARACTER_NOT_IN_CODE_PAGE)));
    ASSERT_NO_FATAL_FAILURE(Type(grid, "?"));
    EXPECT_EQ(eeprom[17], '?');
}

TEST_F(CellEditing, TheEditorShowsItsCellsNewTextWhenTheBufferIsShownAgain)
{
    Seed("ATDEMO8.flash", std::vector<std::uint8_t>(8192, 0x5A));
    TMainForm& form = StartShown("ATDEMO8");
    MainUnit().FlashBuffer.assign(8192, 0xA8);
    form.Action_HexExecute(nullptr);
    form.MnuEditDirectly->Click();
    tk::StringGrid& grid = *form.SG1;
    ASSERT_NO_FATAL_FAILURE(Click(grid, 3, 2));  // address $12
    EXPECT_EQ(grid.Editor()->Text(), "A8");
    // Both digits in sight with the caret after them.
    HWND edit = grid.Editor()->Handle();
    ::SendMessageA(edit, EM_SETSEL, 2, 2);
    EXPECT_GE(static_cast<short>(LOWORD(::SendMessageA(edit, EM_POSFROMCHAR, 0, 0))), 0);

    form.Action_ReadFlashExecute(nullptr);
    EXPECT_EQ(grid.Editor()->Text(), "5A");
    form.Action_AsciiExecute(nullptr);
    EXPECT_EQ(grid.Editor()->Text(), "Z");
    // A letter typed at once goes over the cell's text and is stored.
    ::SendMessageA(grid.Editor()->Handle(), WM_CHAR, 'B', 0);
    PumpMessages();
    EXPECT_EQ(grid.Editor()->Text(), "B");
    EXPECT_EQ(MainUnit().FlashBuffer[0x12], 'B');
}

TEST_F(CellEditing, WithoutADeviceDecimalAndAsciiCheckTheAdapterWhileHexEndsAfterIdentifying)
{
    TMainForm& form = StartWith("DEVICE=NONE\n");
    WatchCalls();
    form.Action_HexExecute(nullptr);
    EXPECT_THAT(Calls(), ElementsAre("PowerUpDevice", "CheckSignature", "PowerOffDevice", "GetDeviceFoundName",
                                     "GetDeviceFoundFlashSize", "GetDeviceFoundEEpromSize"));
    for (auto command : {&TMainForm::Action_DecExecute, &TMainForm::Action_AsciiExecute}) {
        ClearCalls();
        messages_.Answer(tk::mrOk);
        (form.*command)(nullptr);
        EXPECT_THAT(Calls(), ElementsAre("PowerUpDevice", "CheckSignature", "PowerOffDevice", "GetDeviceFoundName",
                                         "GetDeviceFoundFlashSize", "GetDeviceFoundEEpromSize",
                                         "CheckProgrammingDevice", "PowerOffDevice", "box No device detected!"));
    }
    EXPECT_EQ(MainUnit().ViewMode, vmHex);
    EXPECT_TRUE(form.MnuHex->Checked());
    EXPECT_FALSE(form.MnuAscii->Checked());
    EXPECT_EQ(MainUnit().Busy, 0);
}

}  // namespace
