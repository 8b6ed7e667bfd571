// The few thread primitives the C++ run-time itself uses (its exception-handling
// locks, the one-time set-up of the unwinder, the per-thread exception state and
// the guards of function-local statics), made directly from Win32. The general POSIX
// threads library would otherwise come in whole, some 32 KB, for these functions.
// Linked into programs only, never into the archive library, and only programs that
// start no threads of their own: key destructors are not run when a thread ends.
#include <windows.h>

#include <cxxabi.h>
#include <pthread.h>

namespace {

constexpr pthread_mutex_t kStaticallyInitialised = PTHREAD_MUTEX_INITIALIZER;

// A critical section is recursive, so it serves every kind of mutex.
bool IsStaticallyInitialised(pthread_mutex_t value) {
  return value == PTHREAD_MUTEX_INITIALIZER || value == PTHREAD_RECURSIVE_MUTEX_INITIALIZER ||
         value == PTHREAD_ERRORCHECK_MUTEX_INITIALIZER;
}
constexpr long kOnceRunning = 1;
constexpr long kOnceDone = 2;

CRITICAL_SECTION* NewSection() {
  void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(CRITICAL_SECTION));
  if (memory == nullptr) return nullptr;
  auto* section = static_cast<CRITICAL_SECTION*>(memory);
  InitializeCriticalSection(section);
  return section;
}

void DeleteSection(CRITICAL_SECTION* section) {
  DeleteCriticalSection(section);
  HeapFree(GetProcessHeap(), 0, section);
}

// The section behind a mutex; a statically initialised one gets its section on first
// use, the first of two racing threads winning.
CRITICAL_SECTION* SectionOf(pthread_mutex_t* mutex) {
  const pthread_mutex_t current = *mutex;
  if (!IsStaticallyInitialised(current)) return reinterpret_cast<CRITICAL_SECTION*>(current);
  CRITICAL_SECTION* fresh = NewSection();
  if (fresh == nullptr) return nullptr;
  void* previous = InterlockedCompareExchangePointer(reinterpret_cast<void**>(mutex), fresh,
                                                     reinterpret_cast<void*>(current));
  if (previous == reinterpret_cast<void*>(current)) return fresh;
  DeleteSection(fresh);
  return static_cast<CRITICAL_SECTION*>(previous);
}

}  // namespace

extern "C" {

int pthread_once(pthread_once_t* once, void (*function)(void)) {
  if (InterlockedCompareExchange(once, kOnceRunning, PTHREAD_ONCE_INIT) == PTHREAD_ONCE_INIT) {
    function();
    InterlockedExchange(once, kOnceDone);
    return 0;
  }
  while (InterlockedCompareExchange(once, kOnceDone, kOnceDone) != kOnceDone) Sleep(0);
  return 0;
}

int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t*) {
  CRITICAL_SECTION* section = NewSection();
  if (section == nullptr) return ENOMEM;
  *mutex = reinterpret_cast<pthread_mutex_t>(section);
  return 0;
}

int pthread_mutex_destroy(pthread_mutex_t* mutex) {
  if (!IsStaticallyInitialised(*mutex)) DeleteSection(reinterpret_cast<CRITICAL_SECTION*>(*mutex));
  *mutex = kStaticallyInitialised;
  return 0;
}

int pthread_mutex_lock(pthread_mutex_t* mutex) {
  CRITICAL_SECTION* section = SectionOf(mutex);
  if (section == nullptr) return ENOMEM;
  EnterCriticalSection(section);
  return 0;
}

int pthread_mutex_unlock(pthread_mutex_t* mutex) {
  LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(*mutex));
  return 0;
}

int pthread_key_create(pthread_key_t* key, void (*)(void*)) {
  const DWORD index = TlsAlloc();
  if (index == TLS_OUT_OF_INDEXES) return EAGAIN;
  *key = index;
  return 0;
}

void* pthread_getspecific(pthread_key_t key) {
  const DWORD error = GetLastError();  // a failed call's code may not have been read yet
  void* value = TlsGetValue(key);
  SetLastError(error);
  return value;
}

int pthread_setspecific(pthread_key_t key, const void* value) {
  return TlsSetValue(key, const_cast<void*>(value)) ? 0 : ENOMEM;
}

}  // extern "C"

// A function-local static is made under one lock for all of them: a thread that
// finds one being made waits until it is. The first byte of a guard marks it made.
namespace __cxxabiv1 {

namespace {

pthread_mutex_t staticsLock = PTHREAD_RECURSIVE_MUTEX_INITIALIZER;

bool IsMade(const __guard* guard) { return *reinterpret_cast<const volatile char*>(guard) != 0; }

}  // namespace

extern "C" int __cxa_guard_acquire(__guard* guard) {
  if (IsMade(guard)) return 0;
  pthread_mutex_lock(&staticsLock);
  if (!IsMade(guard)) return 1;  // the caller makes it, holding the lock
  pthread_mutex_unlock(&staticsLock);
  return 0;
}

extern "C" void __cxa_guard_release(__guard* guard) {
  *reinterpret_cast<volatile char*>(guard) = 1;
  pthread_mutex_unlock(&staticsLock);
}

extern "C" void __cxa_guard_abort(__guard*) { pthread_mutex_unlock(&staticsLock); }

}  // namespace __cxxabiv1
