// ProcessCommands: the keyword interpreter behind the program's parameters
// and ".ZLT" script files.
#include "programmer/ProcessCommands.h"

#include "components/ZeltoToken.h"
#include "programmer/Clone.h"
#include "programmer/FillBuffers.h"
#include "programmer/Main.h"
#include "programmer/PortLibrary.h"
#include "resources/StringIds.h"
#include "toolbars/BarButtons.h"
#include "toolkit/Exceptions.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/MessageDialogs.h"
#include "toolkit/Resources.h"
#include "toolkit/Services.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/StrConv.h"

#include <windows.h>

#include <cstdint>

namespace {

constexpr const char* kScriptExtension = ".ZLT";

// One command as a keyword's handler sees it.
struct TCommand {
    TMainForm& form;
    const std::string& value;     // upper-cased
    const std::string& rawValue;  // as written
};

// False when the value is refused: a syntax error.
using TCommandRun = bool (*)(const TCommand&);

struct TKeyword {
    const char* name;
    TCommandRun run;
};

using TAction = void (TMainForm::*)(tk::Component*);

// Runs one of the main window's actions for the interpreter. An action
// that does not report its work as done (refused, aborted, failed, or
// silent about it) counts as a failed command for the exit code.
void RunAction(TMainForm& form, TAction action, tk::Component* sender = nullptr)
{
    form.BeginCommand();
    (form.*action)(sender);
    if (!form.CommandDone())
        form.NoteCommandFailed();
}

// Keywords marked TRUE: the action for TRUE, nothing for any other value.
template <TAction action>
bool ActionOnTrue(const TCommand& c)
{
    if (c.value == "TRUE")
        RunAction(c.form, action);
    return true;
}

// TRUE / FALSE keywords: false for any third value.
bool ReadFlag(const std::string& value, bool& on)
{
    if (value == "TRUE")
        on = true;
    else if (value == "FALSE")
        on = false;
    else
        return false;
    return true;
}

// A check box set as a user would click it: its click handler runs when the
// state changes.
bool SetBox(const TCommand& c, tk::CheckBox* box)
{
    bool on = false;
    if (!ReadFlag(c.value, on))
        return false;
    if (box)
        box->SetChecked(on);
    else
        c.form.NoteCommandFailed();
    return true;
}

// An edit given the text as if typed: its change handler validates it. A
// value it refuses is put back (to "0") after its message: a failed command.
bool SetEdit(const TCommand& c, tk::Edit* edit)
{
    if (edit)
        edit->SetText(c.value);
    if (!edit || edit->Text() != c.value)
        c.form.NoteCommandFailed();
    return true;
}

template <tk::CheckBox* TFillForm::*box>
bool FillBox(const TCommand& c)
{
    TFillForm* fill = FillForm();
    return SetBox(c, fill ? fill->*box : nullptr);
}

template <tk::Edit* TFillForm::*edit>
bool FillEdit(const TCommand& c)
{
    TFillForm* fill = FillForm();
    return SetEdit(c, fill ? fill->*edit : nullptr);
}

template <tk::CheckBox* TCloneForm::*box>
bool CloneBox(const TCommand& c)
{
    TCloneForm* clone = CloneForm();
    return SetBox(c, clone ? clone->*box : nullptr);
}

template <tk::Edit* TCloneForm::*edit>
bool CloneEdit(const TCommand& c)
{
    TCloneForm* clone = CloneForm();
    return SetEdit(c, clone ? clone->*edit : nullptr);
}

// The file-name part of a path (folders and drive dropped).
std::string FileNamePart(const std::string& path)
{
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// A buffer load that did not load its file: the commands after it would
// program the device with a buffer that holds no file's data.
class EBufferNotLoaded : public tk::Exception {
public:
    using tk::Exception::Exception;
};

// The file goes into the buffer, or the load's failure ends the script
// file, or the command line, that it stands in.
template <TAction action>
bool LoadBuffer(const TCommand& c)
{
    c.form.FScriptHexFileName = c.rawValue;
    RunAction(c.form, action);
    if (!c.form.CommandDone())
        throw EBufferNotLoaded(c.form.LoadFailure());
    return true;
}

bool LoadPlugIn(const TCommand& c)
{
    c.form.FScriptPlugInName = FileNamePart(c.rawValue);
    RunAction(c.form, &TMainForm::Action_LoadPluginExecute);
    return true;
}

bool EraseChip(const TCommand& c)
{
    if (c.value != "TRUE")
        return false;
    RunAction(c.form, &TMainForm::Action_EraseChipExecute);
    return true;
}

enum class TView { Hex, Dec, Ascii };

template <TView view>
bool SelectView(const TCommand& c)
{
    if (c.value != "TRUE")
        return true;
    TMainForm& f = c.form;
    f.MnuHex->SetChecked(view == TView::Hex);
    f.MnuDecimal->SetChecked(view == TView::Dec);
    f.MnuAscii->SetChecked(view == TView::Ascii);
    if constexpr (view == TView::Hex)
        RunAction(f, &TMainForm::Action_HexExecute);
    else if constexpr (view == TView::Dec)
        RunAction(f, &TMainForm::Action_DecExecute);
    else
        RunAction(f, &TMainForm::Action_AsciiExecute);
    return true;
}

bool ChipEraseBeforeProgramming(const TCommand& c)
{
    bool on = false;
    if (!ReadFlag(c.value, on))
        return false;
    c.form.MnuChipErase->SetChecked(on);
    c.form.FChipEraseBeforeProgramming = on ? 1 : 0;
    return true;
}

bool ReleasePortLines(const TCommand& c)
{
    bool on = false;
    if (!ReadFlag(c.value, on))
        return false;
    c.form.MnuRelease->SetChecked(on);
    c.form.FReleasePortLines = on ? 1 : 0;
    return true;
}

// The script's list of TRUE / FALSE goes into FSpecialBits; the category is
// then written without reading it first and without the dialog.
template <int category>
bool ProgramSpecialBits(const TCommand& c)
{
    TZeltoToken pieces;
    pieces.Reset();
    pieces.Separator = ',';
    pieces.SetText(c.value);
    const int count = pieces.Count() > 0 ? pieces.Count() : 1;
    std::vector<std::uint8_t>& bits = c.form.FSpecialBits;
    // The list only ever lengthens the array: the bits a short list does not
    // reach keep their earlier values instead of being written as 0, and
    // programming cuts the array to the category's bit count.
    if (bits.size() < static_cast<std::size_t>(count))
        bits.resize(static_cast<std::size_t>(count), 0);
    for (int i = 0; i < pieces.Count(); ++i) {
        const std::string piece = tk::Trim(pieces.GetToken(i));
        if (piece == "TRUE")
            bits[static_cast<std::size_t>(i)] = 1;
        else if (piece == "FALSE")
            bits[static_cast<std::size_t>(i)] = 0;
    }
    TToolbarButton* const buttons[3] = {c.form.BtSpecialBits1, c.form.BtSpecialBits2, c.form.BtSpecialBits3};
    RunAction(c.form, &TMainForm::ProgramSpecialBits, buttons[category - 1]);
    return true;
}

// frequency,duration,pause,count: count beeps, each followed by the pause.
bool Play(const TCommand& c)
{
    TZeltoToken pieces;
    pieces.Reset();
    pieces.Separator = ',';
    pieces.SetText(c.value);
    std::int32_t numbers[4] = {};
    for (int i = 0; i < 4; ++i)
        numbers[i] = tk::StrToInt(tk::Trim(pieces.GetToken(i)));
    const auto [frequency, duration, pause, count] = numbers;
    // A negative wait would reach the system as a huge unsigned one (a
    // pause of -1 is INFINITE): refused like a value that is no number.
    if (frequency < 0 || duration < 0 || pause < 0)
        throw tk::EConvertError(tk::FmtLoadStr(S_SCRIPT_PLAY_NEGATIVE, {c.value}));
    for (std::int32_t i = 0; i < count; ++i) {
        tk::SleepBeepSeam()->Beep(static_cast<unsigned>(frequency), static_cast<unsigned>(duration));
        tk::SleepBeepSeam()->Sleep(static_cast<unsigned>(pause));
    }
    return true;
}

bool Comment(const TCommand&) { return true; }

bool Message(const TCommand& c)
{
    tk::ShowMessage(c.rawValue);
    return true;
}

bool Language(const TCommand& c)
{
    TMainForm& f = c.form;
    const std::pair<const char*, tk::MenuItem*> languages[] = {
        {"ENGLISH", f.LanguageEnglish}, {"FRENCH", f.LanguageFrench},     {"ITALIAN", f.LanguageItalian},
        {"GERMAN", f.LanguageGerman},   {"ROMANIAN", f.LanguageRomanian},
    };
    for (const auto& [name, item] : languages) {
        if (c.value == name) {
            RunAction(f, &TMainForm::SwitchLanguage, item);
            return true;
        }
    }
    return false;
}

// Tested in this order; the first equal keyword decides.
const TKeyword kKeywords[] = {
    {"LOADFLASHBUFFER", &LoadBuffer<&TMainForm::Action_OpenFlashExecute>},
    {"LOADEEPROMBUFFER", &LoadBuffer<&TMainForm::Action_OpenPromExecute>},
    {"LOADPLUGIN", &LoadPlugIn},
    {"ERASECHIP", &EraseChip},
    {"EXIT", &ActionOnTrue<&TMainForm::Action_ExitExecute>},
    {"GETCHIPID", &ActionOnTrue<&TMainForm::Action_GetChipIdExecute>},
    {"READFLASH", &ActionOnTrue<&TMainForm::Action_ReadFlashExecute>},
    {"READEEPROM", &ActionOnTrue<&TMainForm::Action_ReadPromExecute>},
    {"READALL", &ActionOnTrue<&TMainForm::Action_ReadAllExecute>},
    {"WRITEFLASH", &ActionOnTrue<&TMainForm::Action_WriteFlashExecute>},
    {"WRITEEEPROM", &ActionOnTrue<&TMainForm::Action_WritePromExecute>},
    {"WRITEALL", &ActionOnTrue<&TMainForm::Action_WriteAllExecute>},
    {"VERIFYFLASH", &ActionOnTrue<&TMainForm::Action_VerifyFlashExecute>},
    {"VERIFYEEPROM", &ActionOnTrue<&TMainForm::Action_VerifyPromExecute>},
    {"VERIFYALL", &ActionOnTrue<&TMainForm::Action_VerifyAllExecute>},
    {"VIEWHEX", &SelectView<TView::Hex>},
    {"VIEWDEC", &SelectView<TView::Dec>},
    {"VIEWASCII", &SelectView<TView::Ascii>},
    {"CHIPERASEBEFOREPROGRAMMING", &ChipEraseBeforeProgramming},
    {"RELEASEPORTLINES", &ReleasePortLines},
    {"FILLFLASH", &FillBox<&TFillForm::FB1>},
    {"FILLEEPROM", &FillBox<&TFillForm::FB2>},
    {"FILLALLFLASH", &FillBox<&TFillForm::CB2>},
    {"FILLALLEEPROM", &FillBox<&TFillForm::CB1>},
    {"FILLFLASHSTARTADDRESS", &FillEdit<&TFillForm::EdtFStartAdd>},
    {"FILLFLASHENDADDRESS", &FillEdit<&TFillForm::EdtFEndAdd>},
    {"FILLFLASHVALUE", &FillEdit<&TFillForm::EdtFFillValue>},
    // Spelled so since the first scripts were written; scripts depend on it.
    {"FILLEEPROMSTASRTADDRESS", &FillEdit<&TFillForm::EdtEStartAdd>},
    {"FILLEEPROMENDADDRESS", &FillEdit<&TFillForm::EdtEEndAdd>},
    {"FILLEEPROMVALUE", &FillEdit<&TFillForm::EdtEFillValue>},
    {"FILLBUFFER", &ActionOnTrue<&TMainForm::Action_FillBufferExecute>},
    {"SNFLASH", &CloneBox<&TCloneForm::FCheck>},
    {"SNEEPROM", &CloneBox<&TCloneForm::ECheck>},
    {"SNFLASHMSB", &CloneBox<&TCloneForm::CBFMsb>},
    {"SNEEPROMMSB", &CloneBox<&TCloneForm::CBEMsb>},
    {"SNFLASHSTARTADDRESS", &CloneEdit<&TCloneForm::EdFStartAdd>},
    {"SNEEPROMSTARTADDRESS", &CloneEdit<&TCloneForm::EdEStartAdd>},
    {"SNFLASHBYTESTOFILL", &CloneEdit<&TCloneForm::EdFByte2Fill>},
    {"SNEEPROMBYTESTOFILL", &CloneEdit<&TCloneForm::EdEByte2Fill>},
    {"SNFLASHSTARTVALUE", &CloneEdit<&TCloneForm::EdFStartVal>},
    {"SNEEPROMSTARTVALUE", &CloneEdit<&TCloneForm::EdEStartVal>},
    {"SNFLASHINCREMENT", &CloneEdit<&TCloneForm::EdFStep>},
    {"SNEEPROMINCREMENT", &CloneEdit<&TCloneForm::EdEStep>},
    {"CLONE", &ActionOnTrue<&TMainForm::Action_CloneExecute>},
    {"PROGRAMSPECIALBITS1", &ProgramSpecialBits<1>},
    {"PROGRAMSPECIALBITS2", &ProgramSpecialBits<2>},
    {"PROGRAMSPECIALBITS3", &ProgramSpecialBits<3>},
    {"PLAY", &Play},
    {"COMMENT", &Comment},
    {"MESSAGE", &Message},
    {"LANGUAGE", &Language},
};

// The syntax-error box; the port is closed and the application asked to
// end once the remaining commands have run. The driver stays open.
void SyntaxError(TMainForm& form, const std::string& key, const std::string& value)
{
    form.NoteCommandFailed();
    tk::ShowMessage(tk::FmtLoadStr(S_SCRIPT_SYNTAX_ERROR, {key, value}));
    form.Port1.ClosePort();
    tk::App().Terminate();
}

// The message of a script file that cannot be opened or read.
[[noreturn]] void RaiseFileError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        throw tk::EInOutError(tk::LoadStr(S_TK_FILE_NOT_FOUND));
    case ERROR_ACCESS_DENIED:
        throw tk::EInOutError(tk::LoadStr(S_TK_FILE_ACCESS_DENIED));
    default:
        throw tk::EInOutError(tk::FmtLoadStr(S_TK_IO_ERROR, {static_cast<std::int64_t>(error)}));
    }
}

