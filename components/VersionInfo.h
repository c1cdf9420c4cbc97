// VersionInfo: reads a file's Windows version resource - the fixed file
// information, the first language/code-page pair of its translation table,
// and string values by name. A file without a resource just reports
// HaveVersionInfo false and empty values.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class TVersionInfo {
public:
    // Points itself at the running program's file and reads it.
    TVersionInfo();
    TVersionInfo(const TVersionInfo&) = delete;
    TVersionInfo& operator=(const TVersionInfo&) = delete;

    bool AutoGetInfo() const { return autoGetInfo_; }
    // Switching it on points the reader at the running program again; any
    // change reads the resource of FileName anew.
    void SetAutoGetInfo(bool value);

    const std::string& FileName() const { return fileName_; }
    // Only stores the name; GetFileInfo reads it.
    void SetFileName(const std::string& name) { fileName_ = name; }

    // Reads the version resource of FileName.
    void GetFileInfo();
    // Reads the version resource of the named file, which becomes FileName.
    void GetFileInfo(const std::string& name);
    // A string value of the first translation's string table; empty when the
    // table lacks it or nothing was read.
    std::string GetValue(const std::string& name) const;

    bool HaveVersionInfo() const { return haveVersionInfo_; }
    // Language and code page of the first translation entry; 0 without one.
    std::int32_t Language() const { return language_; }
    std::int32_t CharSet() const { return charSet_; }
    // Language then code page as eight upper-case hex digits, e.g. "040904E4".
    const std::string& TranslationKey() const { return translationKey_; }
    const std::string& LanguageHex() const { return languageHex_; }
    const std::string& CharSetHex() const { return charSetHex_; }
    DWORD InfoSize() const { return infoSize_; }

    // The fixed file information, field by field.
    DWORD Signature() const { return fixed_.dwSignature; }
    DWORD StrucVersion() const { return fixed_.dwStrucVersion; }
    DWORD FileVersionMS() const { return fixed_.dwFileVersionMS; }
    DWORD FileVersionLS() const { return fixed_.dwFileVersionLS; }
    DWORD ProductVersionMS() const { return fixed_.dwProductVersionMS; }
    DWORD ProductVersionLS() const { return fixed_.dwProductVersionLS; }
    DWORD FileFlagsMask() const { return fixed_.dwFileFlagsMask; }
    DWORD FileFlags() const { return fixed_.dwFileFlags; }
    DWORD FileOS() const { return fixed_.dwFileOS; }
    DWORD FileType() const { return fixed_.dwFileType; }
    DWORD FileSubtype() const { return fixed_.dwFileSubtype; }
    DWORD FileDateMS() const { return fixed_.dwFileDateMS; }
    DWORD FileDateLS() const { return fixed_.dwFileDateLS; }

    // Full path of the running program.
    static std::string ProgramFileName();

private:
    void Clear();
    void SetTranslation(std::uint32_t entry);
    // A query result that lies wholly inside the resource, or an empty view.
    bool Query(const std::string& path, const char*& value, UINT& length) const;

    bool autoGetInfo_ = true;
    bool haveVersionInfo_ = false;
    DWORD handle_ = 0;
    DWORD infoSize_ = 0;
    // VerQueryValueA keeps its ANSI copies of the strings inside this buffer.
    mutable std::vector<char> infoBuffer_;
    std::string fileName_;
    std::int32_t language_ = 0;
    std::int32_t charSet_ = 0;
    std::string translationKey_ = "00000000";
    std::string languageHex_ = "0000";
    std::string charSetHex_ = "0000";
    VS_FIXEDFILEINFO fixed_{};
};
