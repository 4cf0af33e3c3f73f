// CLocator: one position on the WGS84 datum and its four text formats
// (Maidenhead locator, OSGB national grid reference, decimal degrees,
// degrees-minutes-seconds). Validity is a flag, never an exception.
//
// The national-grid side follows the Ordnance Survey's "A guide to
// coordinate systems in Great Britain": Transverse Mercator on Airy 1830 and
// a seven-parameter Helmert shift between WGS84 and OSGB36.
//
// A CLocator is a small value type; copies may be used on any thread.
#pragma once

#include <string>
#include <type_traits>

namespace kestrova {

// The location format number used by every format argument and by the
// settings file.
enum LocatorFormat : int {
    FormatMaidenhead = 0,
    FormatNGR = 1,
    FormatDegrees = 2,
    FormatDMS = 3,
};

class CLocator {
public:
    CLocator() = default;
    // Any numbers in degrees (a template so that CLocator(0, 0) cannot be
    // taken for the text form).
    template <typename Lat, typename Lon>
    requires std::is_arithmetic_v<Lat> && std::is_arithmetic_v<Lon> CLocator(Lat latDeg, Lon lonDeg)
        : CLocator(Degrees{}, static_cast<double>(latDeg), static_cast<double>(lonDeg)) {}
    CLocator(std::string text, int format);

    bool IsValid() const { return valid; }
    double GetLatitude() const { return latitude; }
    double GetLongitude() const { return longitude; }
    int GetFormat() const { return format; }
    const std::string& GetStoredText() const { return text; }

    // Text in any format; precision is Maidenhead characters, NGR digits or
    // decimals (0 means the format's default: 8, 8, 7). "Invalid" for an
    // unknown format.
    std::string GetText(int textFormat);
    std::string GetText(int textFormat, int precision);

    std::string GetMaidenhead();           // 8 characters
    std::string GetMaidenhead(int length); // also stored in text
    std::string GetNGR() const;            // 6 digits
    std::string GetNGR(int digits) const;
    std::string GetDegrees() const; // 7 decimals
    std::string GetDegrees(int decimals) const;
    std::string GetDMS() const;

    int ParseMaidenhead();
    int ParseNGR();
    int ParseDegrees();
    int ParseDMS();

    int SetLatLon(double lat, double lon);

    // The point rangeKm along the initial bearing bearingDeg, on a sphere of
    // the WGS84 semi-major axis. The longitude is not wrapped into ±180.
    bool DestinationPoint(double& latOut, double& lonOut, double rangeKm, double bearingDeg) const;

    // National grid (GridReference.cpp).
    int GetEasting() const;
    int GetNorthing() const;
    int GetGridEN(int& easting, int& northing) const;
    static int LatLonToGrid(double lat, double lon, int& eastRem, int& northRem, char letters[3]);
    static void GridToLatLon(double northRem, double eastRem, const char* letters, double& lat,
                             double& lon);
    static void GridToSquare(double easting, double northing, char letters[3], int& eastRem,
                             int& northRem);
    static void SquareToGrid(const char* letters, int& easting0, int& northing0);
    static void OSGB36ToWGS84(double lat, double lon, double& latOut, double& lonOut);
    static void OSGB36ToWGS84(double& lat, double& lon);
    static void WGS84ToOSGB36(double lat, double lon, double& latOut, double& lonOut);
    static void WGS84ToOSGB36(double& lat, double& lon);

    // Maidenhead cell extents in degrees, levels 1 to 7 (index 0 unused):
    // level 1 is the 20° x 10° field, each further level divides by 10 or 24.
    struct MaidenheadSteps {
        double lon[8];
        double lat[8];
    };
    static const MaidenheadSteps& Steps();

    // Constants of the conversions, as the national grid defines them.
    static constexpr double degToRad = 0.017453292519943295;
    static constexpr double radToDeg = 57.29577951308232;
    static constexpr double F0 = 0.9996012717;
    static constexpr double lon0Deg = -2.0;
    static constexpr double lon0Rad = -0.03490658503;
    static constexpr double airyA = 6377563.396;
    static constexpr double airyB = 6356256.91;
    static constexpr double airyE2 = 0.0066705397616;
    static constexpr double airyEp2 = 0.0067153346685;
    static constexpr double airyN = 0.0016732202503;
    static constexpr double M0 = 5429228.6032;
    static constexpr double wgsA = 6378137.0;
    static constexpr double wgsB = 6356752.3141;
    static constexpr double wgsE2 = 0.0066943800355;

private:
    struct Degrees {};
    CLocator(Degrees, double latDeg, double lonDeg);

    std::string text;
    double latitude = 0.0;
    int format = -1;
    double longitude = 0.0;
    bool valid = false;
};

} // namespace kestrova