struct FileCloser {
    HANDLE file;
    ~FileCloser() { ::CloseHandle(file); }
};

// The file's lines as a text file reads them: CR LF, LF or CR end a line,
// and a last line needs no line end.
std::vector<std::string> ReadScriptLines(const std::string& path)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        RaiseFileError(::GetLastError());
    FileCloser closer{file};
    std::string text;
    char chunk[4096];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, chunk, sizeof chunk, &read, nullptr))
            RaiseFileError(::GetLastError());
        if (read == 0)
            break;
        text.append(chunk, read);
    }
    std::vector<std::string> lines;
    // Editors (Notepad among them) may begin a UTF-8 file with a byte-order
    // mark; it is no part of the first command.
    std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

}  // namespace

void InitCommandMode() { ZpSetCommandMode(ProgramParameters().empty() ? 0 : 1); }

std::vector<std::string> SplitCommandLine(std::string_view line)
{
    std::vector<std::string> arguments;
    std::size_t i = 0;
    const std::size_t n = line.size();
    auto blank = [&](std::size_t at) { return line[at] == ' ' || line[at] == '\t'; };

    // The program's own name: quotes group, nothing escapes.
    std::string program;
    bool quoted = false;
    for (; i < n; ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (!quoted && blank(i))
            break;
        else
            program += line[i];
    }
    arguments.push_back(program);

    for (;;) {
        while (i < n && blank(i))
            ++i;
        if (i >= n)
            break;
        std::string argument;
        quoted = false;
        for (;;) {
            std::size_t backslashes = 0;
            while (i < n && line[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < n && line[i] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                    ++i;
                } else if (quoted && i + 1 < n && line[i + 1] == '"') {
                    argument += '"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
                continue;
            }
            argument.append(backslashes, '\\');
            if (i >= n || (!quoted && blank(i)))
                break;
            argument += line[i++];
        }
        arguments.push_back(argument);
    }
    return arguments;
}

std::vector<std::string> ProgramParameters()
{
    std::vector<std::string> arguments = SplitCommandLine(::GetCommandLineA());
    arguments.erase(arguments.begin());
    return arguments;
}

bool IsScriptFileName(const std::string& key)
{
    const std::size_t length = std::char_traits<char>::length(kScriptExtension);
    return key.size() >= length && tk::UpperCase(key.substr(key.size() - length)) == kScriptExtension;
}

void SplitCommand(const std::string& line, char separator, std::string& key, std::string& value)
{
    TZeltoToken token;
    token.Reset();
    token.Separator = separator;
    token.SetText(line);
    key = tk::Trim(token.GetToken(0));
    if (IsScriptFileName(key)) {
        value.clear();
        return;
    }
    value = tk::Trim(token.GetToken(1));
}

void ExecuteCommand(TMainForm& form, const std::string& key, const std::string& value)
{
    const std::string upperKey = tk::UpperCase(key);
    const std::string upperValue = tk::UpperCase(value);
    for (const TKeyword& keyword : kKeywords) {
        if (upperKey == keyword.name) {
            if (!keyword.run(TCommand{form, upperValue, value}))
                SyntaxError(form, upperKey, upperValue);
            return;
        }
    }
    SyntaxError(form, upperKey, upperValue);
}

void ProcessScriptFile(TMainForm& form, const std::string& path)
{
    try {
        for (const std::string& line : ReadScriptLines(path)) {
            std::string key;
            std::string value;
            SplitCommand(line, '=', key, value);
            if (IsScriptFileName(key)) {
                form.NoteCommandFailed();
                tk::ShowMessage(tk::LoadStr(S_SCRIPT_CALLS_SCRIPT));
            } else {
                ExecuteCommand(form, key, value);
            }
        }
    } catch (const std::exception& e) {
        form.NoteCommandFailed();
        tk::ShowMessage(tk::LoadStr(S_SCRIPT_READ_ERROR) + path + "\r\n\r\n" + e.what());
    }
}

void ProcessCommandLine(TMainForm& form) { ProcessCommandLine(form, ProgramParameters()); }

void ProcessCommandLine(TMainForm& form, const std::vector<std::string>& parameters)
{
    form.FCommandMode = 0;
    // Whatever happens while the commands run, the window ends up
    // interactive and a later port change must not bring command mode back.
    struct Done {
        TMainForm& form;
        ~Done()
        {
            form.FCommandMode = 0;
            form.MarkCommandLineProcessed();
        }
    } done{form};
    if (parameters.empty())
        return;
    form.FCommandMode = 1;
    for (const std::string& parameter : parameters) {
        std::string key;
        std::string value;
        try {
            SplitCommand(parameter, '=', key, value);
            if (IsScriptFileName(key))
                ProcessScriptFile(form, key);
            else
                ExecuteCommand(form, key, value);
        } catch (const EBufferNotLoaded& e) {
            // The parameters after it are the rest of the same run: they
            // would write the buffer that holds no file's data.
            form.NoteCommandFailed();
            tk::App().ShowException(e);
            return;
        } catch (const std::exception& e) {
            // A command given directly has no script file to name: it is
            // reported like any failed command, and the next parameter runs.
            form.NoteCommandFailed();
            tk::App().ShowException(e);
        }
    }
}

const std::vector<std::string>& CommandKeywords()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const TKeyword& keyword : kKeywords)
            list.emplace_back(keyword.name);
        return list;
    }();
    return names;
}
