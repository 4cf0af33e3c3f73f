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

// A count as people write it: 29161 as "29,161".
std::string Grouped(long long count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    return digits;
}

// The first word with a leading UTF-8 byte-order mark removed. ITU-R's files
// begin every line with blanks, so a mark may stand alone as a word: then
// the next word is the first.
bool FirstWord(WordReader& reader, std::string_view& word) {
    if (!reader.Next(word)) return false;
    if (word.substr(0, 3) != "\xEF\xBB\xBF") return true;
    word.remove_prefix(3);
    return !word.empty() || reader.Next(word);
}

// Fills values with the numbers of the text and checks that the text holds
// no more: a header line or a grid of another spacing would otherwise shift
// every node silently.
bool FillGrid(WordReader& reader, std::vector<double>& values, std::string& problem) {
    const long long expected = static_cast<long long>(values.size());
    std::string_view word;
    long long count = 0;
    for (double& value : values) {
        if (!(count == 0 ? FirstWord(reader, word) : reader.Next(word))) {
            problem = Grouped(count) + " of " + Grouped(expected) + " numbers";
            return false;
        }
        ++count;
        if (!ParseValue(word, value)) {
            problem = "word " + Grouped(count) + " (\"" + std::string(word) + "\") is not a number";
            return false;
        }
    }
    if (!reader.Next(word)) return true;
    for (++count; reader.Next(word); ++count) {
    }
    problem = Grouped(count) + " numbers where the grid holds " + Grouped(expected);
    return false;
}

} // namespace

int MapFile::ColumnsPerTurn() const {
    if (!(lonStep > 0.0)) return 0;
    const double turn = std::round(360.0 / lonStep);
    if (turn > cols || std::fabs(turn * lonStep - 360.0) > 1e-9) return 0;
    return static_cast<int>(turn);
}

bool ReadMapGrid(std::istream& in, int rows, int cols, std::vector<double>& grid,
                 std::string* problem) {
    std::string reason;
    const bool read = ReadMapGrid(in, rows, cols, grid, reason);
    if (problem != nullptr) *problem = reason;
    return read;
}

bool ReadMapGrid(std::istream& in, int rows, int cols, std::vector<double>& grid,
                 std::string& problem) {
    problem.clear();
    if (rows <= 0 || cols <= 0 || static_cast<long long>(rows) * cols > maxGridValues) {
        problem = "no grid of " + std::to_string(rows) + " × " + std::to_string(cols) + " nodes";
        return false;
    }
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr) {
        problem = "cannot be read";
        return false;
    }
    std::vector<double> values;
    try {
        values.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
    } catch (const std::bad_alloc&) {
        problem = "not enough memory";
        return false;
    }
    WordReader reader(*buffer);
    if (!FillGrid(reader, values, problem)) return false;
    grid.swap(values);
    return true;
}

bool LoadMap(MapFile& map, const std::string& path, std::string* problem) {
    std::string text;
    std::string reason;
    bool read = ReadWholeFile(path, maxFileBytes, text, reason);
    if (read) {
        std::istringstream in(std::move(text));
        read = ReadMapGrid(in, map.rows, map.cols, map.data, reason);
    }
    if (problem != nullptr) *problem = read ? std::string() : reason;
    return read;
}

void ClearImplausibleNodes(MapFile& map, double minimum, double maximum) {
    for (double& node : map.data)
        if (node > mapNoData && !(node >= minimum && node <= maximum)) node = mapNoData;
}

} // namespace kestrova
