// kestrova-cli zone-map: the radio-climatic zones of a link's area
// (400 x 400), drawn as the window's "Zone Map" page draws them.
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/ImageOutput.h"
#include "cli/LinkOptions.h"
#include "maps/image/ZoneMapImage.h"
#include "terrain/Zones.h"

#include <ostream>

namespace kestrova::cli {

void DeclareZoneMap(OptionList& options) {
    DeclareEnds(options);
    options.Value("zones", "FILE", "Radio-climatic zone map (default zones01.dem where found)");
    options.Value("png", "FILE", "The PNG image to write (required)");
}

int RunZoneMap(const Args& args, std::ostream& out) {
    const LinkOptions options = ReadLinkOptions(args, false); // the zone map
    const std::string png = args.Required("png");
    const int format = ParseLocatorFormat(args.Value("format").value_or("ngr"));
    const CLocator tx = ReadEnd(args, "tx", format, "TX");
    const CLocator rx = ReadEnd(args, "rx", format, "RX");

    const auto zones = OpenZoneMap(options);
    const ZoneMapImage map = DrawZoneMap(*zones, tx.GetLatitude(), tx.GetLongitude(),
                                         rx.GetLatitude(), rx.GetLongitude(), 400, 400);
    if (map.map.bitmap.isNull())
        throw InputError(map.map.imageFailed ? "could not make the map's bitmap"
                                             : "no map: the two ends are at the same place");
    WriteImage(png, map.map.bitmap);
    out << "Zone map 400 x 400: south-west corner " << map.frame.south << ", " << map.frame.west
        << ", side " << map.frame.span << " degrees"
        << (zones->IsUsable() ? "" : " (no zone file: every cell black)") << "\n";
    return 0;
}

} // namespace kestrova::cli
