// kestrova-cli mechanisms: the loss of each propagation mechanism and the
// overall loss of a link at the ten time percentages of the window's
// "Mechanisms" chart, each with the path's gaseous loss.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/LandCoverOptions.h"
#include "cli/LinkOptions.h"
#include "geo/NumberFormat.h"
#include "geo/Path.h"
#include "propagation/FieldStrength.h"
#include "propagation/engine/Mechanisms.h"
#include "terrain/SRTM.h"
#include "terrain/Zones.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>

namespace kestrova::cli {
namespace {

std::string Column(double value) {
    std::string text = FormatFixed(value, 6, 1);
    return std::string(text.size() < 13 ? 13 - text.size() : 1, ' ') + text;
}

} // namespace

void DeclareMechanisms(OptionList& options) {
    DeclareEnds(options);
    DeclareLinkOptions(options);
}

int RunMechanisms(const Args& args, std::ostream& out) {
    const LinkOptions options = ReadLinkOptions(args);
    NoteLandCoverEdition(options.settings.landCover, options.settings.edition);
    const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
    const CLocator tx = ReadEnd(args, "tx", format, "TX");
    const CLocator rx = ReadEnd(args, "rx", format, "RX");
    // The inputs of the link command, so that the 50 % overall loss is the
    // link's.
    const CalculationInputs inputs =
        InputsFor(options, &tx, &rx, RefractivitySource::PathCentreBlended);
    CPath path;
    path.SetPath(tx, rx);
    double range = 0.0;
    double bearing = 0.0;
    path.GetRangeBearing(range, bearing);
    const double gasLoss = GaseousLossDb(inputs.gamma, range);

    CSRTM store(CSRTM::kTilesPerStore, options.tiles);
    const auto zones = OpenZoneMap(options);
    auto engine = std::make_unique<CTerrain>();
    const std::vector<MechanismPoint> points =
        MechanismCurves(*engine, store, *zones, tx, rx, options.interpolate, inputs.link, gasLoss);
    // Every percentage walks the same profile: the last calculation's share.
    const double terrainMissing = points.empty() ? 0.0 : engine->profile.MissingFraction();
    WarnAboutMissingTerrain(terrainMissing, "the path");
    WarnAboutLandCover(options.settings.landCover);

    if (args.Flag("json")) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (const MechanismPoint& p : points)
            list.push_back({{"percent", p.percent},
                            {"diffraction", p.diffraction},
                            {"ducting", p.ducting},
                            {"troposcatter", p.troposcatter},
                            {"overall", p.overall}});
        out << nlohmann::ordered_json{{"edition", EditionName(inputs.link.edition)},
                                      {"gasLoss", gasLoss},
                                      {"terrainMissing", terrainMissing},
                                      {"points", list}}
                   .dump()
            << "\n";
    } else if (!points.empty()) {
        out << "Gaseous loss " << FormatFixed(gasLoss, 6, 1)
            << " dB, included in every figure (dB)\n"
            << "   percent  diffraction      ducting troposcatter      overall\n";
        for (const MechanismPoint& p : points) {
            const std::string percent = FormatGeneral(p.percent, 5);
            out << std::string(10 - percent.size(), ' ') << percent << Column(p.diffraction)
                << Column(p.ducting) << Column(p.troposcatter) << Column(p.overall) << "\n";
        }
    } else {
        out << "Path too short\n";
    }
    return points.empty() ? 3 : 0;
}

} // namespace kestrova::cli
