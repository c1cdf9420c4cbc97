// The English string table as the program loads it: the fixed numbers that
// every language module shares, texts that must arrive byte for byte (odd
// spacing, trailing blanks, CR LF pairs), and the consistency of the id list
// with what the resource compiler actually put into the module.
#include "resources/StringIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

struct NamedId {
    const char* name;
    unsigned id;
};

const std::vector<NamedId>& AllIds()
{
    static const std::vector<NamedId> ids = {
#define ZP_STRING_ID(name) {#name, name},
#include "StringIdList.inc"
#undef ZP_STRING_ID
    };
    return ids;
}

// Loads through the same call the program uses. The buffer is far larger than
// any entry, so a result that fills it means a cut text.
std::string Load(unsigned id)
{
    char buffer[8192];
    int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    EXPECT_LT(length, static_cast<int>(sizeof buffer) - 1) << "string " << id << " was cut";
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

TEST(StringTable, FixedNumbersCarryTheirTexts)
{
    // These numbers are shared with every language module and named in the
    // program's messages; both the number and the text must hold.
    const std::vector<std::pair<unsigned, std::string>> fixed = {
        {65184, "Insert the clone device #%s in its socket and press OK\r\nor press Cancel to terminate the "
                "cloning process.\r\nThe clone device must be the same kind as the original one!"},
        {65185, "Errors while programming: %s @ Flash and %s @ EEPROM"},
        {65186, "Errors while programming: %s @ Flash."},
        {65187, "Errors while programming: %s @ EEprom."},
        {65188, "Remove the clone device from its socket."},
        {65189, "%s Serial Numbering is active.\r\nStarting Address [$%s]\r\na number of [%s] bytes\r\nwill be "
                "filled with a value of [$%s]\r\nincremented by [%s] for each clone.\r\nBytes order is [%s] "
                "first\r\nMaximum number of clones is [%s]"},
        {65190, "Serial Numbering while cloning was active\r\nWith clone [%s], the cloning process has ended."},
        {65191, "Modifying Flash and/or EEprom data to\r\nreflect serial numbering for clone #%s."},
        {65193, "Line [%s=%s] contains a syntax error\r\nApplication will now terminate."},
        {65194, "The Following error occured while reading the script file: "},
        {65195, "Script files cannot contain calls to other script files."},
        {65214, "Do you wish to clone more than one device?"},
        {65215, "Insert the original device in its socket and press OK"},
        {65234, "Read %s for %s:"},
        {65235, "%s programming has been canceled"},
        {65264, "No device detected!"},
        {65274, "Flash programmed successfully"},
        {65275, "Flash and EEPROM programmed successfully"},
        {65288, "This is not a correct integer value."},
        {65289, "Start Address Too High"},
        {65290, "Too many bytes to fill.\r\nAddresses get out of range."},
        {65291, "Starting value is too high.\r\nIt does not fit in the number of bytes to fill"},
        {65293, "No Plug-In selected.\r\nAll pending operations will be canceled"},
        {65294, "Device did not power up.\r\nOperation has been canceled"},
        {65295, "Device could not be enabled for programming.\r\nOperation has been canceled"},
        {65315, "A TDock control cannot be placed inside a tool window or another TDock"},
        {65316, "Cannot change Position of a TDock if it already contains controls"},
        {65317, "A tool window can only be placed on a TDock or directly on the form"},
        {65318, "TToolbarSep can only be placed on a TToolbar"},
    };
    for (const auto& [id, text] : fixed)
        EXPECT_EQ(Load(id), text) << "string " << id;

    // The names the code uses must be those numbers.
    EXPECT_EQ(S_CLONE_INSERT_CLONE_DEVICE, 65184);
    EXPECT_EQ(S_PROGRAM_BOTH_ERRORS, 65185);
    EXPECT_EQ(S_SCRIPT_SYNTAX_ERROR, 65193);
    EXPECT_EQ(S_SCRIPT_READ_ERROR, 65194);
    EXPECT_EQ(S_SCRIPT_CALLS_SCRIPT, 65195);
    EXPECT_EQ(S_CLONE_MORE_THAN_ONE_DEVICE, 65214);
    EXPECT_EQ(S_SB_READ_CATEGORY_FOR_DEVICE, 65234);
    EXPECT_EQ(S_NO_DEVICE_DETECTED, 65264);
    EXPECT_EQ(S_FLASH_PROGRAMMED_OK, 65274);
    EXPECT_EQ(S_FLASH_AND_EEPROM_PROGRAMMED_OK, 65275);
    EXPECT_EQ(S_CLONE_NOT_AN_INTEGER, 65288);
    EXPECT_EQ(S_NO_PLUGIN_SELECTED, 65293);
    EXPECT_EQ(S_DEVICE_NOT_POWERED_UP, 65294);
    EXPECT_EQ(S_DEVICE_NOT_ENABLED, 65295);
    EXPECT_EQ(S_DOCK_INSIDE_TOOLWINDOW, 65315);
    EXPECT_EQ(S_TOOLBARSEP_PARENT_NOT_ALLOWED, 65318);
}

TEST(StringTable, TextsArriveByteForByte)
{
    // Long text with blank lines and an indented continuation line.
    EXPECT_EQ(Load(S_PORT_DRIVER_NOT_INITIALIZED),
              "The parallel port device driver could not be initialized.\r\n\r\nPossible causes would be:\r\n\r\n"
              "1. If under Win98/Me, try restarting the computer\r\n\r\n2. If Under Win NT/Win2K, only a user with "
              "administrative rights\r\n   can start device drivers. Check your user rights or change to Win98/Me");
    EXPECT_EQ(Load(S_PORT_NOT_BIDIRECTIONAL),
              "The port currently used at $%s is not bidirectional.\r\nThe plug-ins requiring a bidirectional port "
              "will not work on your PC.\r\nTry see if your motherboard's BIOS supports ECP parallel ports.");
    EXPECT_EQ(Load(S_PLUGIN_FUNCTION_MISSING),
              "Procedure or function %s\r\ncould not be found in %s\r\nApplication will now terminate");

    // Trailing blanks that code relies on when it appends the rest.
    EXPECT_EQ(Load(S_MAIN_CAPTION_PREFIX), "ZELTO Raz-Edezadu Divudavizu ");
    EXPECT_EQ(Load(S_MAIN_CAPTION_USING_LIBRARY), "using library ");
    EXPECT_EQ(Load(S_PLUGINS_DEVICE_LIST),
              "The selected library implements programming \r\nfor the following %s devices:\r\n%s");

    // Two blanks before the number; the data error lacks the final period.
    EXPECT_EQ(Load(S_HEX_CAPACITY_EXCEEDED),
              "The file %s\r\ncontains data that exceeds the capacity of  %s bytes\r\nData was discarded.");
    EXPECT_EQ(Load(S_HEX_DATA_FORMAT_ERROR),
              "There is an error in the file %s :\r\n%s at line %s position %s\r\nData was discarded");
    EXPECT_EQ(Load(S_HEX_FORMAT_ERROR), "There is an error in the file %s :\r\n%s at line %s\r\nData was discarded.");
    EXPECT_EQ(Load(S_HEX_INVALID_CHECKSUM), "[Invalid Checksum]");

    // Placeholders and the "$" the port texts put before them.
    EXPECT_EQ(Load(S_PORT_PROGRAMMER_OK), "Port $%s; Programming Device OK!");
    EXPECT_EQ(Load(S_PROGRAMMER_NOT_FOUND),
              "The programming device was not found.\r\nIt is safe to plug it now in the parallel port $%s");
    EXPECT_EQ(Load(S_DEVICE_CHARACTERISTICS), "Characteristics: %s bytes Flash ; %s bytes EEPROM");
    EXPECT_EQ(Load(S_PROGRAMMING_FLASH_PROGRESS), "Programming Flash address %s%s; %s errors; Press ESC to abort.");
    EXPECT_EQ(Load(S_VERIFYING_EEPROM_PROGRESS), "Verifying EEprom address %s%s. Press ESC to abort.");
    EXPECT_EQ(Load(S_PROGRAM_FLASH_ERRORS), "%s error(s) detected while programming the Flash.");
    EXPECT_EQ(Load(S_READ_FLASH_ERRORS), "%s error(s) detected while reading the Flash");
    EXPECT_EQ(Load(S_NOT_A_CORRECT_HEX_NUMBER), "%s is not a correct HEX number.");
    EXPECT_EQ(Load(S_TK_NOT_A_VALID_INTEGER), "'%s' is not a valid integer value");
    EXPECT_EQ(Load(S_SYSINFO_READ_MODE_ON),
              "During reads, the Control port is no longer accesible\r\nand it will be controled internally.");

    // Captions set from code.
    EXPECT_EQ(Load(S_PORT_3BC), "Port $3BC");
    EXPECT_EQ(Load(S_NO_DEVICE), "No Device");
    EXPECT_EQ(Load(S_SYSINFO_USED_PORT), "Used Port: $");
    EXPECT_EQ(Load(S_FILL_NO_EEPROM_DATA), "No EEPROM data!");
}

TEST(StringTable, EveryIdResolvesToWellFormedText)
{
    ASSERT_GT(AllIds().size(), 100u);
    for (const NamedId& entry : AllIds()) {
        std::string text = Load(entry.id);
        EXPECT_FALSE(text.empty()) << entry.name << " (" << entry.id << ") is missing";

        // An escape the resource compiler did not turn into a byte would
        // show up as a backslash; line breaks are always CR LF pairs.
        EXPECT_EQ(text.find('\\'), std::string::npos) << entry.name;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r') {
                EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << entry.name << " lone CR at " << i;
            }
            if (text[i] == '\n') {
                EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << entry.name << " lone LF at " << i;
            }
            // Format takes %s and %d here; anything else would raise at run time.
            if (text[i] == '%') {
                ASSERT_LT(i + 1, text.size()) << entry.name << " ends in %";
                char type = text[i + 1];
                EXPECT_TRUE(type == 's' || type == 'd' || type == '%') << entry.name << " has %" << type;
                ++i;
            }
        }
    }
}

