// kestrova-cli merge: the pieces of a map computed in blocks (coverage
// --block I/N --piece FILE), put together and written as every file the
// one-process run writes, with the same bytes.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/CoverageOutputs.h"
#include "cli/LinkOptions.h"
#include "coverage/CoveragePiece.h"
#include "files/InputFile.h"

#include <nlohmann/json.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace kestrova::cli {

void DeclareMerge(OptionList& options) {
    DeclareCoverageFiles(options);
    DeclareCoverageDisplay(options);
    options.Value("tiles", "DIR|FILE",
                  "Directory of SRTM tiles or elevation rasters, or one raster file, for the "
                  "image's terrain");
    options.Flag("interpolate", "Interpolate the terrain heights between the tiles' points");
    options.Flag("json", "Write a summary as JSON");
    options.Positional("PIECE", "The pieces of the map (coverage --block I/N --piece FILE)");
}

int RunMerge(const Args& args, std::ostream& out) {
    if (args.Positional().empty()) throw UsageError("give the pieces to merge");
    const CoverageOutputs outputs = ReadCoverageOutputs(args);
    LinkOptions options = ReadLinkOptions(args);

    std::vector<NamedPiece> pieces;
    for (const std::string& path : args.Positional()) {
        std::string bytes;
        std::string problem;
        // The largest band: every cell of the largest map, two bytes each,
        // after a header naming a land cover.
        const std::size_t most = 16384 + 2 * static_cast<std::size_t>(maxCoverageCells) *
                                             static_cast<std::size_t>(maxCoverageCells);
        if (!ReadWholeFile(path, most, bytes, problem))
            throw InputError("piece " + path + " " + problem);
        std::string error;
        auto piece = DecodeCoveragePiece(bytes, error);
        if (!piece) throw InputError("piece " + path + " is " + error);
        pieces.push_back({path, std::move(*piece)});
    }
    std::string error;
    const auto assembled = AssemblePieces(pieces, error);
    if (!assembled) throw InputError("cannot merge: " + error);

    const CoverageMapInputs& map = assembled->map;
    CoverageInputs inputs;
    inputs.tx = CLocator(map.txLatitude, map.txLongitude);
    inputs.link = map.link;
    inputs.gamma = map.gamma;
    options.settings.temperature = map.temperature;
    options.settings.pressure = map.pressure;
    options.settings.humidity = map.humidity;
    const Grid16Field field(map.area, assembled->cells, assembled->noTerrain);
    const bool json = args.Flag("json");
    std::ostream& notes = json ? Warnings() : out; // --json: one JSON object on out
    WarnAboutMissingArea(field.TerrainMissing(), "the area");
    if (const int status = WriteCoverageOutputs(outputs, args, field, inputs, options, notes))
        return status;
    if (json) {
        out << nlohmann::ordered_json{{"valid", true},
                                      {"pieces", pieces.size()},
                                      {"cellsASide", map.area.n},
                                      {"cells", static_cast<long long>(map.area.n) * map.area.n},
                                      {"cellsWithoutTerrain", field.CellsWithoutTerrain()},
                                      {"terrainMissing", field.TerrainMissing()}}
                   .dump()
            << "\n";
        return 0;
    }
    out << pieces.size() << (pieces.size() == 1 ? " piece" : " pieces")
        << " merged: " << static_cast<long long>(map.area.n) * map.area.n << " cells ("
        << map.area.n << " x " << map.area.n << ")\n";
    return 0;
}

} // namespace kestrova::cli
