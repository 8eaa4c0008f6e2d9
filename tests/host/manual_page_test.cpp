// The manual page is written from the same command-line description as
// --help: every option the usage text names must be described there too.
#include "host/command_line.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace vellum {
namespace {

// Whether a bold line of the page (.B, .BI, .BR) starts with the option.
bool SetsInBold(const std::string& page, const std::string& roffOption)
{
    std::istringstream lines(page);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with(".B")) continue;
        const size_t space = line.find(' ');
        if (space == std::string::npos || line.compare(space + 1, roffOption.size(), roffOption) != 0) continue;
        const size_t after = space + 1 + roffOption.size();
        if (after == line.size() || !std::islower(static_cast<unsigned char>(line[after]))) return true;
    }
    return false;
}

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
        // roff writes each hyphen of an option as \-.
        const std::string roff = std::regex_replace(it->str(), std::regex("-"), R"(\-)");
        EXPECT_TRUE(SetsInBold(page, roff)) << it->str() << " is not described in vellum.1";
    }
    EXPECT_GE(options, 7);
}

} // namespace
} // namespace vellum
