#include "platform/System.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using platform::ClassifyOsGeneration;
using platform::OsVersion;

struct GenerationCase
{
    std::optional<OsVersion> version;
    int current;
    int expected;
};

TEST(OsGeneration, classifiesEveryVersionRow)
{
    const GenerationCase cases[] = {
        {OsVersion{5, 0}, 5, 1},  {OsVersion{5, 1}, 5, 2},  {OsVersion{5, 2}, 5, 4},
        {OsVersion{6, 0}, 5, 3},  {OsVersion{6, 1}, 5, 3},  {OsVersion{6, 3}, 5, 3},
        {OsVersion{10, 0}, 5, 5}, {OsVersion{4, 0}, 5, 5},  {OsVersion{5, 3}, 5, 5},
        {OsVersion{5, 3}, 2, 2},  {std::nullopt, 5, 5},     {std::nullopt, 3, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyOsGeneration(c.version, c.current), c.expected)
            << (c.version ? std::to_string(c.version->major) + "." + std::to_string(c.version->minor)
                          : std::string("unreadable"));
    }
}

TEST(OsGeneration, linuxReportsSixOneUnlessTheEnvironmentSaysOtherwise)
{
    platform::SetOsVersionOverride(std::nullopt);
    unsetenv("QUELMAR_OS_VERSION");
    auto v = platform::GetOsVersion();
    ASSERT_TRUE(v);
    EXPECT_EQ(v->major, 6u);
    EXPECT_EQ(v->minor, 1u);

    setenv("QUELMAR_OS_VERSION", "5.1", 1);
    v = platform::GetOsVersion();
    ASSERT_TRUE(v);
    EXPECT_EQ(v->minor, 1u);
    EXPECT_EQ(v->major, 5u);
    for (const char* bad : {"five", "5", "5.", ".1", "5.1.2", "5.1x"}) {
        setenv("QUELMAR_OS_VERSION", bad, 1);
        EXPECT_FALSE(platform::GetOsVersion().has_value()) << bad;
    }
    unsetenv("QUELMAR_OS_VERSION");

    platform::SetOsVersionOverride(std::optional<OsVersion>(OsVersion{5, 2}));
    platform::OsGeneration = 5;
    platform::InitOsGeneration();
    EXPECT_EQ(platform::OsGeneration, 4);
    platform::SetOsVersionOverride(std::nullopt);
    platform::InitOsGeneration();
    EXPECT_EQ(platform::OsGeneration, 3);
}

TEST(ProgramDirectory, endsWithASlashAndCanBePointedElsewhere)
{
    const std::string real = platform::GetProgramDirectory();
    ASSERT_FALSE(real.empty());
    EXPECT_EQ(real.back(), '/');
    platform::SetProgramDirectory("/tmp/somewhere");
    EXPECT_EQ(platform::GetProgramDirectory(), "/tmp/somewhere/");
    platform::SetProgramDirectory({});
    EXPECT_EQ(platform::GetProgramDirectory(), real);
}

} // namespace
