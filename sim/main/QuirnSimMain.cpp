#include <string>
#include <vector>

#include "sim/SimProgram.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return quirn::sim::runSimulator(args);
}
