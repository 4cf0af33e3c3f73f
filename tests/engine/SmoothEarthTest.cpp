// The smooth-Earth step on its own: the least-squares surface over the
// ground, brought down to the ground at the ends (eqs. (153)-(156)), and
// the antennas' heights above it; profiles it cannot use.
#include "propagation/engine/SmoothEarth.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kestrova {
namespace {

constexpr double kTolM = 1e-9;

// A profile of n samples over L km whose ground is ground(d), the
// antennas of htg and hrg metres on its ends.
struct Profile {
    Profile(int n, double L, double htg, double hrg, const std::function<double(double)>& ground)
        : d(n), h(n), inputs{nullptr, nullptr, n, L, htg, hrg} {
        for (int i = 0; i < n; ++i) {
            d[i] = L * i / (n - 1);
            h[i] = ground(d[i]);
        }
        h[0] += htg;
        h[n - 1] += hrg;
        inputs.d = d.data();
        inputs.h = h.data();
    }
    std::vector<double> d, h;
    SmoothEarthInputs inputs;
};

TEST(SmoothEarth, SurfacesOfKnownGround) {
    struct Case {
        const char* name;
        std::function<double(double)> ground;
        double hst, hsr;
    };
    // 21 samples over 10 km; the antennas are 10 m and 20 m high.
    const Case cases[] = {
        {"flat at 100 m", [](double) { return 100.0; }, 100.0, 100.0},
        {"a plane rising 2 m/km", [](double d) { return 100.0 + 2.0 * d; }, 100.0, 120.0},
        // Level at the mean, 750 / 21 m, above the ground at both ends:
        // brought down to it (eqs. (155a), (155b)).
        {"a ridge", [](double d) { return d <= 5.0 ? 15.0 * d : 15.0 * (10.0 - d); }, 0.0, 0.0},
        // Level at the mean, 825 / 21 m, below the ground at the ends: kept.
        {"a valley", [](double d) { return d <= 5.0 ? 75.0 - 15.0 * d : 15.0 * (d - 5.0); },
         825.0 / 21.0, 825.0 / 21.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Profile p(21, 10.0, 10.0, 20.0, c.ground);
        const std::optional<SmoothEarthResult> r = SmoothEarthSurface(p.inputs);
        ASSERT_TRUE(r);
        EXPECT_NEAR(r->hst, c.hst, kTolM);
        EXPECT_NEAR(r->hsr, c.hsr, kTolM);
        EXPECT_NEAR(r->slope, (r->hsr - r->hst) / 10.0, kTolM);
        EXPECT_NEAR(r->hte, p.h[0] - r->hst, kTolM);
        EXPECT_NEAR(r->hre, p.h[20] - r->hsr, kTolM);
        EXPECT_LE(r->hst, p.h[0] - 10.0);
        EXPECT_LE(r->hsr, p.h[20] - 20.0);
    }
}

TEST(SmoothEarth, ProfilesItCannotUse) {
    const auto flat = [](double) { return 0.0; };
    EXPECT_FALSE(SmoothEarthSurface(Profile(2, 10.0, 10.0, 10.0, flat).inputs));
    EXPECT_FALSE(SmoothEarthSurface(Profile(5, 0.00005, 10.0, 10.0, flat).inputs));
    EXPECT_TRUE(SmoothEarthSurface(Profile(3, 0.0001, 10.0, 10.0, flat).inputs));
}

} // namespace
} // namespace kestrova
