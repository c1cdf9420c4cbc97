// Loading and freeing the stand-in DLLs again and again, as the plug-in
// browser does twice per scan for every library in its folder, must leave
// nothing behind in the loading process: no TLS or FLS slots (a process has
// about a thousand TLS slots, and they once ran out after some fifty scans)
// and no kernel handles. A test DLL built the same way checks that the C++ runtime inside
// such a DLL still has working exceptions, thread_local values and guarded
// statics on every thread.
#include "programmer/PlugInInterface.h"
#include "tests/standins/StandinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>

namespace {

constexpr int kRounds = 300;
constexpr int kCheckEvery = 50;
// Room for one-time work of system libraries in the first rounds; a leak of
// one slot or handle per load exceeds it within the first check.
constexpr DWORD kTlsSlack = 2;
constexpr DWORD kHandleSlack = 8;

// The index the next TlsAlloc hands out, which climbs while slots leak.
DWORD NextTlsIndex() {
  const DWORD index = TlsAlloc();
  if (index != TLS_OUT_OF_INDEXES) TlsFree(index);
  return index;
}

// The same for fiber-local storage, where the DLLs keep their per-thread
// runtime values; 0 where the system has none.
DWORD NextFlsIndex() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto alloc = reinterpret_cast<DWORD(WINAPI*)(void*)>(reinterpret_cast<void*>(GetProcAddress(kernel, "FlsAlloc")));
  auto release = reinterpret_cast<BOOL(WINAPI*)(DWORD)>(reinterpret_cast<void*>(GetProcAddress(kernel, "FlsFree")));
  if (alloc == nullptr || release == nullptr) return 0;
  const DWORD index = alloc(nullptr);
  if (index != TLS_OUT_OF_INDEXES) release(index);
  return index;
}

// Wine's GetProcessHandleCount reports 0, so the open handles are also
// counted by asking after every handle value; Wine hands out the lowest free
// ones, so a long run of unused values marks the end.
DWORD OpenHandleCount() {
  DWORD count = 0;
  DWORD flags = 0;
  unsigned unused = 0;
  for (uintptr_t value = 4; unused < 4096; value += 4) {
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
      ++count;
      unused = 0;
    } else {
      ++unused;
    }
  }
  return count;
}

struct ProcessResources {
  DWORD nextTlsIndex = 0;
  DWORD nextFlsIndex = 0;
  DWORD openHandles = 0;
  DWORD reportedHandles = 0;
};

ProcessResources Snapshot() {
  ProcessResources resources;
  resources.nextTlsIndex = NextTlsIndex();
  resources.nextFlsIndex = NextFlsIndex();
  resources.openHandles = OpenHandleCount();
  GetProcessHandleCount(GetCurrentProcess(), &resources.reportedHandles);
  return resources;
}

::testing::AssertionResult NothingLeaked(const ProcessResources& before, const ProcessResources& after) {
  if (after.nextTlsIndex == TLS_OUT_OF_INDEXES) return ::testing::AssertionFailure() << "TLS slots exhausted";
  if (after.nextTlsIndex > before.nextTlsIndex + kTlsSlack)
    return ::testing::AssertionFailure() << "next TLS index " << before.nextTlsIndex << " -> " << after.nextTlsIndex;
  if (after.nextFlsIndex == TLS_OUT_OF_INDEXES || after.nextFlsIndex > before.nextFlsIndex + kTlsSlack)
    return ::testing::AssertionFailure() << "next FLS index " << before.nextFlsIndex << " -> " << after.nextFlsIndex;
  if (after.openHandles > before.openHandles + kHandleSlack)
    return ::testing::AssertionFailure() << "open handles " << before.openHandles << " -> " << after.openHandles;
  if (after.reportedHandles > before.reportedHandles + kHandleSlack)
    return ::testing::AssertionFailure() << "GetProcessHandleCount " << before.reportedHandles << " -> "
                                         << after.reportedHandles;
  return ::testing::AssertionSuccess();
}

