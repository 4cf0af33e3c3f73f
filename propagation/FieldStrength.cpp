#include "propagation/FieldStrength.h"

#include <cmath>

namespace kestrova {

double EirpDbw(double powerW, double gainDbi) {
    return 10.0 * std::log10(powerW) + gainDbi;
}

double FieldStrengthConstant(double eirpDbw, double frequencyGHz) {
    return eirpDbw + 167.2 + 20.0 * std::log10(frequencyGHz);
}

double FieldStrengthDbuVm(double K, double totalLossDb) {
    return K - totalLossDb;
}

double ReceivedPowerDbm(double fieldStrength, double frequencyGHz, double rxGainDbi) {
    return fieldStrength + rxGainDbi - 20.0 * std::log10(frequencyGHz) - 137.2;
}

} // namespace kestrova
