// MapFile: one gridded world map of a radio-meteorological quantity (the
// digital maps of the ITU-R P.453 and P.452 families), its grid geometry
// and, once loaded, its values.
//
// File format: plain text holding exactly rows × cols numbers separated by
// white space or commas (line ends, LF or CRLF, carry no meaning), perhaps
// after a UTF-8 byte-order mark, read row by row, northernmost row first,
// each row from lon0 eastwards. A value of -9999 or less marks a node without data,
// and so does a number that is not finite ("nan", "inf", 1e999).
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace kestrova {

// Nodes holding this value or less have no data.
inline constexpr double mapNoData = -9999.0;

struct MapFile {
    double percent;    // time percentage the map stands for (gradient maps)
    char fileName[24]; // looked for without regard to letter case
    double lat0;       // latitude of the southernmost row, degrees
    double latStep;    // row spacing, degrees
    int rows;
    double lon0;    // longitude of the first column, degrees
    double lonStep; // column spacing, degrees
    int cols;
    std::vector<double> data; // rows × cols values, northernmost row first; empty until loaded

    bool IsLoaded() const { return !data.empty(); }
    double At(int row, int col) const {
        return data[static_cast<std::size_t>(row) * static_cast<std::size_t>(cols) +
                    static_cast<std::size_t>(col)];
    }
    // Latitude of a row (row 0 is the northernmost).
    double RowLatitude(int row) const { return lat0 + (rows - 1 - row) * latStep; }
    // The number of columns in one turn of 360° when the grid goes all the
    // way round the globe (its last column may repeat the first), else 0.
    int ColumnsPerTurn() const;
};

// Reads rows × cols numbers from in into grid. On success grid holds
// exactly rows × cols finite values or no-data markers; on any failure (too
// few numbers, more numbers than the grid holds, a word that is not a
// number, no memory) it is left as it was, the result is false and problem
// says why ("28,000 of 29,161 numbers"). Locale-independent.
bool ReadMapGrid(std::istream& in, int rows, int cols, std::vector<double>& grid,
                 std::string& problem);
bool ReadMapGrid(std::istream& in, int rows, int cols, std::vector<double>& grid,
                 std::string* problem = nullptr);

// Reads the file at path into map.data with ReadMapGrid; false, and nothing
// read, when path is not a regular file (a FIFO is refused at once). problem,
// when given, says why a file was refused.
bool LoadMap(MapFile& map, const std::string& path, std::string* problem = nullptr);

// Marks every node outside minimum..maximum as no data: a value no map of
// its quantity can hold is not used as if it were one.
void ClearImplausibleNodes(MapFile& map, double minimum, double maximum);

} // namespace kestrova
