// CSite: one entry of a site file, a named position with the antenna (mast)
// height and the frequency given for it. A missing height or frequency is
// stored as -1.
#pragma once

#include <string>
#include <utility>

namespace kestrova {

class CSite {
public:
    CSite() = default;
    CSite(const CSite&) = default;
    CSite(CSite&&) = default;
    CSite& operator=(const CSite&) = default;
    CSite& operator=(CSite&&) = default;
    virtual ~CSite() = default;

    double GetLatitude() const { return latitude; }
    double GetLongitude() const { return longitude; }
    double GetMastHeight() const { return mastHeight; }
    double GetFrequency() const { return frequency; }
    const std::string& GetName() const { return name; }
    // The LocatorFormat the file gave the location in; -1 when not read from a file.
    int GetFormat() const { return format; }

    void SetLatitude(double value) { latitude = value; }
    void SetLongitude(double value) { longitude = value; }
    void SetMastHeight(double value) { mastHeight = value; }
    void SetFrequency(double value) { frequency = value; }
    void SetName(std::string value) { name = std::move(value); }
    void SetFormat(int value) { format = value; }

    bool HasMastHeight() const { return mastHeight >= 0.0; }
    bool HasFrequency() const { return frequency >= 0.0; }

private:
    double latitude = 0.0;    // degrees, WGS84
    double longitude = 0.0;   // degrees
    double mastHeight = 10.0; // m; -1 none
    double frequency = 1.0;   // GHz; -1 none
    std::string name;
    int format = -1;
};

} // namespace kestrova
