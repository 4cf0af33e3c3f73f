// The rule that turns a shoreline hierarchy into ITU-R P.452 radio-climatic
// zones (section 3.1 of P.452, zones B/C sea, A1 coastal land, A2 inland):
//
//   sea (1)      the oceans and seas, and lakes of at least 7800 km2;
//   coastal (2)  land whose cell centre is within 50 km (great circle on a
//                sphere of 6371 km) of the centre of a sea cell;
//   inland (3)   all other land, smaller lakes included.
//
// The grid is whole-world, cell-centred, row 0 at the north, column 0 at
// 180 degrees west, with cols = 2 * rows.
#pragma once

#include <cstdint>
#include <vector>

namespace kestrova::zones {

constexpr std::uint8_t kSea = 1;
constexpr std::uint8_t kCoastal = 2;
constexpr std::uint8_t kInland = 3;

// Shoreline levels of a cell, as GMT's grdlandmask numbers them.
constexpr std::uint8_t kLevelOcean = 0;
constexpr std::uint8_t kLevelLake = 2;

struct ZoneInput {
    int rows = 0;
    int cols = 0;
    const std::uint8_t* level = nullptr;     // 0 ocean, 1 land, 2 lake, 3 island in a lake, 4 pond
    const std::uint8_t* largeLake = nullptr; // 1 inside a lake of 7800 km2 or more
};

// One code a cell, row-major.
std::vector<std::uint8_t> ClassifyZones(const ZoneInput& input, double coastKm = 50.0);

// Four codes a byte, the first column in the most significant bits.
std::vector<std::uint8_t> PackZones(const std::vector<std::uint8_t>& codes, int rows, int cols);

} // namespace kestrova::zones
