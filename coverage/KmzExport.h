// The coverage result as a KMZ archive for virtual-globe viewers: the KML
// document, the coverage image as a JPEG and the placemark's icon, in this
// order, each deflated and dated with its file's time.
#pragma once

#include "coverage/Kml.h"

#include <QImage>

#include <string>

namespace kestrova {

// Writes archive from image (coverageImage) and the overlay's box and
// transmitter. The working files are made in a temporary directory and
// removed; the archive is written under a temporary name and renamed, so a
// failure leaves no half-written archive and any earlier one whole.
// Returns an empty string on success, else what went wrong.
std::string ExportKMZ(const std::string& archive, const QImage& image, const KmlOverlay& overlay);

} // namespace kestrova
