// ShellObjects: owners for what the installer borrows from the system while
// it makes links, browses for a folder and looks through folders: a COM
// interface, an item list the shell allocated, and a file search. Each gives
// its object back on every way out, and none can be copied, so no object is
// given back twice.
#pragma once

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <utility>

// One reference on a COM interface, released when the owner goes.
template <class I>
class ComPtr {
public:
    ComPtr() = default;
    // Adopts a reference the caller already holds.
    explicit ComPtr(I* owned) : p_(owned) {}
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    I* Get() const { return p_; }
    I* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    void Reset()
    {
        if (p_)
            std::exchange(p_, nullptr)->Release();
    }

    // Creates an in-process object; on failure the owner stays empty.
    HRESULT CreateInstance(REFCLSID classId, REFIID interfaceId)
    {
        Reset();
        return ::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, interfaceId, reinterpret_cast<void**>(&p_));
    }

    // Asks the held object for another of its interfaces, owned by `other`.
    template <class J>
    HRESULT QueryInterface(REFIID interfaceId, ComPtr<J>& other) const
    {
        other.Reset();
        return p_->QueryInterface(interfaceId, reinterpret_cast<void**>(&other.p_));
    }

private:
    template <class>
    friend class ComPtr;
    I* p_ = nullptr;
};

// An item list that the shell allocated with the task allocator.
struct ItemListFree {
    void operator()(ITEMIDLIST* item) const { ::CoTaskMemFree(item); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

// One file search over a pattern such as "C:\\Folder\\*". Entry() is the
// entry the search stands on; Next() moves to the following one.
class FindHandle {
public:
    explicit FindHandle(const std::string& pattern) : handle_(::FindFirstFileA(pattern.c_str(), &entry_)) {}
    ~FindHandle() { Close(); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    FindHandle(FindHandle&& other) noexcept
        : entry_(other.entry_), handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE))
    {
    }
    FindHandle& operator=(FindHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
            entry_ = other.entry_;
        }
        return *this;
    }

    // False when nothing matched (or the folder is missing): there is no entry.
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    const WIN32_FIND_DATAA& Entry() const { return entry_; }
    bool Next() { return Valid() && ::FindNextFileA(handle_, &entry_); }

    void Close()
    {
        if (Valid())
            ::FindClose(std::exchange(handle_, INVALID_HANDLE_VALUE));
    }

private:
    // Declared first: the search fills it while the handle is initialised.
    WIN32_FIND_DATAA entry_{};
    HANDLE handle_;
};
