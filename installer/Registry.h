// Registry: the registry accessor of the installer. One object works under
// one root key and holds at most one open key at a time; every key is opened
// with full access. Reads of missing values give empty strings, deleting
// what does not exist is silent, and a write that fails (no key open, or
// refused) raises ERegistryException, which ends the caller's road.
#pragma once

#include <windows.h>

#include "toolkit/Exceptions.h"

#include <string>
#include <vector>

class ERegistryException : public tk::Exception {
public:
    using tk::Exception::Exception;
};

// A value as the registry holds it: its type and its bytes.
struct TRegistryValue {
    DWORD type = REG_NONE;
    std::string data;
};

class TRegistry {
public:
    explicit TRegistry(HKEY root);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return root_; }
    // The open key, or null.
    HKEY CurrentKey() const { return current_; }
    // Its path below the root, without a leading "\".
    const std::string& CurrentPath() const { return currentPath_; }

    // Opens key, creating it (and missing parents) when canCreate. A name
    // without a leading "\" is relative to the open key when one is open,
    // else to the root. An empty name never opens the root itself.
    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();

    // Key paths below the root (a leading "\" is ignored); the empty path
    // never names the root: it does not exist and cannot be deleted.
    bool KeyExists(const std::string& key) const;
    // Deletes the key with all its subkeys; false when it could not.
    bool DeleteKey(const std::string& key);

    // Values of the open key; the empty name is the default value.
    std::string ReadString(const std::string& name) const;
    void WriteString(const std::string& name, const std::string& value);
    // A value of any type, byte for byte; false when it does not exist.
    bool ReadValue(const std::string& name, TRegistryValue& value) const;
    void WriteValue(const std::string& name, const TRegistryValue& value);
    // REG_MULTI_SZ lists; a missing value reads as an empty list.
    std::vector<std::string> ReadStrings(const std::string& name) const;
    void WriteStrings(const std::string& name, const std::vector<std::string>& values);
    bool ValueExists(const std::string& name) const;
    bool DeleteValue(const std::string& name);
    std::vector<std::string> SubKeyNames() const;
    std::vector<std::string> ValueNames() const;

private:
    HKEY root_;
    HKEY current_ = nullptr;
    std::string currentPath_;
};

// "a\\b\\" style joins: one "\" between non-empty parts.
std::string JoinKey(const std::string& parent, const std::string& child);
