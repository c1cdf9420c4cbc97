// The unattended answers of the real program: each box is answered with the
// button Enter would press and logged on one line, texts escaped so that a
// line never breaks inside a message.
#include "StandinTestSupport.h"
#include "components/AutoAnswer.h"
#include "toolkit/Forms.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAre;

TEST(AutoAnswer, AnswersEveryBoxWithItsDefaultButtonAndLogsIt)
{
    ScratchFolder folder;
    TAutoAnswer answer(folder.File("boxes.log"));
    tk::MessageRequest request;
    request.caption = "Confirm";
    request.text = "Really abort operation?";
    request.buttons = tk::mbYesNo;
    EXPECT_EQ(answer.Show(request), tk::mrYes);
    request.caption = "ZELTO";
    request.text = "Line one\r\nC:\\path\\file";
    request.buttons = tk::mbOK;
    EXPECT_EQ(answer.Show(request), tk::mrOk);
    request.buttons = tk::mbOKCancel;
    EXPECT_EQ(answer.Show(request), tk::mrOk);
    request.buttons = tk::mbYesNoCancel;
    EXPECT_EQ(answer.Show(request), tk::mrYes);
    EXPECT_THAT(ReadLines(folder.File("boxes.log")),
                ElementsAre("box Confirm|Really abort operation?", "box ZELTO|Line one\\r\\nC:\\\\path\\\\file",
                            "box ZELTO|Line one\\r\\nC:\\\\path\\\\file", "box ZELTO|Line one\\r\\nC:\\\\path\\\\file"));
}

TEST(AutoAnswer, CancelsFileDialogsAndModalWindows)
{
    ScratchFolder folder;
    TAutoAnswer answer(folder.File("boxes.log"));
    tk::FileDialogRequest open;
    open.title = "Read Hex File to Flash buffer";
    open.fileName = "x.hex";
    EXPECT_FALSE(answer.Execute(open));
    tk::FileDialogRequest save;
    save.save = true;
    save.title = "Save";
    EXPECT_FALSE(answer.Execute(save));
    tk::Form form;
    EXPECT_EQ(answer.RunModal(form), tk::mrCancel);
    const auto lines = ReadLines(folder.File("boxes.log"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "file-dialog open|Read Hex File to Flash buffer");
    EXPECT_EQ(lines[1], "file-dialog save|Save");
    EXPECT_THAT(lines[2], ::testing::StartsWith("modal-form "));
}

TEST(AutoAnswer, WithoutALogFileItStillAnswers)
{
    TAutoAnswer answer("");
    tk::MessageRequest request;
    request.buttons = tk::mbYesNo;
    EXPECT_EQ(answer.Show(request), tk::mrYes);
}

}  // namespace
