// Small made-up map files for the tests: a fresh temporary directory per
// test, and grids written in the text layout of the ITU digital maps.
#pragma once

#include "TempDir.h"

#include <filesystem>
#include <functional>
#include <string>

namespace kestrova::testing {

using TempDir = kestrova::test::TempDir;

// The value of a grid node by row (0 northernmost) and column.
using NodeValue = std::function<double(int row, int col)>;

// rows × cols values, one row per line, separated by blanks (or by
// separator), lines ended by lineEnd.
std::string GridText(int rows, int cols, const NodeValue& value, const std::string& separator = " ",
                     const std::string& lineEnd = "\n");

// A 1.5° map (121 × 241) and a 0.5° map (347 × 720).
std::string Grid15(const NodeValue& value);
std::string Grid05(const NodeValue& value);

// A node value that names its node: (1000 × row + column) / 10000, small
// enough for every map's range of plausible values (occurrences 0..100 %,
// gradients, ΔN) but that of N0, whose maps take N0NodeId: 300 + NodeId.
double NodeId(int row, int col);
double N0NodeId(int row, int col);

// Makes dir the working directory for its lifetime.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& dir);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path previous;
};

} // namespace kestrova::testing
