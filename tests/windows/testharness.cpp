#include "testharness.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct TTest {
    const char *name;
    TTestHarness::TBody body;
};

// Thrown to leave a test early; never seen outside RunAll.
struct TSkipped {
    std::string reason;
};
struct TAborted {};

std::vector<TTest> &Tests()
{
    static std::vector<TTest> tests;
    return tests;
}

constexpr DWORD kWatchdogMs = 30000;

const char *gCurrent = "";
int gFailures = 0;  // of the current test
int gPassed = 0;
int gFailed = 0;
HANDLE gTestDone = nullptr;

DWORD WINAPI Watchdog(void *)
{
    for (;;) {
        if (WaitForSingleObject(gTestDone, kWatchdogMs) == WAIT_TIMEOUT) {
            std::printf("FAIL %s: still running after %lu ms (hung)\n", gCurrent, kWatchdogMs);
            std::printf("%d passed, %d failed\n", gPassed, gFailed + 1);
            std::fflush(stdout);
            ExitProcess(1);
        }
    }
}

}  // namespace

bool TTestHarness::Add(const char *name, TBody body)
{
    Tests().push_back({name, std::move(body)});
    return true;
}

void TTestHarness::Fail(const char *file, int line, const std::string &what)
{
    ++gFailures;
    const char *base = std::strrchr(file, '/');
    std::printf("  %s:%d: %s\n", base ? base + 1 : file, line, what.c_str());
    std::fflush(stdout);
}

void TTestHarness::Skip(const std::string &reason)
{
    throw TSkipped{reason};
}

void TTestHarness::Abort()
{
    throw TAborted{};
}

std::int64_t TTestHarness::NowMs()
{
    LARGE_INTEGER frequency{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1000 / frequency.QuadPart;
}

bool TTestHarness::WaitFor(const std::function<bool()> &done, std::int64_t timeoutMs)
{
    const std::int64_t deadline = NowMs() + timeoutMs;
    while (!done()) {
        if (NowMs() >= deadline) {
            return done();
        }
        Sleep(1);
    }
    return true;
}

bool TTestHarness::UnderWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

int TTestHarness::RunAll(int argc, char **argv)
{
    const char *filter = argc > 1 ? argv[1] : nullptr;
    gTestDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr));
    for (const TTest &test : Tests()) {
        if (filter && !std::strstr(test.name, filter)) {
            continue;
        }
        gCurrent = test.name;
        gFailures = 0;
        std::string skipped;
        try {
            test.body();
        } catch (const TSkipped &skip) {
            skipped = skip.reason;
        } catch (const TAborted &) {
        } catch (const std::exception &e) {
            Fail(test.name, 0, std::string("unexpected exception: ") + e.what());
        }
        SetEvent(gTestDone);
        if (gFailures > 0) {
            ++gFailed;
            std::printf("FAIL %s\n", test.name);
        } else if (!skipped.empty()) {
            std::printf("SKIP %s: %s\n", test.name, skipped.c_str());
        } else {
            ++gPassed;
            std::printf("PASS %s\n", test.name);
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", gPassed, gFailed);
    std::fflush(stdout);
    return gFailed == 0 ? 0 : 1;
}
