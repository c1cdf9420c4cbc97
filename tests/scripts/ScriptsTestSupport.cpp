// Shared fixture of the interpreter and language tests.
#include "ScriptsTestSupport.h"

#include "programmer/Clone.h"
#include "programmer/FillBuffers.h"
#include "programmer/LanguageModules.h"
#include "programmer/PortLibrary.h"
#include "programmer/ProcessCommands.h"
#include "programmer/SpecialBits.h"
#include "programmer/About.h"
#include "programmer/Sysinfo.h"
#include "resources/StringIds.h"
#include "toolkit/Forms.h"
#include "tests/support/HookShutdown.h"
#include "toolkit/Resources.h"

namespace {

constexpr std::size_t kDemoFlashSize = 8192;
constexpr std::size_t kDemoEEpromSize = 512;

std::vector<std::uint8_t> ReadChipFile(const std::string& path, std::size_t size)
{
    const std::string text = ReadTextFile(path);
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.resize(size, 0xFF);
    return bytes;
}

}  // namespace

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

std::string ApplicationTitle() { return tk::LoadStr(S_APPLICATION_TITLE); }

std::vector<std::uint8_t> HexImage(const std::string& hexText, std::size_t size)
{
    std::vector<std::uint8_t> image(size, 0xFF);
    std::size_t start = 0;
    while (start < hexText.size()) {
        std::size_t end = hexText.find('\n', start);
        if (end == std::string::npos)
            end = hexText.size();
        std::string line = hexText.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (line.size() < 11 || line[0] != ':')
            continue;
        auto byteAt = [&](std::size_t pos) { return static_cast<unsigned>(std::stoul(line.substr(pos, 2), nullptr, 16)); };
        const unsigned count = byteAt(1);
        const unsigned address = byteAt(3) * 256 + byteAt(5);
        unsigned sum = 0;
        for (std::size_t pos = 1; pos + 1 < line.size(); pos += 2)
            sum += byteAt(pos);
        EXPECT_EQ(line.size(), 11 + 2 * count) << line;
        EXPECT_EQ(sum & 0xFF, 0u) << "bad checksum: " << line;
        if (byteAt(7) != 0)
            continue;
        for (unsigned i = 0; i < count && address + i < size; ++i)
            image[address + i] = static_cast<std::uint8_t>(byteAt(9 + 2 * i));
    }
    return image;
}

std::string HexText(const std::vector<std::uint8_t>& data)
{
    std::string text;
    char field[16];
    for (std::size_t address = 0; address < data.size(); address += 16) {
        const std::size_t count = std::min<std::size_t>(16, data.size() - address);
        unsigned sum = static_cast<unsigned>(count + (address >> 8) + (address & 0xFF));
        std::snprintf(field, sizeof field, ":%02X%04X00", static_cast<unsigned>(count), static_cast<unsigned>(address));
        text += field;
        for (std::size_t i = 0; i < count; ++i) {
            std::snprintf(field, sizeof field, "%02X", data[address + i]);
            text += field;
            sum += data[address + i];
        }
        std::snprintf(field, sizeof field, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
        text += field;
    }
    return text + ":00000001FF\r\n";
}

std::vector<std::uint8_t> Pattern(std::size_t size, unsigned seed)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 7 + seed * 13 + (i >> 8)) & 0xFF);
    return bytes;
}

ScriptFixture::ScriptFixture()
    : portConfigEnv_("ZP_PORTLIB_CONFIG", scratch_.File("ZeltoProgBasic.cfg")),
      demoDirEnv_("ZP_DEMO_DIR", scratch_.Path())
{
    ResetMainUnit();
    tk::App().Reset();
    tk::UseMainResources();
    tk::App().SetTitle(tk::LoadStr(S_APPLICATION_TITLE));
    // Language modules and help files are named after the program file,
    // which lies beside the test.
    SetProgramFilePath(ExecutableFolder() + "ZeltoPrg.exe");
    WriteTextFile(scratch_.File("ZeltoProgBasic.cfg"), "PORTS=378\nBIDIR=378\nTRACE=1\n");
    WriteTextFile(scratch_.File("DemoPlugin.cfg"), "DEVICE=ATDEMO8\nTRACE=1\n");
}

ScriptFixture::~ScriptFixture()
{
    tk::App().Reset();
    // The main window's buttons took their hooks with them.
    for (THookKind kind : {hkCallWndProc, hkCbt, hkGetMessage})
        EXPECT_EQ(HookKindState(kind).handle, nullptr) << "hook kind " << static_cast<int>(kind) << " left behind";
    form_ = nullptr;
    ResetMainUnit();
    tk::UseMainResources();
    SetProgramFilePath("");
    ZpSetCommandMode(0);
}

TMainForm& ScriptFixture::CreateForms(bool commandMode)
{
    ZpSetCommandMode(commandMode ? 1 : 0);
    tk::Application& app = tk::App();
    form_ = app.CreateForm<TMainForm>(driver_.System());
    app.CreateForm<TAboutBox>();
    app.CreateForm<TSystemInfo>(&form_->Port1, form_->FPortCount);
    app.CreateForm<TFillForm>();
    // The plug-in browser is left out: its scan loads every library of the
    // folder twice, and each load of a stand-in plug-in keeps one
    // thread-local slot of the process, which a few dozen tests use up.
    app.CreateForm<TSBForm>();
    app.CreateForm<TCloneForm>();
    return *form_;
}

void ScriptFixture::Run(const std::vector<std::string>& parameters) { ProcessCommandLine(*form_, parameters); }

std::string ScriptFixture::WriteScript(const std::string& name, const std::string& text)
{
    const std::string path = scratch_.File(name);
    EXPECT_TRUE(WriteTextFile(path, text));
    return path;
}

bool ScriptFixture::LoadPlugInAndIdentify()
{
    Run({"LOADPLUGIN=DemoPlugin.dll", "GETCHIPID=TRUE"});
    return MainUnit().PlugInLoaded == 1 && MainUnit().DeviceName == "ATDEMO8";
}

std::vector<std::uint8_t> ScriptFixture::ChipFlash() const
{
    return ReadChipFile(scratch_.File("ATDEMO8.flash"), kDemoFlashSize);
}

std::vector<std::uint8_t> ScriptFixture::ChipEEprom() const
{
    return ReadChipFile(scratch_.File("ATDEMO8.eeprom"), kDemoEEpromSize);
}

void ScriptFixture::SeedChip(const std::vector<std::uint8_t>& flash, const std::vector<std::uint8_t>& eeprom)
{
    ASSERT_TRUE(WriteTextFile(scratch_.File("ATDEMO8.flash"), std::string(flash.begin(), flash.end())));
    ASSERT_TRUE(WriteTextFile(scratch_.File("ATDEMO8.eeprom"), std::string(eeprom.begin(), eeprom.end())));
}

std::vector<std::string> ScriptFixture::PlugInTrace() const { return ReadLines(scratch_.File("DemoPlugin.trace")); }

void ScriptFixture::ClearPlugInTrace() { ::DeleteFileA(scratch_.File("DemoPlugin.trace").c_str()); }

std::vector<std::string> ScriptFixture::PortLibraryTrace() const
{
    return ReadLines(scratch_.File("ZeltoProgBasic.trace"));
}

std::vector<std::int32_t> ScriptFixture::Bytes(const std::vector<std::uint8_t>& data) const
{
    return std::vector<std::int32_t>(data.begin(), data.end());
}
