#include "propagation/MapFile.h"

#include "files/InputFile.h"
#include "geo/TextScan.h"

#include <array>
#include <cmath>
#include <istream>
#include <new>
#include <sstream>
#include <string_view>

namespace kestrova {
namespace {

// Grids larger than this are not maps of the Earth at any resolution the
// program knows; refusing them keeps a bad descriptor from exhausting memory.
constexpr long long maxGridValues = 64LL * 1024 * 1024;
// The largest map file read: the 0.5° maps are a few megabytes.
constexpr std::size_t maxFileBytes = 256u * 1024 * 1024;

bool IsSeparator(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == ',';
}

// Reads the words of a text one at a time; a word is a run of characters
// that are neither white space nor commas.
class WordReader {
public:
    explicit WordReader(std::streambuf& buffer) : in(buffer) {}

    // The next word; false at the end of the text or when the word is too
    // long to be a number.
    bool Next(std::string_view& word) {
        using Traits = std::streambuf::traits_type;
        Traits::int_type c = in.sgetc();
        while (!Traits::eq_int_type(c, Traits::eof()) && IsSeparator(c))
            c = in.snextc();
        std::size_t length = 0;
        while (!Traits::eq_int_type(c, Traits::eof()) && !IsSeparator(c)) {
            if (length == text.size()) return false;
            text[length++] = Traits::to_char_type(c);
            c = in.snextc();
        }
        word = std::string_view(text.data(), length);
        return length > 0;
    }

private:
    std::streambuf& in;
    std::array<char, 64> text{};
};

// One number filling the whole word, as scanf's %lf would read it. A
// number that is not finite ("nan", "inf", 1e999) is no data at its node.
bool ParseValue(std::string_view word, double& value) {
    if (!scan::Double(word, value) || !word.empty()) return false;
    if (!std::isfinite(value)) value = mapNoData;
    return true;
}

bool FillGrid(WordReader& reader, std::vector<double>& values) {
    std::string_view word;
    bool first = true;
    for (double& value : values) {
        if (!reader.Next(word)) return false;
        // A byte-order mark written by some editors in front of the first number.
        if (first && word.substr(0, 3) == "\xEF\xBB\xBF") word.remove_prefix(3);
        first = false;
        if (!ParseValue(word, value)) return false;
    }
    return true;
}

} // namespace

int MapFile::ColumnsPerTurn() const {
    if (!(lonStep > 0.0)) return 0;
    const double turn = std::round(360.0 / lonStep);
    if (turn > cols || std::fabs(turn * lonStep - 360.0) > 1e-9) return 0;
    return static_cast<int>(turn);
}

bool ReadMapGrid(std::istream& in, int rows, int cols, std::vector<double>& grid) {
    if (rows <= 0 || cols <= 0 || static_cast<long long>(rows) * cols > maxGridValues) return false;
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr) return false;
    std::vector<double> values;
    try {
        values.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
    } catch (const std::bad_alloc&) {
        return false;
    }
    WordReader reader(*buffer);
    if (!FillGrid(reader, values)) return false;
    grid.swap(values);
    return true;
}

bool LoadMap(MapFile& map, const std::string& path) {
    std::string text;
    std::string problem;
    if (!ReadWholeFile(path, maxFileBytes, text, problem)) return false;
    std::istringstream in(std::move(text));
    return ReadMapGrid(in, map.rows, map.cols, map.data);
}

void ClearImplausibleNodes(MapFile& map, double minimum, double maximum) {
    for (double& node : map.data)
        if (node > mapNoData && !(node >= minimum && node <= maximum)) node = mapNoData;
}

} // namespace kestrova
