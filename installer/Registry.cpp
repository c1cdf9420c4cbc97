// Registry: the installer's registry accessor. See Registry.h.
#include "installer/Registry.h"

#include <shlwapi.h>

#include <algorithm>
#include <utility>

namespace {

std::string StripLeadingSlash(const std::string& key)
{
    return (!key.empty() && key.front() == '\\') ? key.substr(1) : key;
}

} // namespace

std::string JoinKey(const std::string& parent, const std::string& child)
{
    if (parent.empty())
        return child;
    if (child.empty())
        return parent;
    return parent + (parent.back() == '\\' ? "" : "\\") + child;
}

TRegistry::TRegistry(HKEY root) : root_(root) {}

TRegistry::~TRegistry()
{
    CloseKey();
}

void TRegistry::CloseKey()
{
    if (current_)
        ::RegCloseKey(current_);
    current_ = nullptr;
    currentPath_.clear();
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate)
{
    const bool relative = !key.empty() && key.front() != '\\' && current_;
    std::string path = relative ? JoinKey(currentPath_, key) : StripLeadingSlash(key);
    if (path.empty())
        return false;
    HKEY opened = nullptr;
    LONG result;
    if (canCreate)
        result = ::RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                   nullptr, &opened, nullptr);
    else
        result = ::RegOpenKeyExA(root_, path.c_str(), 0, KEY_ALL_ACCESS, &opened);
    if (result != ERROR_SUCCESS)
        return false;
    CloseKey();
    current_ = opened;
    currentPath_ = path;
    return true;
}

bool TRegistry::KeyExists(const std::string& key) const
{
    const std::string path = StripLeadingSlash(key);
    if (path.empty())
        return false;
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root_, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(opened);
    return true;
}

bool TRegistry::DeleteKey(const std::string& key)
{
    const std::string path = StripLeadingSlash(key);
    if (path.empty())
        return false;
    if (!KeyExists(path))
        return true;
    return ::SHDeleteKeyA(root_, path.c_str()) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) const
{
    TRegistryValue value;
    if (!ReadValue(name, value) || (value.type != REG_SZ && value.type != REG_EXPAND_SZ))
        return std::string();
    std::string text = std::move(value.data);
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

void TRegistry::WriteString(const std::string& name, const std::string& value)
{
    WriteValue(name, {REG_SZ, std::string(value.c_str(), value.size() + 1)});
}

bool TRegistry::ReadValue(const std::string& name, TRegistryValue& value) const
{
    DWORD size = 0;
    if (!current_ || ::RegQueryValueExA(current_, name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    value.data.assign(size, '\0');
    if (::RegQueryValueExA(current_, name.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(value.data.data()),
                           &size) != ERROR_SUCCESS)
        return false;
    value.data.resize(size);
    return true;
}

void TRegistry::WriteValue(const std::string& name, const TRegistryValue& value)
{
    if (!current_ || ::RegSetValueExA(current_, name.c_str(), 0, value.type,
                                      reinterpret_cast<const BYTE*>(value.data.data()),
                                      static_cast<DWORD>(value.data.size())) != ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '" + name + "'");
}

std::vector<std::string> TRegistry::ReadStrings(const std::string& name) const
{
    std::vector<std::string> values;
    TRegistryValue value;
    if (!ReadValue(name, value) || value.type != REG_MULTI_SZ)
        return values;
    std::size_t start = 0;
    while (start < value.data.size() && value.data[start] != '\0') {
        const std::size_t end = std::min(value.data.find('\0', start), value.data.size());
        values.push_back(value.data.substr(start, end - start));
        start = end + 1;
    }
    return values;
}

void TRegistry::WriteStrings(const std::string& name, const std::vector<std::string>& values)
{
    TRegistryValue value{REG_MULTI_SZ, std::string()};
    for (const std::string& text : values)
        value.data += text + '\0';
    value.data += '\0';
    WriteValue(name, value);
}

bool TRegistry::ValueExists(const std::string& name) const
{
    return current_ && ::RegQueryValueExA(current_, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const std::string& name)
{
    if (!current_)
        return false;
    LONG result = ::RegDeleteValueA(current_, name.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

std::vector<std::string> TRegistry::SubKeyNames() const
{
    std::vector<std::string> names;
    if (!current_)
        return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(name);
        if (::RegEnumKeyExA(current_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

std::vector<std::string> TRegistry::ValueNames() const
{
    std::vector<std::string> names;
    if (!current_)
        return names;
    char name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(name);
        if (::RegEnumValueA(current_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}
