// Ducting and layer reflection after ITU-R P.452-14 (10/2009), section
// 4.4: fixed coupling losses plus the time-percentage and angular-distance
// dependent loss, without the small-angle correction Alf of eq. (37a) and
// without gaseous absorption, which the callers add.
#include "propagation/common/SharedSteps.h"
#include "propagation/engine/EarthGeometry.h"
#include "propagation/engine/Terrain.h"

namespace kestrova {

bool CTerrain::ComputeDucting() {
    p452::DuctingPath x;
    x.f = frequency;
    x.d = pathLength;
    x.p = timePercent;
    x.ae = EffectiveRadiusKm(kMedian);
    x.hts = profile.height[0];
    x.hrs = profile.height[profile.count - 1];
    x.thetaT = thetaT;
    x.thetaR = thetaR;
    x.dlt = dlt;
    x.dlr = dlr;
    x.dct = dct;
    x.dcr = dcr;
    x.omega = omega;
    x.hte = hte;
    x.hre = hre;
    x.hm = hm;
    x.tau = tau;
    x.beta0 = beta0;
    loss.lba = p452::DuctingLoss(x, 0.0); // eqs. (36)-(46a)
    return true;
}

} // namespace kestrova
