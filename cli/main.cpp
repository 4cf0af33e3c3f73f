#include "cli/Commands.h"

#include <iostream>

int main(int argc, char** argv) {
    const kestrova::cli::Words words(argv + 1, argv + argc);
    return kestrova::cli::RunCli(words, std::cout, std::cerr);
}
