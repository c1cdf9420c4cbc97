// The installer's owners of shell objects: each reference and search is
// given back exactly once, whether the owner goes, is reset or was moved.
#include "InstallerTestSupport.h"
#include "installer/ShellObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A COM object that counts what its owners do with it.
class CountedObject : public IPersistFile {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override
    {
        if (!IsEqualIID(id, IID_IUnknown) && !IsEqualIID(id, IID_IPersistFile)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ++releases;
        return static_cast<ULONG>(--references);
    }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Save(LPCOLESTR, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SaveCompleted(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurFile(LPOLESTR*) override { return E_NOTIMPL; }

    int references = 1;
    int releases = 0;
};

std::vector<std::string> Names(FindHandle& find)
{
    std::vector<std::string> names;
    if (find.Valid())
        do
            names.emplace_back(find.Entry().cFileName);
        while (find.Next());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(ShellObjects, AComReferenceIsReleasedOnceThroughMovesQueriesAndResets)
{
    CountedObject object;
    {
        ComPtr<IPersistFile> first(&object);
        ComPtr<IPersistFile> second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.Get(), &object);

        ComPtr<IUnknown> unknown;
        ASSERT_HRESULT_SUCCEEDED(second.QueryInterface(IID_IUnknown, unknown));
        EXPECT_EQ(object.references, 2);
        ComPtr<IShellLinkA> link;
        EXPECT_EQ(second.QueryInterface(IID_IShellLinkA, link), E_NOINTERFACE);
        EXPECT_FALSE(link);

        ComPtr<IPersistFile> third(second.Get());
        object.AddRef();
        third = std::move(second);  // gives back the reference third held
        EXPECT_EQ(object.references, 2);
        EXPECT_EQ(object.releases, 1);
        third.Reset();
        third.Reset();
        EXPECT_EQ(object.releases, 2) << "a reset owner has nothing left to release";
    }
    EXPECT_EQ(object.references, 0);
    EXPECT_EQ(object.releases, 3);
}

TEST(ShellObjects, AFileSearchSeesEveryEntryOnceAndAMovedSearchGoesOn)
{
    ScratchFolder folder("find");
    ASSERT_TRUE(WriteFile(folder.Path() + "a.txt", "a"));
    ASSERT_TRUE(WriteFile(folder.Path() + "b.txt", "b"));
    ::CreateDirectoryA((folder.Path() + "sub").c_str(), nullptr);

    FindHandle all(folder.Path() + "*");
    EXPECT_EQ(Names(all), (std::vector<std::string>{".", "..", "a.txt", "b.txt", "sub"}));
    EXPECT_FALSE(all.Next()) << "a search at its end stays there";

    FindHandle texts(folder.Path() + "*.txt");
    ASSERT_TRUE(texts.Valid());
    const std::string firstName = texts.Entry().cFileName;
    FindHandle moved(std::move(texts));
    EXPECT_FALSE(texts.Valid());
    EXPECT_FALSE(texts.Next());
    EXPECT_EQ(moved.Entry().cFileName, firstName);
    ASSERT_TRUE(moved.Next());
    EXPECT_NE(moved.Entry().cFileName, firstName);
    moved.Close();
    EXPECT_FALSE(moved.Valid());

    FindHandle missing(folder.Path() + "nothing\\*");
    EXPECT_FALSE(missing.Valid());
    EXPECT_TRUE(Names(missing).empty());
}
