// VersionInfo: the version-resource reader. See VersionInfo.h.
#include "components/VersionInfo.h"

#include <winver.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::string Hex4(std::int32_t value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(value) & 0xFFFFu);
    return buffer;
}

} // namespace

std::string TVersionInfo::ProgramFileName()
{
    char path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, std::min<DWORD>(length, MAX_PATH));
}

TVersionInfo::TVersionInfo() : fileName_(ProgramFileName())
{
    GetFileInfo();
}

void TVersionInfo::SetAutoGetInfo(bool value)
{
    if (value == autoGetInfo_)
        return;
    autoGetInfo_ = value;
    if (value)
        fileName_ = ProgramFileName();
    GetFileInfo();
}

void TVersionInfo::Clear()
{
    haveVersionInfo_ = false;
    infoSize_ = 0;
    infoBuffer_.clear();
    fixed_ = {};
    SetTranslation(0);
}

void TVersionInfo::SetTranslation(std::uint32_t entry)
{
    language_ = static_cast<std::int32_t>(entry & 0xFFFF);
    charSet_ = static_cast<std::int32_t>(entry >> 16);
    languageHex_ = Hex4(language_);
    charSetHex_ = Hex4(charSet_);
    translationKey_ = languageHex_ + charSetHex_;
}

void TVersionInfo::GetFileInfo(const std::string& name)
{
    fileName_ = name;
    GetFileInfo();
}

void TVersionInfo::GetFileInfo()
{
    // A failed read must not leave the previous file's figures behind.
    Clear();
    infoSize_ = ::GetFileVersionInfoSizeA(fileName_.c_str(), &handle_);
    if (infoSize_ == 0)
        return;
    try {
        infoBuffer_.assign(infoSize_, 0);
        haveVersionInfo_ =
            ::GetFileVersionInfoA(fileName_.c_str(), 0, infoSize_, infoBuffer_.data()) != FALSE;
        if (!haveVersionInfo_) {
            infoBuffer_.clear();
            return;
        }
        const char* value = nullptr;
        UINT length = 0;
        if (Query("\\", value, length))
            std::memcpy(&fixed_, value, std::min<std::size_t>(length, sizeof fixed_));
        if (Query("\\VarFileInfo\\Translation", value, length) && length >= 4) {
            std::uint32_t entry = 0;
            std::memcpy(&entry, value, sizeof entry);
            SetTranslation(entry);
        }
    } catch (...) {
        infoBuffer_.clear();
    }
}

bool TVersionInfo::Query(const std::string& path, const char*& value, UINT& length) const
{
    value = nullptr;
    length = 0;
    if (infoBuffer_.empty())
        return false;
    void* result = nullptr;
    UINT resultLength = 0;
    if (!::VerQueryValueA(infoBuffer_.data(), path.c_str(), &result, &resultLength) || !result)
        return false;
    const char* begin = infoBuffer_.data();
    const char* end = begin + infoBuffer_.size();
    const char* at = static_cast<const char*>(result);
    if (at < begin || at >= end)
        return false;
    value = at;
    length = static_cast<UINT>(std::min<std::size_t>(resultLength, static_cast<std::size_t>(end - at)));
    return true;
}

std::string TVersionInfo::GetValue(const std::string& name) const
{
    const char* value = nullptr;
    UINT length = 0;
    if (!Query("\\StringFileInfo\\" + translationKey_ + "\\" + name, value, length))
        return {};
    // The reported length counts the terminating zero; never read past it.
    return std::string(value, strnlen(value, length));
}
