#pragma once

// A small assertion harness for the Qt-free test programs built with mingw-w64 and run under Wine.
// Each test is a function registered with KTEST; CHECK records a failure and carries on, REQUIRE
// ends the test. A test that runs past its watchdog is reported as hung and the program ends, so a
// deadlock fails the run instead of stalling it. The last line printed is "N passed, N failed".

#include <cstdint>
#include <functional>
#include <string>

class TTestHarness {
public:
    using TBody = std::function<void()>;

    // Registers a test; the order of registration is the order of the run.
    static bool Add(const char *name, TBody body);
    // Runs every test (or those whose name contains filter) and returns the exit code.
    static int RunAll(int argc, char **argv);

    static void Fail(const char *file, int line, const std::string &what);
    // Ends the current test as skipped, naming why; it counts neither as passed nor failed.
    [[noreturn]] static void Skip(const std::string &reason);
    [[noreturn]] static void Abort();

    // Milliseconds on a monotonic clock.
    static std::int64_t NowMs();
    // Waits until done() holds or timeoutMs passed, checking every millisecond or so.
    static bool WaitFor(const std::function<bool()> &done, std::int64_t timeoutMs);
    // True when running under Wine rather than on Windows.
    static bool UnderWine();
};

#define KTEST_CAT2(a, b) a##b
#define KTEST_CAT(a, b) KTEST_CAT2(a, b)
#define KTEST(name)                                                                   \
    static void name();                                                               \
    static const bool KTEST_CAT(registered_, name) = TTestHarness::Add(#name, &name); \
    static void name()

#define CHECK(condition)                                        \
    do {                                                        \
        if (!(condition))                                       \
            TTestHarness::Fail(__FILE__, __LINE__, #condition); \
    } while (0)

#define CHECK_MSG(condition, message)                                                           \
    do {                                                                                        \
        if (!(condition))                                                                       \
            TTestHarness::Fail(__FILE__, __LINE__, std::string(#condition) + ": " + (message)); \
    } while (0)

#define REQUIRE(condition)                                      \
    do {                                                        \
        if (!(condition)) {                                     \
            TTestHarness::Fail(__FILE__, __LINE__, #condition); \
            TTestHarness::Abort();                              \
        }                                                       \
    } while (0)
