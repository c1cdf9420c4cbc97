// HexFile: reads an Intel HEX text file into a buffer of 32-bit integers (one
// element per byte address) and writes such a buffer as an Intel HEX file.
// The Flash and EEPROM buffers travel through here as ".HEX" and ".EEP" files.
// No window code: failures are exceptions carrying a ready message whose texts
// come through tk::StringFor, so they follow the active language.
#pragma once

#include "toolkit/Exceptions.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

// The size checks, format errors and capacity errors of THexFile. Conversion
// and file errors of the toolkit (tk::EConvertError, tk::EInOutError) pass
// through unchanged.
class EHexFileError : public tk::Exception {
public:
    using tk::Exception::Exception;
};

class THexFile {
public:
    using TBuffer = std::vector<std::int32_t>;

    // Reads FileName into Buffer. Every element is set to FillByte first; a
    // failure after that (a file that cannot be opened or read included)
    // sets them all to FillByte again before raising. A file without an end
    // record is a format error. Only the size checks leave Buffer alone.
    void LoadFromFile(TBuffer& Buffer);
    // Writes Buffer to FileName. The new contents go to a file of a fresh
    // name in the same folder (created there, never an existing file, no
    // longer a path than the target's) that replaces FileName only once it
    // is complete: a failed save leaves an existing file as it was and
    // removes its own.
    void SaveToFile(const TBuffer& Buffer);

    // The same two operations on open streams (FileName still names the data
    // in messages). LoadFromFile and SaveToFile run through these.
    void LoadFromStream(std::istream& Stream, TBuffer& Buffer);
    void SaveToStream(std::ostream& Stream, const TBuffer& Buffer);

    std::string FileName;
    // Must equal the buffer's highest index (its length minus 1).
    std::int32_t BufSize = 0;
    std::int32_t FillByte = 0;

    // Test seam: asked before each line is written (1-based line number);
    // true makes that write fail as a full disk would.
    std::function<bool(int LineNumber)> LineWriteFault;

private:
    void CheckBufferSize(const TBuffer& Buffer) const;
    void ReadRecords(std::istream& Stream, TBuffer& Buffer);
};
