// The coverage result as a KMZ archive for virtual-globe viewers: the KML
// document, the coverage image as a JPEG and the placemark's icon, in this
// order, each deflated and dated with its file's time.
#pragma once

#include "coverage/CoverageSites.h"
#include "coverage/Kml.h"

#include <QImage>

#include <string>
#include <vector>

namespace kestrova {

// Writes archive from image (coverageImage) and the overlay's box and
// transmitter. The working files are made in a temporary directory and
// removed; the archive is written under a temporary name and renamed, so a
// failure leaves no half-written archive and any earlier one whole.
// Returns an empty string on success, else what went wrong.
std::string ExportKMZ(const std::string& archive, const QImage& image, const KmlOverlay& overlay);

// One pixel a cell of the composite: the colour of the site that gives the
// strongest field where it is at least minFs dB(µV/m), transparent where it
// is weaker or no site reaches. colours[k] (0xRRGGBB) is site k + 1's.
QImage BestServerImage(const BestServer& composite, const std::vector<unsigned int>& colours,
                       double minFs);

// The composite's archive, written as ExportKMZ writes its own: the
// document of BestServerKmlDocument, the image as a PNG, the icon.
std::string ExportBestServerKMZ(const std::string& archive, const QImage& image,
                                const KmlOverlay& box, const std::vector<KmlSite>& sites);

} // namespace kestrova
