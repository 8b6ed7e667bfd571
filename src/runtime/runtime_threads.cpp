// The few thread primitives the C++ run-time itself uses (its exception-handling
// locks, the one-time set-up of the unwinder, the per-thread exception state and
// the guards of function-local statics), made directly from Win32. The general POSIX
// threads library would otherwise come in whole, some 32 KB, for these functions.
//
// What they assume: the program runs one thread of its own and no other thread enters
// the C++ run-time. So key destructors are never run, and a one-time set-up or a static
// found half made was entered again by its own maker, which stops the program. Threads
// that Windows starts in a program (a console control handler) touch no C++.
// tests/resources/program_resources_test.py fails a program that imports a function
// starting threads; tests/runtime/runtime_pieces_test.cpp runs these pieces as shipped.
// Linked into programs only, never into the archive library.
#include "runtime/runtime_fault.h"

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

// A lock that cannot be made would leave its caller unprotected or crash it later.
CRITICAL_SECTION* NewSection() {
  void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(CRITICAL_SECTION));
  if (memory == nullptr) StopOnRuntimeFault("There is no memory left for a lock.");
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
  void* previous = InterlockedCompareExchangePointer(reinterpret_cast<void**>(mutex), fresh,
                                                     reinterpret_cast<void*>(current));
  if (previous == reinterpret_cast<void*>(current)) return fresh;
  DeleteSection(fresh);
  return static_cast<CRITICAL_SECTION*>(previous);
}

}  // namespace

extern "C" {

int pthread_once(pthread_once_t* once, void (*function)(void)) {
  const long state = InterlockedCompareExchange(once, kOnceRunning, PTHREAD_ONCE_INIT);
  if (state == kOnceDone) return 0;
  if (state == kOnceRunning) {
    StopOnRuntimeFault("A one-time set-up was entered again from within itself.");
  }
  // A function that throws has not run: the next call tries again.
  struct Undo {
    pthread_once_t* Once;
    ~Undo() { InterlockedCompareExchange(Once, PTHREAD_ONCE_INIT, kOnceRunning); }
  } undo{once};
  function();
  InterlockedExchange(once, kOnceDone);
  return 0;
}

int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t*) {
  *mutex = reinterpret_cast<pthread_mutex_t>(NewSection());
  return 0;
}

int pthread_mutex_destroy(pthread_mutex_t* mutex) {
  if (!IsStaticallyInitialised(*mutex)) DeleteSection(reinterpret_cast<CRITICAL_SECTION*>(*mutex));
  *mutex = kStaticallyInitialised;
  return 0;
}

int pthread_mutex_lock(pthread_mutex_t* mutex) {
  EnterCriticalSection(SectionOf(mutex));
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
// finds one being made waits until it is. The first byte of a guard marks it made (the
// compiler's own code reads it), the second that it is being made. The lock is recursive,
// as making one static may make others; the same one again is a fault.
namespace __cxxabiv1 {

namespace {

pthread_mutex_t staticsLock = PTHREAD_RECURSIVE_MUTEX_INITIALIZER;

volatile char& MadeMark(__guard* guard) { return reinterpret_cast<volatile char*>(guard)[0]; }
volatile char& BeingMadeMark(__guard* guard) { return reinterpret_cast<volatile char*>(guard)[1]; }

}  // namespace

extern "C" int __cxa_guard_acquire(__guard* guard) {
  if (MadeMark(guard) != 0) return 0;
  pthread_mutex_lock(&staticsLock);
  if (MadeMark(guard) != 0) {
    pthread_mutex_unlock(&staticsLock);
    return 0;
  }
  // Only the holder of the lock can have marked it: its own maker asks again.
  if (BeingMadeMark(guard) != 0) {
    StopOnRuntimeFault("A function-local static was used while it was being made.");
  }
  BeingMadeMark(guard) = 1;
  return 1;  // the caller makes it, holding the lock
}

extern "C" void __cxa_guard_release(__guard* guard) {
  BeingMadeMark(guard) = 0;
  MadeMark(guard) = 1;
  pthread_mutex_unlock(&staticsLock);
}

extern "C" void __cxa_guard_abort(__guard* guard) {
  BeingMadeMark(guard) = 0;  // a throwing maker: the next use tries again
  pthread_mutex_unlock(&staticsLock);
}

}  // namespace __cxxabiv1
