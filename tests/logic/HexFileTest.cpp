// Intel HEX reader and writer: exact file bytes, every format and capacity
// error with its message, extended address records for large buffers,
// round trips, and saves that fail without harming the previous file.
#include "programmer/HexFile.h"

#include "resources/StringIds.h"
#include "toolkit/Exceptions.h"
#include "toolkit/StrConv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace fs = std::filesystem;
using Buffer = THexFile::TBuffer;

namespace {

constexpr const char* kName = "t.hex";

THexFile MakeHexFile(const Buffer& buffer, const std::string& fileName = kName)
{
    THexFile hex;
    hex.FileName = fileName;
    hex.BufSize = static_cast<std::int32_t>(buffer.size()) - 1;
    hex.FillByte = 255;
    return hex;
}

void LoadText(const std::string& text, Buffer& buffer)
{
    THexFile hex = MakeHexFile(buffer);
    std::istringstream stream(text);
    hex.LoadFromStream(stream, buffer);
}

std::string SaveText(const Buffer& buffer)
{
    THexFile hex = MakeHexFile(buffer);
    std::ostringstream stream;
    hex.SaveToStream(stream, buffer);
    return stream.str();
}

// The message of the exception LoadText raises, checked for its type.
template <typename E>
std::string LoadError(const std::string& text, Buffer& buffer)
{
    try {
        LoadText(text, buffer);
    } catch (const E& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return std::string("unexpected exception: ") + e.what();
    }
    return "no exception";
}

std::string FormatMessage(const std::string& label, int line)
{
    return "There is an error in the file t.hex :\r\n" + label + " at line " + std::to_string(line) +
           "\r\nData was discarded.";
}

bool AllEqual(const Buffer& buffer, std::int32_t value)
{
    return std::all_of(buffer.begin(), buffer.end(), [value](std::int32_t v) { return v == value; });
}

Buffer RandomBytes(std::size_t size, std::mt19937& random)
{
    std::uniform_int_distribution<int> byte(0, 255);
    Buffer buffer(size);
    for (auto& value : buffer)
        value = byte(random);
    return buffer;
}

class TempDir {
public:
    TempDir()
    {
        static int counter = 0;
        path_ = fs::temp_directory_path() /
                ("zp_hexfile_" + std::to_string(std::random_device{}()) + "_" + std::to_string(++counter));
        fs::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::size_t EntryCount() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(path_), {})); }

private:
    fs::path path_;
};

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

} // namespace

// ---------------------------------------------------------------------------
// Writing

TEST(HexFileSave, WritesSixteenByteRecordsAndTheEndRecordExactly)
{
    EXPECT_EQ(SaveText(Buffer(32, 0)),
              ":1000000000000000000000000000000000000000F0\r\n"
              ":1000100000000000000000000000000000000000E0\r\n"
              ":00000001FF\r\n");
}

TEST(HexFileSave, LastRecordCarriesOnlyTheRemainingBytes)
{
    Buffer buffer(20);
    for (int i = 0; i < 20; ++i)
        buffer[static_cast<std::size_t>(i)] = i;
    EXPECT_EQ(SaveText(buffer),
              ":10000000000102030405060708090A0B0C0D0E0F78\r\n"
              ":0400100010111213A6\r\n"
              ":00000001FF\r\n");
}

TEST(HexFileSave, UpperCaseDigitsAndLowByteOfOutOfRangeValues)
{
    EXPECT_EQ(SaveText({0xab, 0xcd}), ":02000000ABCD86\r\n:00000001FF\r\n");
    EXPECT_EQ(SaveText({0x1FF, -1, 256, 0x12345678}), ":04000000FFFF007886\r\n:00000001FF\r\n");
}