TEST(StringTable, IdsAreUniqueAndOutsideTheToolkitRange)
{
    std::map<unsigned, const char*> byNumber;
    for (const NamedId& entry : AllIds()) {
        EXPECT_LT(entry.id, 65536u) << entry.name;
        EXPECT_FALSE(entry.id >= 65400 && entry.id <= 65499) << entry.name << " lies in the toolkit's range";
        auto [it, inserted] = byNumber.emplace(entry.id, entry.name);
        EXPECT_TRUE(inserted) << entry.name << " shares " << entry.id << " with " << it->second;
    }
}

BOOL CALLBACK CollectStringBlock(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<unsigned>*>(param)->push_back(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

TEST(StringTable, ModuleHoldsNoEntryWithoutAName)
{
    // An entry written with a bare number, or left behind after its name was
    // removed, would never be loaded by code and never be translated.
    std::vector<unsigned> blocks;
    EnumResourceNamesA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(6) /* RT_STRING */, CollectStringBlock,
                       reinterpret_cast<LONG_PTR>(&blocks));
    ASSERT_FALSE(blocks.empty());

    std::set<unsigned> named;
    for (const NamedId& entry : AllIds())
        named.insert(entry.id);

    std::set<unsigned> present;
    for (unsigned block : blocks) {
        for (unsigned id = (block - 1) * 16; id < block * 16; ++id) {
            char buffer[16];
            if (LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer) > 0)
                present.insert(id);
        }
    }
    for (unsigned id : present)
        EXPECT_TRUE(named.count(id)) << "string " << id << " has no name in StringIds.h";
    EXPECT_EQ(present.size(), named.size());
}

} // namespace
