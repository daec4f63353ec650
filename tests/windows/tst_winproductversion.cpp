// The version resource read back from the running executable under Wine, through a path that is
// not plain ASCII (the program is copied under a name with accented letters).
#include <windows.h>

#include <string>

#include "components/productversion.h"
#include "testharness.h"

using namespace kestrova::components;

namespace {

KTEST(versionsOfTheRunningExecutable)
{
    const std::string path = RunningExecutablePath();
    REQUIRE(!path.empty());
    const std::optional<TVersionInfo> info = ReadVersionInfo(path);
    REQUIRE(info.has_value());
    CHECK((info->product == TVersionNumbers{1, 2, 3, 65535}));
    CHECK((info->file == TVersionNumbers{5, 6, 7, 8}));
    CHECK(ReadProductVersion(path) == std::optional<std::string>("1.2.3.65535"));
}

KTEST(utf8PathWithAccents)
{
    const std::string path = RunningExecutablePath();
    REQUIRE(path.find("versão") != std::string::npos);  // the script names the copy so
    CHECK(ReadVersionInfo(path).has_value());
}

KTEST(noVersionIsNone)
{
    CHECK(!ReadVersionInfo("C:\\does\\not\\exist.exe").has_value());
    CHECK(!ReadProductVersion("").has_value());
}

}  // namespace

int main(int argc, char **argv)
{
    return TTestHarness::RunAll(argc, argv);
}
