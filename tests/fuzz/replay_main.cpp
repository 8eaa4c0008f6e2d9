// Replays kept inputs through a fuzz target without libFuzzer, so every
// build (the normal and the sanitizer one included) checks that inputs
// which once crashed still run cleanly. Arguments are files or folders,
// searched recursively; a folder may be empty or missing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::filesystem::path> InputsUnder(const std::filesystem::path& place)
{
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    if (std::filesystem::is_regular_file(place, error)) {
        inputs.push_back(place);
    } else if (std::filesystem::is_directory(place, error)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(place)) {
            if (entry.is_regular_file() && entry.path().filename() != "README.md") inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

} // namespace

int main(int argc, char** argv)
{
    size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        for (const std::filesystem::path& input : InputsUnder(argv[i])) {
            std::ifstream in(input, std::ios::binary);
            const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            std::fprintf(stderr, "replay %s\n", input.string().c_str());
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++count;
        }
    }
    std::fprintf(stderr, "replayed %zu inputs\n", count);
    return 0;
}