// Runs a body on a thread of its own, joined at the latest on destruction.
class TestThread {
public:
  explicit TestThread(std::function<void()> body)
      : body_(std::move(body)), thread_(CreateThread(nullptr, 0, &TestThread::Run, this, 0, nullptr)) {}
  ~TestThread() { Join(); }
  TestThread(const TestThread&) = delete;
  TestThread& operator=(const TestThread&) = delete;

  bool Started() const { return thread_ != nullptr; }
  void Join() {
    if (thread_ == nullptr) return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }

private:
  static DWORD WINAPI Run(void* self) {
    static_cast<TestThread*>(self)->body_();
    return 0;
  }

  std::function<void()> body_;
  HANDLE thread_;
};

class ManualEvent {
public:
  ManualEvent() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~ManualEvent() { CloseHandle(event_); }
  ManualEvent(const ManualEvent&) = delete;
  ManualEvent& operator=(const ManualEvent&) = delete;

  void Set() { SetEvent(event_); }
  void Wait() { WaitForSingleObject(event_, INFINITE); }

private:
  HANDLE event_;
};

// --- the stand-ins under the plug-in browser ---------------------------------

class StandinLoadFreeTest : public ::testing::TestWithParam<const char*> {
protected:
  void SetUp() override {
    file_ = GetParam();
    const std::string path = TestLibraryPath(file_);
    folder_ = path.substr(0, path.size() - file_.size());
    // The port library is linked to this executable, so freeing it would not
    // unload it: a copy under another name is a library of its own.
    if (file_ == "ZeltoProgBasic.dll") {
      folder_ = scratch_.Path();
      file_ = "ZeltoProgBasicCopy.dll";
      ASSERT_TRUE(CopyFileA((ExecutableFolder() + "ZeltoProgBasic.dll").c_str(), scratch_.File(file_).c_str(), FALSE));
    }
  }

  // One scan's two looks at the library: is it a plug-in, which devices
  // does it name. Returns the number of names reported.
  int32_t BrowseOnce() {
    {
      LoadedLibrary library(folder_, file_);
      EXPECT_TRUE(library.Loaded());
      if (auto isPlugIn = library.Get<IsZeltoPlugInProc>(IsZeltoPlugInExportName)) isPlugIn();
      // The port library has neither export; its own calls stand in.
      if (auto intToBin8 = library.Get<const char*(__stdcall*)(int32_t)>("IntToBin8")) {
        EXPECT_STREQ(intToBin8(300), "00101100");
      }
    }
    LoadedLibrary library(folder_, file_);
    auto getNames = library.Get<GetDevicesNamesProc>(GetDevicesNamesExportName);
    if (getNames == nullptr) return 0;
    std::array<const char*, 10000> names{};
    int32_t count = 0;
    getNames(&count, names.data(), static_cast<int32_t>(names.size() - 1));
    return count;
  }

  ScratchFolder scratch_;
  EnvironmentOverride demoFolder_{"ZP_DEMO_DIR", scratch_.Path()};
  EnvironmentOverride portConfig_{"ZP_PORTLIB_CONFIG", scratch_.File("ZeltoProgBasic.cfg")};
  std::string folder_;
  std::string file_;
};

TEST_P(StandinLoadFreeTest, RepeatedScansLeaveNoTlsSlotOrHandleBehind) {
  const int32_t names = BrowseOnce();  // one-time work of system libraries
  const ProcessResources before = Snapshot();
  for (int round = 1; round <= kRounds; ++round) {
    ASSERT_EQ(BrowseOnce(), names) << "round " << round;
    // Checked along the way: exhausted slots end the process.
    if (round % kCheckEvery == 0) {
      ASSERT_TRUE(NothingLeaked(before, Snapshot())) << "after " << round << " rounds";
    }
  }
  // Each load still traced its calls: the library did its work every time.
  if (file_.rfind("DemoPlugin", 0) == 0) {
    const auto lines = ReadLines(scratch_.File("DemoPlugin.trace"));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "IsZeltoPlugIn"), kRounds + 1);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryStandin, StandinLoadFreeTest,
                         ::testing::Values("DemoPlugin.dll", "DemoPluginNoPowerOff.dll", "DemoPluginNoSB3Names.dll",
                                           "DemoPluginNotZelto.dll", "DemoPluginNoBitmaps.dll",
                                           "DemoPluginNoNames.dll", "NotAPlugIn.dll", "ZeltoProgBasic.dll"),
                         [](const auto& info) {
                           std::string name = info.param;
                           return name.substr(0, name.find('.'));
                         });