TEST(HexFileSave, A1024ElementBufferGives64RecordsThenTheEndRecord)
{
    std::istringstream lines(SaveText(Buffer(1024, 0x5A)));
    std::string line;
    for (int r = 0; r < 64; ++r) {
        ASSERT_TRUE(std::getline(lines, line));
        char address[8];
        std::snprintf(address, sizeof address, "%04X", r * 16);
        EXPECT_EQ(line.substr(0, 9), std::string(":10") + address + "00") << r;
        EXPECT_EQ(line.size(), 44u);
    }
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, ":00000001FF\r");
    EXPECT_FALSE(std::getline(lines, line));
}

TEST(HexFileSave, UpTo64KiBNoExtendedRecords)
{
    std::string text = SaveText(Buffer(0x10000, 1));
    EXPECT_EQ(text.find(":02000004"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4096 + 1);
    EXPECT_NE(text.find(":10FFF000"), std::string::npos);
}

TEST(HexFileSave, BeyondSixtyFourKiBEachSegmentGetsAnExtendedLinearAddress)
{
    Buffer buffer(0x20001, 0);
    buffer[0x10000] = 0x11;
    buffer[0x20000] = 0x22;
    std::string text = SaveText(buffer);
    std::string segment1 = ":020000040001F9\r\n:1000000011000000000000000000000000000000DF\r\n";
    std::string segment2 = ":020000040002F8\r\n:0100000022DD\r\n:00000001FF\r\n";
    EXPECT_NE(text.find(segment1), std::string::npos);
    ASSERT_GE(text.size(), segment2.size());
    EXPECT_EQ(text.substr(text.size() - segment2.size()), segment2);
    EXPECT_EQ(text.find(":02000004"), text.find(segment1)); // none ahead of the first segment
}

TEST(HexFileSave, SizeChecksComeFirstInOrder)
{
    THexFile hex;
    hex.FileName = kName;
    std::ostringstream out;
    Buffer five(5, 0);
    hex.BufSize = 0;
    try {
        hex.SaveToStream(out, five);
        FAIL();
    } catch (const EHexFileError& e) {
        EXPECT_EQ(e.Message(), "THexFile.Load: Data buffer has a different size than BufferSize");
    }
    Buffer one(1, 0);
    try {
        hex.SaveToStream(out, one);
        FAIL();
    } catch (const EHexFileError& e) {
        EXPECT_EQ(e.Message(), "THexFile.Load: Data Buffer can't have a zero length");
    }
    Buffer none;
    hex.BufSize = -1;
    EXPECT_THROW(hex.SaveToStream(out, none), EHexFileError);
    EXPECT_TRUE(out.str().empty());
}

// ---------------------------------------------------------------------------
// Reading

TEST(HexFileLoad, EndRecordAloneLeavesEveryElementAtFillByte)
{
    Buffer buffer(64, 7);
    LoadText(":00000001FF\r\n", buffer);
    EXPECT_TRUE(AllEqual(buffer, 255));
}

TEST(HexFileLoad, AFileWithoutItsEndRecordIsCutOffAndDiscarded)
{
    // Cut at a line boundary: every record that is there is sound.
    const std::string records = ":0400100001020304E2\r\n:0400000005060708E2\r\n";
    Buffer buffer(20, 7);
    EXPECT_EQ(LoadError<EHexFileError>(records, buffer), FormatMessage("[Missing End Record]", 3));
    EXPECT_TRUE(AllEqual(buffer, 255));
    buffer.assign(20, 7);
    EXPECT_EQ(LoadError<EHexFileError>("", buffer), FormatMessage("[Missing End Record]", 1));
    EXPECT_TRUE(AllEqual(buffer, 255));
    EXPECT_EQ(LoadError<EHexFileError>(":0400100001020304E2", buffer), FormatMessage("[Missing End Record]", 2));
    // The end record may stand anywhere; what follows it still loads.
    LoadText(records + ":00000001FF\r\n:0100130009E3\r\n", buffer);
    EXPECT_EQ(buffer[0], 5);
    EXPECT_EQ(buffer[19], 9);
}

TEST(HexFileLoad, DataRecordStoresItsBytesAtTheirAddresses)
{
    Buffer buffer(20, 0);
    LoadText(":0400100001020304E2\r\n:00000001FF\r\n", buffer);
    EXPECT_EQ(Buffer(buffer.begin() + 16, buffer.end()), (Buffer{1, 2, 3, 4}));
    EXPECT_TRUE(AllEqual(Buffer(buffer.begin(), buffer.begin() + 16), 255));
}

TEST(HexFileLoad, LowerCaseDigitsAndRecordsAfterTheEndRecord)
{
    Buffer buffer(4, 0);
    LoadText(":00000001ff\r\n:02000200abcd84\r\n", buffer);
    EXPECT_EQ(buffer, (Buffer{255, 255, 0xab, 0xcd}));
}

TEST(HexFileLoad, LineEndsMayBeCrLfOrLfAndTheLastMayBeMissing)
{
    Buffer expected(20, 255);
    expected[16] = 1, expected[17] = 2, expected[18] = 3, expected[19] = 4;
    for (const char* text : {":0400100001020304E2\n:00000001FF\n", ":0400100001020304E2\r\n:00000001FF",
                             ":0400100001020304E2\n:00000001FF\r\n"}) {
        Buffer buffer(20, 0);
        LoadText(text, buffer);
        EXPECT_EQ(buffer, expected) << text;
    }
}

TEST(HexFileLoad, RecordTypeIsReadInDecimal)
{
    Buffer buffer(4, 0);
    // Type "10" is decimal ten, a record without data; the checksum still
    // sums the field as the hexadecimal byte 10.
    LoadText(":00000010F0\r\n:00000001FF\r\n", buffer);
    EXPECT_TRUE(AllEqual(buffer, 255));
    EXPECT_EQ(LoadError<EHexFileError>(":0000000AF6\r\n", buffer), FormatMessage("[Invalid Record Type]", 1));
    EXPECT_EQ(LoadError<EHexFileError>(":000000-1FF\r\n", buffer), FormatMessage("[Invalid Record Type]", 1));
    EXPECT_EQ(LoadError<EHexFileError>(":000000-2FF\r\n", buffer), FormatMessage("[Invalid Record Type]", 1));
}

TEST(HexFileLoad, EachFormatErrorNamesItsLabelAndLineAndDiscardsTheData)
{
    const std::string good = ":0400100001020304E2\r\n";
    struct Case {
        std::string line;
        const char* label;
    } cases[] = {
        {"", "[Invalid Record Marker]"},
        {"0400100001020304E2", "[Invalid Record Marker]"},
        {":G400100001020304E2", "[Invalid Record Length]"},
        {":", "[Invalid Record Length]"},
        {":04001G0001020304E2", "[Invalid Start Address]"},
        {":04", "[Invalid Start Address]"},
        {":040010", "[Invalid Record Type]"},
        {":040010XY01020304E2", "[Invalid Record Type]"},
        {":0400100001020304E3", "[Invalid Checksum]"},
        {":0100000401FA", "[Invalid Record Length]"}, // an address record must carry two bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Buffer buffer(20, 0);
        EXPECT_EQ(LoadError<EHexFileError>(good + good + c.line + "\r\n" + good, buffer), FormatMessage(c.label, 3));
        EXPECT_TRUE(AllEqual(buffer, 255));
    }
}

TEST(HexFileLoad, BlankLineIsAnInvalidRecordMarker)
{
    Buffer buffer(20, 0);
    EXPECT_EQ(LoadError<EHexFileError>(":0400100001020304E2\r\n\r\n:00000001FF\r\n", buffer),
              FormatMessage("[Invalid Record Marker]", 2));
    EXPECT_TRUE(AllEqual(buffer, 255));
    // Only the last line end is not a line of its own.
    EXPECT_EQ(LoadError<EHexFileError>(":00000001FF\r\n\r\n", buffer), FormatMessage("[Invalid Record Marker]", 2));
}

TEST(HexFileLoad, InvalidDataNamesLineAndPosition)
{
    Buffer buffer(20, 0);
    std::string text = ":0400100001020304E2\r\n:00000001FF\r\n:01000000G1EE\r\n";
    EXPECT_EQ(LoadError<EHexFileError>(text, buffer),
              "There is an error in the file t.hex :\r\n[Invalid Data] at line 3 position 10\r\nData was discarded");
    EXPECT_TRUE(AllEqual(buffer, 255));
    EXPECT_EQ(LoadError<EHexFileError>(":0200000001\r\n", buffer),
              "There is an error in the file t.hex :\r\n[Invalid Data] at line 1 position 12\r\nData was discarded");
}

TEST(HexFileLoad, DataBeyondTheBufferIsACapacityError)
{
    Buffer buffer(1024, 0);
    EXPECT_EQ(LoadError<EHexFileError>(":0403FD0001020304F2\r\n", buffer),
              "The file t.hex\r\ncontains data that exceeds the capacity of  1024 bytes\r\nData was discarded.");
    EXPECT_TRUE(AllEqual(buffer, 255));
    // The last address of the buffer itself is fine.
    LoadText(":0103FF0042BB\r\n:00000001FF\r\n", buffer);
    EXPECT_EQ(buffer[1023], 0x42);
}

TEST(HexFileLoad, UnvalidatedFieldsRaiseTheConversionErrorAndStillDiscard)
{
    const char* lines[] = {
        ":0400100001020304ZZ", // checksum field
        ":000000+1FF",         // type that is decimal but not hexadecimal
        ":01000003ZZ00",       // data of a record without data
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        Buffer buffer(20, 0);
        std::string text = std::string(":0400100001020304E2\r\n") + line + "\r\n";
        EXPECT_NE(LoadError<tk::EConvertError>(text, buffer).find("is not a valid integer value"), std::string::npos);
        EXPECT_TRUE(AllEqual(buffer, 255));
    }
}

TEST(HexFileLoad, ExtendedAddressRecordsMoveDataUpNeverDown)
{
    Buffer big(0x10010, 0);
    // Segment base 1000h * 16, then linear base 0, then linear base 1.
    LoadText(":020000021000EC\r\n:0100000042BD\r\n"
             ":020000040000FA\r\n:0100000043BC\r\n"
             ":020000040001F9\r\n:0100010044BA\r\n:00000001FF\r\n",
             big);
    EXPECT_EQ(big[0x10000], 0x42);
    EXPECT_EQ(big[0], 0x43);
    EXPECT_EQ(big[0x10001], 0x44);

    Buffer small(1024, 0);
    EXPECT_EQ(LoadError<EHexFileError>(":020000040001F9\r\n:0100000042BD\r\n", small),
              "The file t.hex\r\ncontains data that exceeds the capacity of  1024 bytes\r\nData was discarded.");
}

TEST(HexFileLoad, SizeChecksRefuseBeforeTouchingTheBuffer)
{
    THexFile hex;
    hex.FileName = kName;
    hex.FillByte = 255;
    std::istringstream in(":00000001FF\r\n");
    Buffer one(1, 9);
    hex.BufSize = 0;
    try {
        hex.LoadFromStream(in, one);
        FAIL();
    } catch (const EHexFileError& e) {
        EXPECT_EQ(e.Message(), "THexFile.Load: Data Buffer can't have a zero length");
    }
    EXPECT_EQ(one, Buffer{9});
    Buffer four(4, 9);
    hex.BufSize = 4;
    try {
        hex.LoadFromStream(in, four);
        FAIL();
    } catch (const EHexFileError& e) {
        EXPECT_EQ(e.Message(), "THexFile.Load: Data buffer has a different size than BufferSize");
    }
    EXPECT_TRUE(AllEqual(four, 9));
}

TEST(HexFileLoad, TextsComeFromTheStringSource)
{
    auto previous = tk::SetStringSource([](unsigned id) -> std::string {
        if (id == S_HEX_INVALID_CHECKSUM)
            return "[Falsche Prüfsumme]";
        if (id == S_HEX_FORMAT_ERROR)
            return "%s: %s (%s)";
        return std::string(); // the English text for everything else
    });
    Buffer buffer(20, 0);
    std::string message = LoadError<EHexFileError>(":0400100001020304E3\r\n", buffer);
    std::string blank = LoadError<EHexFileError>("\r\n", buffer);
    tk::SetStringSource(previous);
    EXPECT_EQ(message, "t.hex: [Falsche Prüfsumme] (1)");
    EXPECT_EQ(blank, "t.hex: [Invalid Record Marker] (1)");
    EXPECT_EQ(LoadError<EHexFileError>("\r\n", buffer), FormatMessage("[Invalid Record Marker]", 1));
}

// ---------------------------------------------------------------------------
// Round trips

TEST(HexFileRoundTrip, RandomBuffersOfManySizes)
{
    std::mt19937 random(20240613);
    std::vector<std::size_t> sizes = {2, 3, 15, 16, 17, 31, 255, 256, 1000, 1023, 4097,
                                      65535, 65536, 65537, 65551, 131072, 200003};
    std::uniform_int_distribution<std::size_t> anySize(2, 140000);
    for (int i = 0; i < 12; ++i)
        sizes.push_back(anySize(random));
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        Buffer original = RandomBytes(size, random);
        Buffer loaded(size, 0);
        LoadText(SaveText(original), loaded);
        ASSERT_EQ(loaded, original);
    }
}

