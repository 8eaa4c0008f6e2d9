// The manual page is written from the same command-line description as
// --help: every option the usage text names must be described there too.
#include "host/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace vellum {
namespace {

TEST(ManualPage, DescribesEveryOptionOfTheUsageText)
{
    std::ifstream in(std::filesystem::path(VELLUM_SOURCE_DIR) / "packaging" / "vellum.1");
    ASSERT_TRUE(in) << "packaging/vellum.1 is missing";
    const std::string page(std::istreambuf_iterator<char>(in), {});
    const std::string usage = UsageText();
    const std::regex option(R"(--[a-z]+)");
    int options = 0;
    for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option); it != std::sregex_iterator(); ++it) {
        ++options;
        // A bold line (.B, .BI, .BR) starts with the option, each of its
        // hyphens written \- as roff has it.
        const std::string roff = std::regex_replace(it->str(), std::regex("-"), R"(\\-)");
        const std::regex bold(R"(^\.B\S* )" + roff + "(?![a-z])", std::regex::multiline);
        EXPECT_TRUE(std::regex_search(page, bold)) << it->str() << " is not described in vellum.1";
    }
    EXPECT_GE(options, 7);
}

} // namespace
} // namespace vellum
