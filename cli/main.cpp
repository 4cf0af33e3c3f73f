#include "cli/Commands.h"
#include "files/SafeWrite.h"

#include <iostream>

int main(int argc, char** argv) {
    kestrova::RemoveTemporariesOnSignals(); // Ctrl-C during a write leaves no temporary file
    const kestrova::cli::Words words(argv + 1, argv + argc);
    return kestrova::cli::RunCli(words, std::cout, std::cerr);
}
