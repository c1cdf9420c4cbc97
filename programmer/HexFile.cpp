// HexFile: Intel HEX reader and writer over the Flash and EEPROM buffers.
//
// The dialect the programmer has always used: one record per line, 16-bit
// load addresses, a record type field read in decimal, an end record that does
// not stop reading. Buffers beyond 64 KiB additionally travel with extended
// linear address records (type 04), and the reader honours those and extended
// segment address records (type 02) so that high data never lands low.
#include "programmer/HexFile.h"

#include "resources/StringIds.h"
#include "toolkit/StrConv.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <istream>
#include <ostream>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// A text of the string table with its English default.
struct TextId {
    unsigned id;
    const char* english;
};

constexpr TextId kSizeMismatch{S_HEX_BUFFER_SIZE_MISMATCH,
                               "THexFile.Load: Data buffer has a different size than BufferSize"};
constexpr TextId kZeroLength{S_HEX_ZERO_LENGTH_BUFFER, "THexFile.Load: Data Buffer can't have a zero length"};
constexpr TextId kFormatError{S_HEX_FORMAT_ERROR,
                              "There is an error in the file %s :\r\n%s at line %s\r\nData was discarded."};
constexpr TextId kDataFormatError{
    S_HEX_DATA_FORMAT_ERROR, "There is an error in the file %s :\r\n%s at line %s position %s\r\nData was discarded"};
constexpr TextId kCapacityExceeded{
    S_HEX_CAPACITY_EXCEEDED,
    "The file %s\r\ncontains data that exceeds the capacity of  %s bytes\r\nData was discarded."};
constexpr TextId kInvalidRecordMarker{S_HEX_INVALID_RECORD_MARKER, "[Invalid Record Marker]"};
constexpr TextId kInvalidRecordLength{S_HEX_INVALID_RECORD_LENGTH, "[Invalid Record Length]"};
constexpr TextId kInvalidStartAddress{S_HEX_INVALID_START_ADDRESS, "[Invalid Start Address]"};
constexpr TextId kInvalidRecordType{S_HEX_INVALID_RECORD_TYPE, "[Invalid Record Type]"};
constexpr TextId kInvalidData{S_HEX_INVALID_DATA, "[Invalid Data]"};
constexpr TextId kInvalidChecksum{S_HEX_INVALID_CHECKSUM, "[Invalid Checksum]"};
constexpr TextId kMissingEndRecord{S_HEX_MISSING_END_RECORD, "[Missing End Record]"};
constexpr TextId kFileNotFound{S_TK_FILE_NOT_FOUND, "File not found"};
constexpr TextId kFileAccessDenied{S_TK_FILE_ACCESS_DENIED, "File access denied"};
constexpr TextId kDiskFull{S_TK_DISK_FULL, "Disk full"};
constexpr TextId kInOutError{S_TK_IO_ERROR, "I/O error %d"};

std::string Text(const TextId& text) { return tk::StringFor(text.id, text.english); }

std::string IoErrorText(int error)
{
    switch (error) {
    case ENOENT:
        return Text(kFileNotFound);
    case EACCES:
    case EPERM:
        return Text(kFileAccessDenied);
    case ENOSPC:
        return Text(kDiskFull);
    default:
        return tk::Format(Text(kInOutError), {error});
    }
}

// Substring by 1-based position that, like the reader has always done, yields
// a shorter or empty piece where the line ends early.
std::string_view Copy(std::string_view line, std::size_t position, std::size_t count)
{
    if (position < 1 || position > line.size())
        return {};
    return line.substr(position - 1, count);
}

bool TryHex(std::string_view field, std::int32_t& value)
{
    return tk::TryStrToInt("$" + std::string(field), value);
}

// The fields that the checksum sums but that were not validated before are
// read with the plain conversion: its error passes on unchanged.
std::int32_t Hex(std::string_view field) { return tk::StrToInt("$" + std::string(field)); }