TEST(HexFileRoundTrip, A1000ElementBufferThroughAFile)
{
    TempDir dir;
    std::mt19937 random(1000);
    Buffer original = RandomBytes(1000, random);
    THexFile writer = MakeHexFile(original, dir.File("flash.hex"));
    writer.SaveToFile(original);

    Buffer loaded(1000, 0);
    THexFile reader = MakeHexFile(loaded, dir.File("flash.hex"));
    reader.LoadFromFile(loaded);
    EXPECT_EQ(loaded, original);
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(HexFileRoundTrip, OneHundredTwentyEightKiBThroughAFile)
{
    TempDir dir;
    std::mt19937 random(128);
    Buffer original = RandomBytes(128 * 1024, random);
    MakeHexFile(original, dir.File("big.hex")).SaveToFile(original);
    std::string bytes = ReadBytes(dir.File("big.hex"));
    EXPECT_NE(bytes.find(":020000040001F9\r\n"), std::string::npos);

    Buffer loaded(original.size(), 0);
    MakeHexFile(loaded, dir.File("big.hex")).LoadFromFile(loaded);
    EXPECT_EQ(loaded, original);
}

// ---------------------------------------------------------------------------
// Files

TEST(HexFileFiles, SaveReplacesAnExistingFile)
{
    TempDir dir;
    std::string path = dir.File("eeprom.eep");
    WriteBytes(path, std::string(5000, 'x'));
    Buffer buffer(2, 0);
    MakeHexFile(buffer, path).SaveToFile(buffer);
    EXPECT_EQ(ReadBytes(path), ":020000000000FE\r\n:00000001FF\r\n");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(HexFileFiles, FailedSaveLeavesThePreviousFileByteForByte)
{
    TempDir dir;
    std::string path = dir.File("flash.hex");
    std::mt19937 random(7);
    Buffer first = RandomBytes(300, random);
    MakeHexFile(first, path).SaveToFile(first);
    const std::string before = ReadBytes(path);

    Buffer second = RandomBytes(300, random);
    for (int failingLine : {1, 3, 20}) { // the first, a middle and the end record
        SCOPED_TRACE(failingLine);
        THexFile hex = MakeHexFile(second, path);
        hex.LineWriteFault = [failingLine](int line) { return line == failingLine; };
        try {
            hex.SaveToFile(second);
            FAIL() << "failure reported as success";
        } catch (const tk::EInOutError& e) {
            EXPECT_EQ(e.Message(), "Disk full");
        }
        EXPECT_EQ(ReadBytes(path), before);
        EXPECT_EQ(dir.EntryCount(), 1u);
    }
}

TEST(HexFileFiles, FailedSaveCreatesNoFile)
{
    TempDir dir;
    Buffer buffer(64, 0);
    THexFile hex = MakeHexFile(buffer, dir.File("new.hex"));
    hex.LineWriteFault = [](int line) { return line == 2; };
    EXPECT_THROW(hex.SaveToFile(buffer), tk::EInOutError);
    EXPECT_EQ(dir.EntryCount(), 0u);

    THexFile nowhere = MakeHexFile(buffer, dir.File("missing") + "/" + "new.hex");
    EXPECT_THROW(nowhere.SaveToFile(buffer), tk::EInOutError);
    EXPECT_EQ(dir.EntryCount(), 0u);
}

TEST(HexFileFiles, AMissingFileAfterAGoodLoadLeavesAllFillByte)
{
    TempDir dir;
    Buffer buffer(16, 0);
    WriteBytes(dir.File("good.hex"), ":0400000001020304F2\r\n:00000001FF\r\n");
    MakeHexFile(buffer, dir.File("good.hex")).LoadFromFile(buffer);
    ASSERT_EQ(buffer[3], 4);
    THexFile hex = MakeHexFile(buffer, dir.File("absent.hex"));
    try {
        hex.LoadFromFile(buffer);
        FAIL();
    } catch (const tk::EInOutError& e) {
        EXPECT_EQ(e.Message(), "File not found");
    }
    EXPECT_TRUE(AllEqual(buffer, 255)) << "the previous file's data must not pass for this one's";
}

TEST(HexFileFiles, SaveNeverTouchesAUsersFileBesideTheTarget)
{
    TempDir dir;
    const std::string path = dir.File("flash.hex");
    // Names an earlier version wrote beside the target, and ones like its own.
    const char* const kUsersFiles[] = {"flash.hex.~tmp", "~000", "~1234567"};
    for (const char* name : kUsersFiles)
        WriteBytes(dir.File(name), std::string("mine: ") + name);
    Buffer buffer(2, 0);
    MakeHexFile(buffer, path).SaveToFile(buffer);
    EXPECT_EQ(ReadBytes(path), ":020000000000FE\r\n:00000001FF\r\n");
    for (const char* name : kUsersFiles)
        EXPECT_EQ(ReadBytes(dir.File(name)), std::string("mine: ") + name);
    EXPECT_EQ(dir.EntryCount(), 4u) << "nothing of the save is left behind";
}

TEST(HexFileFiles, SaveToANameAsLongAsTheSystemAllows)
{
    TempDir dir;
    // 252 characters leave no room for a suffix within a file system's 255:
    // the temporary file must not be named after the target.
    const std::string path = dir.File(std::string(248, 'n') + ".hex");
    WriteBytes(path, "old");
    ASSERT_EQ(ReadBytes(path), "old") << "the system refuses this name itself";
    Buffer buffer(2, 0x11);
    MakeHexFile(buffer, path).SaveToFile(buffer);
    EXPECT_EQ(ReadBytes(path), ":020000001111DC\r\n:00000001FF\r\n");
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(HexFileFiles, FormatErrorFromAFileNamesThePath)
{
    TempDir dir;
    std::string path = dir.File("bad.hex");
    WriteBytes(path, ":0400100001020304E2\r\n:0400100001020304E3\r\n");
    Buffer buffer(20, 0);
    try {
        MakeHexFile(buffer, path).LoadFromFile(buffer);
        FAIL();
    } catch (const EHexFileError& e) {
        EXPECT_EQ(e.Message(), "There is an error in the file " + path +
                                   " :\r\n[Invalid Checksum] at line 2\r\nData was discarded.");
    }
    EXPECT_TRUE(AllEqual(buffer, 255));
}
