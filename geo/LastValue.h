// The value of a pure function at the argument it was last asked about on
// this thread, kept: a coverage map's cells share the transmitter, the
// frequency and the time percentage, so the terms that hang on these alone
// need not be recomputed for every cell. The same bits of argument give the
// same value as a fresh call (the comparison is on the bits, so that 0 and
// -0 stay apart), and each thread keeps its own.
//
//   static thread_local LastValue cubeRoot;
//   const double r = cubeRoot(f, [](double x) { return std::cbrt(x); });
#pragma once

#include <bit>
#include <cstdint>

namespace kestrova {

class LastValue {
public:
    template <class Function> double operator()(double x, Function function) {
        const auto bits = std::bit_cast<std::uint64_t>(x);
        if (!known || bits != lastBits) {
            value = function(x);
            lastBits = bits;
            known = true;
        }
        return value;
    }

private:
    std::uint64_t lastBits = 0;
    double value = 0.0;
    bool known = false;
};

} // namespace kestrova
