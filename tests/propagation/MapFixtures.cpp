#include "MapFixtures.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace kestrova::testing {
namespace fs = std::filesystem;

std::string GridText(int rows, int cols, const NodeValue& value, const std::string& separator,
                     const std::string& lineEnd) {
    std::string text;
    char number[32];
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            std::snprintf(number, sizeof number, "%.17g", value(row, col));
            if (col > 0) text += separator;
            text += number;
        }
        text += lineEnd;
    }
    return text;
}

std::string Grid15(const NodeValue& value) {
    return GridText(121, 241, value);
}

std::string Grid05(const NodeValue& value) {
    return GridText(347, 720, value);
}

double NodeId(int row, int col) {
    return (1000.0 * row + col) / 10000.0;
}

double N0NodeId(int row, int col) {
    return 300.0 + NodeId(row, col);
}

WorkingDirectory::WorkingDirectory(const fs::path& dir) : previous(fs::current_path()) {
    fs::current_path(dir);
}

WorkingDirectory::~WorkingDirectory() {
    std::error_code error;
    fs::current_path(previous, error);
}

} // namespace kestrova::testing
