// A field-strength grid as the coverage file, image and exports read it:
// the area and each cell's field strength in dB(µV/m), NaN where a cell
// has not been computed. Row 0 is the northern edge, column 0 the western.
#pragma once

#include "coverage/Coverage.h"

#include <cstdint>
#include <vector>

namespace kestrova {

class CoverageField {
public:
    virtual ~CoverageField() = default;
    virtual const CoverageArea& Area() const = 0;
    virtual double Value(int i, int j) const = 0;
    // The 16-bit grid value: hundredths of dB, rounded half up, saturated.
    std::int16_t GridAt(int i, int j) const { return GridValue(Value(i, j)); }
    // Whether cell (i, j) has no terrain under its own grid point (see
    // Coverage.h): its field strength stands on ground taken as 0 m.
    virtual bool NoTerrain(int /*i*/, int /*j*/) const { return false; }
    // How many cells have no terrain, and their share of the grid (0..1).
    virtual long long CellsWithoutTerrain() const { return 0; }
    double TerrainMissing() const;
};

// The cells of a job, read in place while it runs or after it: the cells
// of a column that is not finished are NaN.
class JobField final : public CoverageField {
public:
    explicit JobField(const CoverageJob& coverageJob) : job(coverageJob) {}
    const CoverageArea& Area() const override { return job.Area(); }
    double Value(int i, int j) const override;
    bool NoTerrain(int i, int j) const override {
        return job.ColumnDone(j) && job.NoTerrainAt(i, j);
    }
    // Once the job has ended.
    long long CellsWithoutTerrain() const override { return job.CellsWithoutTerrain(); }

private:
    const CoverageJob& job;
};

// Cells held in memory, n x n, row by row from the north-west corner.
class GridField final : public CoverageField {
public:
    // values must hold area.n x area.n cells; missing ones are NaN.
    GridField(const CoverageArea& gridArea, std::vector<float> cellValues);
    const CoverageArea& Area() const override { return area; }
    double Value(int i, int j) const override;

private:
    CoverageArea area;
    std::vector<float> values;
};

// The grid in hundredths of dB(µV/m), row by row from the north-west
// corner: what the contours are traced on.
std::vector<std::int16_t> CoverageGrid16(const CoverageField& field);

} // namespace kestrova