// Reads one line ended by LF or CR LF; a final line end makes no extra line.
bool ReadLine(std::istream& stream, std::string& line)
{
    if (!std::getline(stream, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

constexpr int kDataRecord = 0;
constexpr int kEndRecord = 1;
constexpr int kExtendedSegmentAddress = 2;
constexpr int kExtendedLinearAddress = 4;
constexpr std::size_t kBytesPerRecord = 16;
constexpr std::size_t kSegmentSize = 0x10000;

void AppendHexByte(std::string& out, unsigned value)
{
    static const char digits[] = "0123456789ABCDEF";
    out += digits[(value >> 4) & 0xF];
    out += digits[value & 0xF];
}

#ifdef _WIN32
std::string SystemErrorText(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return Text(kFileNotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return Text(kFileAccessDenied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return Text(kDiskFull);
    default:
        return tk::Format(Text(kInOutError), {static_cast<std::int64_t>(error)});
    }
}
#endif

// Creates a file of that name only if none exists; false when one does.
// Any other failure (no such folder, no right to write there) is raised.
bool CreateNewFile(const std::string& path)
{
#ifdef _WIN32
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            return false;
        throw tk::EInOutError(SystemErrorText(error));
    }
    ::CloseHandle(file);
#else
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (file < 0) {
        if (errno == EEXIST)
            return false;
        throw tk::EInOutError(IoErrorText(errno));
    }
    ::close(file);
#endif
    return true;
}

// A file of a fresh name in the target's folder, created empty so that no
// one else takes the name: "~" and hexadecimal digits, no longer than the
// target's own name where that allows enough names (at least three digits),
// so that the path stays within the limit that the target's path kept.
std::string CreateTemporaryBeside(const std::string& target)
{
    // A drive alone ("C:name.hex") is a folder too: the file must not move
    // to another drive when it replaces the target.
    const std::size_t slash = target.find_last_of("\\/:");
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::size_t nameLength = target.size() - folder.size();
    const std::size_t digits = std::clamp<std::size_t>(nameLength > 1 ? nameLength - 1 : 0, 3, 7);

    static std::uint32_t sequence = 0;
    std::uint32_t value = static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                          (++sequence * 2654435761u);
    for (int attempt = 0; attempt < 256; ++attempt, value = value * 1664525u + 1013904223u) {
        std::string name = "~";
        for (std::size_t d = digits; d-- > 0;)
            name += "0123456789ABCDEF"[(value >> (4 * d)) & 0xF];
        if (CreateNewFile(folder + name))
            return folder + name;
    }
    throw tk::EInOutError(Text(kFileAccessDenied));
}

// Puts the finished file in place of the target in one step, so readers see
// either the old file or the new one, never a half-written one.
void ReplaceFile(const std::string& source, const std::string& target)
{
#ifdef _WIN32
    if (!MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw tk::EInOutError(SystemErrorText(GetLastError()));
#else
    if (std::rename(source.c_str(), target.c_str()) != 0)
        throw tk::EInOutError(IoErrorText(errno));
#endif
}

} // namespace

void THexFile::CheckBufferSize(const TBuffer& Buffer) const
{
    if (BufSize != static_cast<std::int64_t>(Buffer.size()) - 1)
        throw EHexFileError(Text(kSizeMismatch));
    if (BufSize < 1)
        throw EHexFileError(Text(kZeroLength));
}

void THexFile::LoadFromFile(TBuffer& Buffer)
{
    CheckBufferSize(Buffer);
    errno = 0;
    std::ifstream stream(FileName, std::ios::in | std::ios::binary);
    if (!stream.is_open()) {
        // A file that cannot be read leaves no earlier data behind either.
        std::fill(Buffer.begin(), Buffer.end(), FillByte);
        throw tk::EInOutError(IoErrorText(errno));
    }
    LoadFromStream(stream, Buffer);
}

void THexFile::LoadFromStream(std::istream& Stream, TBuffer& Buffer)
{
    CheckBufferSize(Buffer);
    std::fill(Buffer.begin(), Buffer.end(), FillByte);
    try {
        ReadRecords(Stream, Buffer);
    } catch (...) {
        // Whatever stopped the read, half a file must not pass for data.
        std::fill(Buffer.begin(), Buffer.end(), FillByte);
        throw;
    }
}

void THexFile::ReadRecords(std::istream& Stream, TBuffer& Buffer)
{
    auto formatError = [this](const TextId& label, int lineNumber) {
        return EHexFileError(tk::Format(Text(kFormatError),
                                        {FileName, Text(label), tk::IntToStr(lineNumber)}));
    };

    std::int64_t base = 0;
    std::string lineText;
    int lineNumber = 0;
    bool endRecordSeen = false;
    while (ReadLine(Stream, lineText)) {
        ++lineNumber;
        std::string_view line = lineText;

        if (line.empty() || line[0] != ':')
            throw formatError(kInvalidRecordMarker, lineNumber);
        std::int32_t length = 0;
        if (!TryHex(Copy(line, 2, 2), length))
            throw formatError(kInvalidRecordLength, lineNumber);
        std::int32_t address = 0;
        if (!TryHex(Copy(line, 4, 4), address))
            throw formatError(kInvalidStartAddress, lineNumber);
        std::int32_t type = 0;
        if (!tk::TryStrToInt(Copy(line, 8, 2), type) || type == -1 || type == -2)
            throw formatError(kInvalidRecordType, lineNumber);

        auto readDataByte = [&](int i) {
            std::size_t position = static_cast<std::size_t>(2 * i + 8);
            std::int32_t value = 0;
            if (!TryHex(Copy(line, position, 2), value))
                throw EHexFileError(tk::Format(Text(kDataFormatError),
                                               {FileName, Text(kInvalidData),
                                                tk::IntToStr(lineNumber), tk::IntToStr(static_cast<std::int64_t>(position))}));
            return value;
        };

        std::int64_t nextBase = base;
        if (type == kDataRecord) {
            for (int i = 1; i <= length; ++i) {
                std::int64_t target = base + address + i - 1;
                if (target > BufSize)
                    throw EHexFileError(tk::Format(Text(kCapacityExceeded),
                                                   {FileName, tk::IntToStr(static_cast<std::int64_t>(BufSize) + 1)}));
                Buffer[static_cast<std::size_t>(target)] = readDataByte(i);
            }
        } else if (type == kExtendedSegmentAddress || type == kExtendedLinearAddress) {
            if (length != 2)
                throw formatError(kInvalidRecordLength, lineNumber);
            std::int64_t value = (readDataByte(1) << 8) | readDataByte(2);
            nextBase = type == kExtendedLinearAddress ? value << 16 : value << 4;
        }

        std::int32_t expected = Hex(Copy(line, line.size() - 1, 2));
        std::int32_t sum = length;
        for (int k = 1; k <= length + 3; ++k)
            sum += Hex(Copy(line, static_cast<std::size_t>(2 * k + 2), 2));
        if ((256 - sum % 256) % 256 != expected)
            throw formatError(kInvalidChecksum, lineNumber);
        base = nextBase;
        if (type == kEndRecord)
            endRecordSeen = true;
    }
    if (Stream.bad())
        throw tk::EInOutError(IoErrorText(errno));
    // A file cut off at a line boundary (a partial copy, a file shrunk while
    // being read) reads cleanly up to here: only its missing end record
    // tells that it is not whole. Named at the line where it was due.
    if (!endRecordSeen)
        throw formatError(kMissingEndRecord, lineNumber + 1);
}

void THexFile::SaveToStream(std::ostream& Stream, const TBuffer& Buffer)
{
    CheckBufferSize(Buffer);

    int lineNumber = 0;
    std::string line;
    auto writeRecord = [&](int type, std::size_t address, const std::int32_t* data, std::size_t count) {
        line.assign(":");
        AppendHexByte(line, static_cast<unsigned>(count));
        AppendHexByte(line, static_cast<unsigned>(address >> 8));
        AppendHexByte(line, static_cast<unsigned>(address));
        AppendHexByte(line, static_cast<unsigned>(type));
        unsigned sum = static_cast<unsigned>(count + (address >> 8) + address + type);
        for (std::size_t i = 0; i < count; ++i) {
            // Only the low byte of an element is a device byte.
            unsigned byte = static_cast<unsigned>(data[i]) & 0xFF;
            AppendHexByte(line, byte);
            sum += byte;
        }
        AppendHexByte(line, (256 - sum % 256) % 256);
        line += "\r\n";
        ++lineNumber;
        if (LineWriteFault && LineWriteFault(lineNumber))
            Stream.setstate(std::ios::badbit);
        else
            Stream.write(line.data(), static_cast<std::streamsize>(line.size()));
        if (!Stream)
            throw tk::EInOutError(Text(kDiskFull));
    };

    for (std::size_t start = 0; start < Buffer.size(); start += kBytesPerRecord) {
        if (start != 0 && start % kSegmentSize == 0) {
            std::int32_t segment[2] = {static_cast<std::int32_t>(start >> 24), static_cast<std::int32_t>(start >> 16)};
            writeRecord(kExtendedLinearAddress, 0, segment, 2);
        }
        std::size_t count = std::min(kBytesPerRecord, Buffer.size() - start);
        writeRecord(kDataRecord, start & 0xFFFF, Buffer.data() + start, count);
    }
    writeRecord(kEndRecord, 0, nullptr, 0);
    Stream.flush();
    if (!Stream)
        throw tk::EInOutError(Text(kDiskFull));
}

void THexFile::SaveToFile(const TBuffer& Buffer)
{
    CheckBufferSize(Buffer);
    // A name of its own beside the target: never a user's file, and never
    // a path longer than the target's.
    const std::string temporary = CreateTemporaryBeside(FileName);
    try {
        errno = 0;
        std::ofstream stream(temporary, std::ios::out | std::ios::binary | std::ios::trunc);
        if (!stream.is_open())
            throw tk::EInOutError(IoErrorText(errno));
        SaveToStream(stream, Buffer);
        stream.close();
        if (stream.fail())
            throw tk::EInOutError(Text(kDiskFull));
        ReplaceFile(temporary, FileName);
    } catch (...) {
        std::remove(temporary.c_str());
        throw;
    }
}
