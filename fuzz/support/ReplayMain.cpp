// The main of a fuzz target's replay program: runs the target's entry point once over every
// file of the folders (or files) named on the command line, in name order. Built with any
// compiler, so the seed corpora are checked by the ordinary suite; a property the target checks
// aborts the program, which fails the test. A corpus with no input is an error too: a replay
// that checks nothing must not pass.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::filesystem::path> inputsOf(const std::filesystem::path& place) {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_regular_file(place)) {
        files.push_back(place);
    } else if (std::filesystem::is_directory(place)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(place))
            if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& file : inputsOf(argv[i])) {
            std::ifstream in(file, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
            // Heap bytes of exactly the input's size, so a read past the end is seen by ASan.
            static const uint8_t kNoByte = 0;
            LLVMFuzzerTestOneInput(bytes.empty() ? &kNoByte : bytes.data(), bytes.size());
            ++replayed;
        }
    }
    if (replayed == 0) {
        std::fprintf(stderr, "no input found in the corpus given\n");
        return 1;
    }
    std::printf("replayed %zu inputs\n", replayed);
    return 0;
}
