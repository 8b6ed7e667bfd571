// The programs' own pieces of the run-time (src/runtime), linked here exactly as into
// the programs. Single-threaded, as the pieces assume, and so without GoogleTest: each
// check prints what it found when it fails, and the run's exit code is the number of
// failed checks. Cases that must stop the process run in a child: this executable
// started again with the case's name as its argument.
#include "runtime/runtime_fault.h"
#include "support/test_support.h"
#include "win/handles.h"

#include <windows.h>

#include <pthread.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <string>

namespace {

int failures = 0;

void Check(bool ok, const char* what, int line, const std::string& found = std::string()) {
  if (ok) return;
  ++failures;
  std::printf("line %d: %s fails%s%s\n", line, what, found.empty() ? "" : "; found ",
              found.c_str());
}

#define CHECK_TRUE(condition) Check((condition), #condition, __LINE__)
#define CHECK_EQ(expected, actual) \
  Check((expected) == (actual), #expected " == " #actual, __LINE__, Shown(actual))

std::string Shown(const std::string& text) { return "\"" + text + "\""; }
std::string Shown(unsigned long number) { return std::to_string(number); }
std::string Shown(int number) { return std::to_string(number); }

constexpr DWORD kChildDone = 0;
constexpr DWORD kChildWentOn = 10;  // a child whose fault did not stop it

// --- what the children do

int depth = 0;

// Made by a maker that asks for the static again.
int& RecursiveStatic() {
  static int value = ++depth < 2 ? RecursiveStatic() + 1 : 100;
  return value;
}

pthread_once_t recursiveOnce = PTHREAD_ONCE_INIT;
void EnterOnceAgain() { pthread_once(&recursiveOnce, EnterOnceAgain); }

int onceRuns = 0;
void ThrowOnFirstRun() {
  if (++onceRuns == 1) throw std::exception();
}

// Fills the address space and then the heap, so that not even a lock can be made.
void UseUpMemory() {
  for (SIZE_T size = SIZE_T{1} << 30; size >= 0x10000;) {
    if (VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS) == nullptr) size /= 2;
  }
  for (SIZE_T size = SIZE_T{1} << 20; size > 0;) {
    if (HeapAlloc(GetProcessHeap(), 0, size) == nullptr) size /= 2;
  }
}

void Throw() { throw std::exception(); }
void EndUnhandled() noexcept { Throw(); }

DWORD RunChild(const std::string& kind) {
  if (kind == "recursive-static") {
    std::printf("made twice: %d\n", RecursiveStatic());
    return kChildWentOn;
  }
  if (kind == "recursive-once") {
    pthread_once(&recursiveOnce, EnterOnceAgain);
    return kChildWentOn;
  }
  if (kind == "throwing-once") {  // a waiting second call would hang: the parent's bound tells
    pthread_once_t once = PTHREAD_ONCE_INIT;
    for (int call = 0; call < 3; ++call) {
      try {
        pthread_once(&once, ThrowOnFirstRun);
      } catch (const std::exception&) {
      }
    }
    std::once_flag flag;
    int calls = 0;
    for (int call = 0; call < 3; ++call) {
      try {
        std::call_once(flag, [&] {
          if (++calls == 1) throw std::exception();
        });
      } catch (const std::exception&) {
      }
    }
    std::printf("runs %d, calls %d\n", onceRuns, calls);
    return kChildDone;
  }
  if (kind == "lock-without-memory") {
    static pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
    UseUpMemory();
    const int code = pthread_mutex_lock(&mutex);
    std::printf("locked: %d\n", code);
    return kChildWentOn;
  }
  if (kind == "unhandled") {
    EndUnhandled();
    return kChildWentOn;
  }
  return 2;
}

// --- the parent's side

struct ChildRun {
  DWORD ExitCode = 0;
  std::string Out;
  std::string Err;
};

// Runs this executable again with kind as its argument; a child still running after a
// minute is stopped and reported as hanging.
ChildRun Child(const std::string& kind) {
  const std::string dir = ScratchDir("runtime-pieces-" + kind);
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  auto create = [&](const char* name) {
    return FileHandle(CreateFileA((dir + name).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                  &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  };
  FileHandle out = create("out.txt");
  FileHandle err = create("err.txt");
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string command = "\"" + std::string(self) + "\" " + kind;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.Get();
  startup.hStdError = err.Get();
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &started)) {
    throw std::runtime_error("cannot start " + command);
  }
  ObjectHandle process(started.hProcess);
  ObjectHandle thread(started.hThread);
  ChildRun run;
  if (WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.Get(), 99);
    WaitForSingleObject(process.Get(), INFINITE);
    run.Err = "<hangs>";
  }
  GetExitCodeProcess(process.Get(), &run.ExitCode);
  out.Reset();
  err.Reset();
  run.Out = ReadFileBytes(dir + "out.txt");
  run.Err += ReadFileBytes(dir + "err.txt");
  return run;
}

std::string FaultReport(const std::string& problem) {
  return "Runtime error in module runtime_pieces_test.exe.\r\n" + problem + "\r\n";
}

int attempts = 0;
int& MadeOnSecondAttempt() {
  static int value = ++attempts == 1 ? throw std::exception() : attempts;
  return value;
}

void AThrowingInitialiserLetsTheNextUseTryAgain() {
  bool threw = false;
  try {
    MadeOnSecondAttempt();
  } catch (const std::exception&) {
    threw = true;
  }
  CHECK_TRUE(threw);
  CHECK_EQ(2, MadeOnSecondAttempt());
  CHECK_EQ(2, MadeOnSecondAttempt());
  CHECK_EQ(2, attempts);
}

void MisusesOfTheLibraryThrowOnePlainError() {
  std::string thrown = "no throw";
  try {
    std::string("ab").at(5);
  } catch (const std::out_of_range&) {
    thrown = "the library's own std::out_of_range";
  } catch (const std::exception& e) {
    thrown = std::strstr(e.what(), "basic_string") != nullptr ? "ours" : e.what();
  }
  CHECK_EQ(std::string("ours"), thrown);
}

void AOneTimeSetUpThatThrowsRunsAgainOnTheNextCall() {
  const ChildRun run = Child("throwing-once");
  CHECK_EQ(kChildDone, run.ExitCode);
  CHECK_EQ(std::string("runs 2, calls 2\r\n"), run.Out);
  CHECK_EQ(std::string(), run.Err);
}

void FaultsStopTheProgramWithAReport() {
  const struct {
    const char* kind;
    const char* problem;
  } cases[] = {
      {"recursive-static", "A function-local static was used while it was being made."},
      {"recursive-once", "A one-time set-up was entered again from within itself."},
      {"lock-without-memory", "There is no memory left for a lock."},
      {"unhandled", "An error was not handled (the program called std::terminate)."},
  };
  for (const auto& fault : cases) {
    std::printf("%s\n", fault.kind);
    const ChildRun run = Child(fault.kind);
    CHECK_EQ(kRuntimeFaultExitCode, run.ExitCode);
    CHECK_EQ(FaultReport(fault.problem), run.Err);
    CHECK_EQ(std::string(), run.Out);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2) return static_cast<int>(RunChild(argv[1]));
  AThrowingInitialiserLetsTheNextUseTryAgain();
  MisusesOfTheLibraryThrowOnePlainError();
  AOneTimeSetUpThatThrowsRunsAgainOnTheNextCall();
  FaultsStopTheProgramWithAReport();
  std::printf("%s: %d failed checks\n", failures == 0 ? "PASSED" : "FAILED", failures);
  return failures;
}
