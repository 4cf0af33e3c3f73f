#include "ItuValidation.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kestrova::test {
namespace {

std::vector<std::string> SplitCsv(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    std::string cell;
    while (std::getline(in, cell, ',')) {
        while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\r'))
            cell.pop_back();
        cells.push_back(cell);
    }
    return cells;
}

std::vector<std::vector<std::string>> ReadCsv(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) rows.push_back(SplitCsv(line));
    return rows;
}

} // namespace

std::string ItuDirectory() {
    const char* data = std::getenv("KESTROVA_DATA");
    return std::string(data ? data : "../shared/data") + "/itu-p452-18/";
}

ItuProfile ReadItuProfile(const std::string& name) {
    const auto rows = ReadCsv(ItuDirectory() + "profiles/test_profile_" + name + ".csv");
    ItuProfile p;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto& r = rows[i];
        p.d.push_back(std::stod(r.at(0)));
        p.h.push_back(std::stod(r.at(1)));
        p.clutter.push_back(std::stod(r.at(2)));
        const int code = std::stoi(r.at(4)); // theirs: 1 coastal, 2 inland, 3 sea
        p.zone.push_back(code == 3 ? 1 : code == 2 ? 3 : 2);
    }
    return p;
}

std::vector<ItuRow> ReadItuResults(const std::string& name) {
    const auto rows = ReadCsv(ItuDirectory() + "results/test_result_" + name + ".csv");
    std::vector<ItuRow> result;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ItuRow row;
        for (std::size_t c = 0; c < rows[0].size() && c < rows[i].size(); ++c)
            row[rows[0][c]] = rows[i][c];
        result.push_back(row);
    }
    return result;
}

double Number(const ItuRow& row, const std::string& column) {
    return std::stod(row.at(column));
}

p452v18::Inputs ItuInputs(const ItuRow& row) {
    p452v18::Inputs x;
    x.f = Number(row, "f (GHz)");
    x.p = Number(row, "p (%)");
    x.htg = Number(row, "htg (m)");
    x.hrg = Number(row, "hrg (m)");
    x.gt = Number(row, "Gt (dBi)");
    x.gr = Number(row, "Gr (dBi)");
    x.polarisation = Number(row, "pol (1-h/2-v)") == 1.0 ? p452v18::Polarisation::Horizontal
                                                         : p452v18::Polarisation::Vertical;
    x.dct = Number(row, "dct (km)");
    x.dcr = Number(row, "dcr (km)");
    x.pressure = Number(row, "press (hPa)");
    x.temperature = Number(row, "temp (deg C)");
    x.deltaN = 157.0 - 157.0 * 6371.0 / Number(row, "ae");
    x.n0 = Number(row, "N0");
    x.phi = p452v18::PathCentre(Number(row, "phit_n (deg)"), Number(row, "phit_e (deg)"),
                                Number(row, "phir_n (deg)"), Number(row, "phir_e (deg)"),
                                Number(row, "dtot"))
                .lat;
    return x;
}

const std::vector<std::string>& ItuProfileNames() {
    static const std::vector<std::string> names = {"b2iseac_dense_urban_land_eqdist",
                                                   "b2iseac_eqdist",
                                                   "b2iseac_eqdist_no_clutter",
                                                   "b2iseac_land_eqdist_no_clutter",
                                                   "cebreros_3995",
                                                   "cebreros_3995_no_clutter",
                                                   "flat_land_1000km",
                                                   "flat_land_100km",
                                                   "flat_land_5km",
                                                   "flat_land_5km_Dense_Suburban",
                                                   "flat_land_5km_Dense_Urban",
                                                   "flat_land_5km_Industrial",
                                                   "land_70km",
                                                   "mixed_109km",
                                                   "rburg_rural_no_clutter",
                                                   "rburg_rural_with_clutter",
                                                   "tropo_7001"};
    return names;
}

} // namespace kestrova::test
