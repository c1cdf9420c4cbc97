// Stand-in for parts outside the system, not the system's own code.
// Thread primitives for the C++ runtime inside each stand-in DLL, owning no
// kernel object and no slot past the DLL's unload.
#include "standins/StandinThreads.h"

#include <windows.h>

#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

namespace {

// The runtime creates one key (emulated thread-local storage); a few spare.
constexpr unsigned kMaxKeys = 8;

constexpr intptr_t kUnlocked = 0;
constexpr intptr_t kLocked = 1;
// PTHREAD_MUTEX_INITIALIZER, a statically initialised mutex, is unlocked too.

constexpr long kOnceRunning = 1;
constexpr long kOnceDone = 2;

using KeyDestructor = void (*)(void*);

struct ThreadValues {
  void* values[kMaxKeys];
};

using SlotCallback = void(WINAPI*)(void*);

// Fiber-local storage where the system has it, because its callback frees a
// thread's values when the thread ends although the DLLs turn thread
// notifications off; thread-local storage otherwise.
struct SlotApi {
  DWORD(WINAPI* alloc)(SlotCallback) = nullptr;
  void*(WINAPI* get)(DWORD) = nullptr;
  BOOL(WINAPI* set)(DWORD, void*) = nullptr;
  BOOL(WINAPI* release)(DWORD) = nullptr;
};

constinit std::atomic<unsigned> g_keyCount{0};
constinit KeyDestructor g_destructors[kMaxKeys] = {};
constinit pthread_mutex_t g_slotLock = PTHREAD_MUTEX_INITIALIZER;
constinit SlotApi g_api;
constinit std::atomic<DWORD> g_slot{TLS_OUT_OF_INDEXES};
constinit bool g_released = false;

void Pause(unsigned round) {
  if (round < 64) YieldProcessor();
  else Sleep(round < 128 ? 0 : 1);
}

template <typename Proc>
Proc Kernel32Proc(const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

DWORD WINAPI TlsAllocIgnoringCallback(SlotCallback) { return TlsAlloc(); }

SlotApi ResolveSlotApi() {
  SlotApi api;
  api.alloc = Kernel32Proc<decltype(api.alloc)>("FlsAlloc");
  api.get = Kernel32Proc<decltype(api.get)>("FlsGetValue");
  api.set = Kernel32Proc<decltype(api.set)>("FlsSetValue");
  api.release = Kernel32Proc<decltype(api.release)>("FlsFree");
  if (api.alloc == nullptr || api.get == nullptr || api.set == nullptr || api.release == nullptr)
    api = SlotApi{TlsAllocIgnoringCallback, TlsGetValue, TlsSetValue, TlsFree};
  return api;
}

void RunDestructors(ThreadValues* block) {
  if (block == nullptr) return;
  const unsigned keys = g_keyCount.load(std::memory_order_acquire);
  // A destructor may set values again; POSIX allows a few more passes.
  for (int pass = 0; pass < PTHREAD_DESTRUCTOR_ITERATIONS; ++pass) {
    bool ranOne = false;
    for (unsigned key = 0; key < keys; ++key) {
      void* value = block->values[key];
      if (value == nullptr || g_destructors[key] == nullptr) continue;
      block->values[key] = nullptr;
      g_destructors[key](value);
      ranOne = true;
    }
    if (!ranOne) break;
  }
  HeapFree(GetProcessHeap(), 0, block);
}

void WINAPI ThreadEnded(void* data) { RunDestructors(static_cast<ThreadValues*>(data)); }

DWORD Slot() { return g_slot.load(std::memory_order_acquire); }

DWORD SlotForWriting() {
  DWORD slot = Slot();
  if (slot != TLS_OUT_OF_INDEXES) return slot;
  pthread_mutex_lock(&g_slotLock);
  slot = Slot();
  if (slot == TLS_OUT_OF_INDEXES && !g_released) {
    g_api = ResolveSlotApi();
    slot = g_api.alloc(ThreadEnded);
    g_slot.store(slot, std::memory_order_release);
  }
  pthread_mutex_unlock(&g_slotLock);
  return slot;
}

// Reading a slot resets the thread's last error, which callers of the
// runtime do not expect.
ThreadValues* CurrentValues(DWORD slot) {
  const DWORD lastError = GetLastError();
  auto* block = static_cast<ThreadValues*>(g_api.get(slot));
  SetLastError(lastError);
  return block;
}

}  // namespace

extern "C" {

int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t*) {
  std::atomic_ref<intptr_t>(*mutex).store(kUnlocked, std::memory_order_release);
  return 0;
}

int pthread_mutex_destroy(pthread_mutex_t*) { return 0; }

int pthread_mutex_lock(pthread_mutex_t* mutex) {
  std::atomic_ref<intptr_t> word(*mutex);
  for (unsigned round = 0;; ++round) {
    intptr_t seen = word.load(std::memory_order_relaxed);
    if (seen != kLocked && word.compare_exchange_weak(seen, kLocked, std::memory_order_acquire)) return 0;
    Pause(round);
  }
}

int pthread_mutex_unlock(pthread_mutex_t* mutex) {
  std::atomic_ref<intptr_t>(*mutex).store(kUnlocked, std::memory_order_release);
  return 0;
}

// A condition's word counts its broadcasts; a waiter returns once the count
// moved on (or spuriously, which callers allow for).
int pthread_cond_init(pthread_cond_t* condition, const pthread_condattr_t*) {
  std::atomic_ref<intptr_t>(*condition).store(0, std::memory_order_release);
  return 0;
}

int pthread_cond_destroy(pthread_cond_t*) { return 0; }

int pthread_cond_broadcast(pthread_cond_t* condition) {
  std::atomic_ref<intptr_t>(*condition).fetch_add(1, std::memory_order_acq_rel);
  return 0;
}

int pthread_cond_signal(pthread_cond_t* condition) { return pthread_cond_broadcast(condition); }

int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex) {
  std::atomic_ref<intptr_t> broadcasts(*condition);
  const intptr_t seen = broadcasts.load(std::memory_order_acquire);
  pthread_mutex_unlock(mutex);
  for (unsigned round = 0; broadcasts.load(std::memory_order_acquire) == seen; ++round) Pause(round);
  return pthread_mutex_lock(mutex);
}

