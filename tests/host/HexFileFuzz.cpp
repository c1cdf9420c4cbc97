// Fuzz target for the Intel HEX reader: arbitrary text must end either in a
// loaded buffer or in one of the reader's own exceptions with the buffer all
// FillByte; a loaded buffer must survive a save and a second load unchanged.
#include "programmer/HexFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

constexpr std::int32_t kFill = 255;

bool AllFill(const THexFile::TBuffer& buffer)
{
    return std::all_of(buffer.begin(), buffer.end(), [](std::int32_t v) { return v == kFill; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose the buffer: small ones, and ones just beyond
    // 64 KiB that need extended address records. Kept modest so that filling
    // the buffer does not dominate each run.
    std::size_t choice = (static_cast<std::size_t>(data[0] & 0x7F) << 8) | data[1];
    std::size_t length = (data[0] & 0x80) ? 0x10001 + choice % 64 : 2 + choice % 2048;
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

    THexFile::TBuffer buffer(length, 0);
    THexFile hex;
    hex.FileName = "fuzz.hex";
    hex.BufSize = static_cast<std::int32_t>(length) - 1;
    hex.FillByte = kFill;

    std::istringstream in(text);
    try {
        hex.LoadFromStream(in, buffer);
    } catch (const tk::Exception&) {
        if (!AllFill(buffer))
            __builtin_trap();
        return 0;
    }
    if (!std::all_of(buffer.begin(), buffer.end(), [](std::int32_t v) { return v >= 0 && v <= 255; }))
        __builtin_trap();

    std::ostringstream out;
    hex.SaveToStream(out, buffer);
    THexFile::TBuffer again(length, 0);
    std::istringstream back(out.str());
    hex.LoadFromStream(back, again);
    if (again != buffer)
        __builtin_trap();
    return 0;
}
