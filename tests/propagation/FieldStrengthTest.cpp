// Field strength from basic transmission loss after ITU-R P.525, and the
// received power in that field.
#include "propagation/FieldStrength.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kestrova {
namespace {

TEST(FieldStrength, FreeSpaceFieldOfAnIsotropicSource) {
    // E = sqrt(30 P) / d for P watts EIRP: 1 kW at 1 km is 104.77 dB(µV/m),
    // whatever the frequency; the free-space basic loss is
    // 92.448 + 20 log10 f(GHz) + 20 log10 d(km) dB. The formula's 107.2 is
    // 107.22 rounded.
    for (double f : {0.145, 1.3, 10.368}) {
        for (double d : {1.0, 10.0, 250.0}) {
            const double Lbfs = 92.448 + 20.0 * std::log10(f) + 20.0 * std::log10(d);
            const double expected = 20.0 * std::log10(std::sqrt(30.0 * 1000.0) / d * 1e6 / 1000.0);
            const double K = FieldStrengthConstant(EirpDbw(1000.0, 0.0), f);
            EXPECT_NEAR(FieldStrengthDbuVm(K, Lbfs), expected, 0.025)
                << f << " GHz, " << d << " km";
        }
    }
}

// An antenna of 0 dBi at 1 GHz in 100 dB(µV/m) receives the power that
// 1 kW EIRP gives over the free-space loss the field came from: E and Pr
// agree through the same constant, and the gain adds.
TEST(FieldStrength, ReceivedPowerInverts) {
    for (double f : {0.145, 1.0, 10.368}) {
        const double loss = 120.0;
        const double E = FieldStrengthDbuVm(FieldStrengthConstant(EirpDbw(1000.0, 0.0), f), loss);
        // Pr = EIRP - L for isotropic antennas: 30 dBW - 120 dB = -60 dBm.
        EXPECT_NEAR(ReceivedPowerDbm(E, f, 0.0), -60.0, 1e-9) << f;
        EXPECT_NEAR(ReceivedPowerDbm(E, f, 12.5), -47.5, 1e-9) << f;
    }
}

} // namespace
} // namespace kestrova