// --- the runtime's thread primitives inside such a DLL -----------------------

constexpr const char* kProbeFile = "StandinThreadProbe.dll";

struct ThreadProbe {
  LoadedLibrary library{kProbeFile};
  int32_t(__stdcall* CallsOnThisThread)() = library.Get<int32_t(__stdcall*)()>("ProbeCallsOnThisThread");
  int32_t(__stdcall* ThrowAndCatch)(int32_t) = library.Get<int32_t(__stdcall*)(int32_t)>("ProbeThrowAndCatch");
  int32_t(__stdcall* StaticLength)() = library.Get<int32_t(__stdcall*)()>("ProbeStaticLength");

  bool Complete() const { return CallsOnThisThread != nullptr && ThrowAndCatch != nullptr && StaticLength != nullptr; }
};

TEST(StandinThreadsTest, ExceptionsThreadLocalsAndStaticsWorkOnEveryThread) {
  ThreadProbe probe;
  ASSERT_TRUE(probe.Complete());

  // A guarded static first reached by several threads at once.
  constexpr size_t kThreads = 8;
  std::array<int32_t, kThreads> lengths{};
  {
    ManualEvent go;
    std::vector<std::unique_ptr<TestThread>> threads;
    for (size_t i = 0; i < kThreads; ++i)
      threads.push_back(std::make_unique<TestThread>([&, i] {
        go.Wait();
        lengths[i] = probe.StaticLength();
      }));
    go.Set();
  }
  for (int32_t length : lengths) EXPECT_EQ(length, 40);

  EXPECT_EQ(probe.CallsOnThisThread(), 1);
  EXPECT_EQ(probe.CallsOnThisThread(), 2);
  EXPECT_EQ(probe.ThrowAndCatch(7), 7);
  int32_t otherCalls = 0;
  int32_t otherCaught = 0;
  TestThread([&] {
    otherCalls = probe.CallsOnThisThread();
    otherCaught = probe.ThrowAndCatch(-12);
  }).Join();
  EXPECT_EQ(otherCalls, 1) << "thread_local values are per thread";
  EXPECT_EQ(otherCaught, -12);
  EXPECT_EQ(probe.CallsOnThisThread(), 3);
}

TEST(StandinThreadsTest, LoadFreeWithThreadsLeavesNothingBehind) {
  const auto round = [] {
    ManualEvent used;
    ManualEvent freed;
    int32_t lingeringCaught = 0;
    std::unique_ptr<TestThread> lingering;
    {
      ThreadProbe probe;
      if (!probe.Complete()) return false;
      probe.CallsOnThisThread();
      if (probe.ThrowAndCatch(3) != 3) return false;
      // A thread that ends while the DLL is loaded.
      int32_t caught = 0;
      TestThread([&] { caught = probe.ThrowAndCatch(4) + probe.CallsOnThisThread(); }).Join();
      if (caught != 5) return false;
      // One that holds per-thread values when the DLL is freed and ends
      // after: nothing of the DLL may run at its end.
      lingering = std::make_unique<TestThread>([&] {
        lingeringCaught = probe.ThrowAndCatch(6) + probe.CallsOnThisThread();
        used.Set();
        freed.Wait();
      });
      used.Wait();
    }
    freed.Set();
    lingering->Join();
    return lingeringCaught == 7;
  };

  ASSERT_TRUE(round());
  const ProcessResources before = Snapshot();
  for (int i = 1; i <= kRounds; ++i) {
    ASSERT_TRUE(round()) << "round " << i;
    if (i % kCheckEvery == 0) {
      ASSERT_TRUE(NothingLeaked(before, Snapshot())) << "after " << i << " rounds";
    }
  }
}

}  // namespace
