#include <iostream>
#include <string>
#include <vector>

#include "command_registry.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return vesk::host::RunCommandLine(arguments, {std::cout, std::cerr});
}