int pthread_once(pthread_once_t* once, void (*init)(void)) {
  std::atomic_ref<long> state(*once);
  if (state.load(std::memory_order_acquire) == kOnceDone) return 0;
  long expected = PTHREAD_ONCE_INIT;
  if (state.compare_exchange_strong(expected, kOnceRunning, std::memory_order_acq_rel)) {
    init();
    state.store(kOnceDone, std::memory_order_release);
    return 0;
  }
  for (unsigned round = 0; state.load(std::memory_order_acquire) != kOnceDone; ++round) Pause(round);
  return 0;
}

int pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
  pthread_mutex_lock(&g_slotLock);
  const unsigned count = g_keyCount.load(std::memory_order_relaxed);
  int result = EAGAIN;
  if (count < kMaxKeys) {
    g_destructors[count] = destructor;
    *key = count;
    g_keyCount.store(count + 1, std::memory_order_release);
    result = 0;
  }
  pthread_mutex_unlock(&g_slotLock);
  return result;
}

void* pthread_getspecific(pthread_key_t key) {
  const DWORD slot = Slot();
  if (key >= g_keyCount.load(std::memory_order_acquire) || slot == TLS_OUT_OF_INDEXES) return nullptr;
  ThreadValues* block = CurrentValues(slot);
  return block != nullptr ? block->values[key] : nullptr;
}

int pthread_setspecific(pthread_key_t key, const void* value) {
  if (key >= g_keyCount.load(std::memory_order_acquire)) return EINVAL;
  const DWORD slot = SlotForWriting();
  if (slot == TLS_OUT_OF_INDEXES) return EAGAIN;
  ThreadValues* block = CurrentValues(slot);
  if (block == nullptr) {
    if (value == nullptr) return 0;
    block = static_cast<ThreadValues*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ThreadValues)));
    if (block == nullptr) return ENOMEM;
    const DWORD lastError = GetLastError();
    const bool stored = g_api.set(slot, block) != FALSE;
    SetLastError(lastError);
    if (!stored) {
      HeapFree(GetProcessHeap(), 0, block);
      return ENOMEM;
    }
  }
  block->values[key] = const_cast<void*>(value);
  return 0;
}

}  // extern "C"

namespace standin {

void ReleaseThreadSlot() {
  pthread_mutex_lock(&g_slotLock);
  g_released = true;
  const DWORD slot = g_slot.exchange(TLS_OUT_OF_INDEXES, std::memory_order_acq_rel);
  pthread_mutex_unlock(&g_slotLock);
  if (slot == TLS_OUT_OF_INDEXES) return;
  // This thread's values go first by hand: thread-local storage has no
  // callback, and fiber-local storage calls it at FlsFree for the other
  // threads still holding values.
  ThreadValues* block = CurrentValues(slot);
  g_api.set(slot, nullptr);
  g_api.release(slot);
  RunDestructors(block);
}

}  // namespace standin
