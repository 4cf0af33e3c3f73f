#!/usr/bin/env python3
"""Reference values of gaseous specific attenuation for the P676 tests.

Written separately from the C++ code, straight from ITU-R P.676-11 Annex 1
(line-by-line summation, Equations (1)-(9)) and the saturation vapour
pressure of ITU-R P.453, evaluated with mpmath at 40 significant digits so
that the expected values carry no rounding of their own. Program rules that
the Recommendation does not have are applied here too: the oxygen lines of
the 60 GHz complex (the first 37) are left out of the sum from
118.750343 GHz upwards, and water-vapour density uses T = t + 273.1.

    python3 p676_reference.py > data/p676_reference.csv

Columns: f GHz, p hPa, t degC, rho g/m3, gamma, gammaOxygen, gammaWater,
gammaDry (dB/km).
"""
import mpmath as mp

mp.mp.dps = 40

OXYGEN = [  # f0, a1..a6 (ITU-R P.676 Annex 1, Table 1)
    (50.474238, 0.94, 9.694, 8.9, 0, 2.4, 7.9),
    (50.987749, 2.46, 8.694, 9.1, 0, 2.2, 7.8),
    (51.50335, 6.08, 7.744, 9.4, 0, 1.97, 7.74),
    (52.02141, 14.14, 6.844, 9.7, 0, 1.66, 7.64),
    (52.542394, 31.02, 6.004, 9.9, 0, 1.36, 7.51),
    (53.066907, 64.1, 5.224, 10.2, 0, 1.31, 7.14),
    (53.595749, 124.7, 4.484, 10.5, 0, 2.3, 5.84),
    (54.13, 228, 3.814, 10.7, 0, 3.35, 4.31),
    (54.671159, 391.8, 3.194, 11, 0, 3.74, 3.05),
    (55.221367, 631.6, 2.624, 11.3, 0, 2.58, 3.39),
    (55.783802, 953.5, 2.119, 11.7, 0, -1.66, 7.05),
    (56.264775, 548.9, 0.015, 17.3, 0, 3.9, -1.13),
    (56.363389, 1344, 1.66, 12, 0, -2.97, 7.53),
    (56.968206, 1763, 1.26, 12.4, 0, -4.16, 7.42),
    (57.612484, 2141, 0.915, 12.8, 0, -6.13, 6.97),
    (58.323877, 2386, 0.626, 13.3, 0, -2.05, 0.51),
    (58.44659, 1457, 0.084, 15.2, 0, 7.48, -1.46),
    (59.164207, 2404, 0.391, 13.9, 0, -7.22, 2.66),
    (59.590983, 2112, 0.212, 14.3, 0, 7.65, -0.9),
    (60.306061, 2124, 0.212, 14.5, 0, -7.05, 0.81),
    (60.434776, 2461, 0.391, 13.6, 0, 6.97, -3.24),
    (61.15056, 2504, 0.626, 13.1, 0, 1.04, -0.67),
    (61.800154, 2298, 0.915, 12.7, 0, 5.7, -7.61),
    (62.411215, 1933, 1.26, 12.3, 0, 3.6, -7.77),
    (62.48626, 1517, 0.083, 15.4, 0, -4.98, 0.97),
    (62.997977, 1503, 1.665, 12, 0, 2.39, -7.68),
    (63.568518, 1087, 2.115, 11.7, 0, 1.08, -7.06),
    (64.127767, 733.5, 2.62, 11.3, 0, -3.11, -3.32),
    (64.678903, 463.5, 3.195, 11, 0, -4.21, -2.98),
    (65.224071, 274.8, 3.815, 10.7, 0, -3.75, -4.23),
    (65.764772, 153, 4.485, 10.5, 0, -2.67, -5.75),
    (66.302091, 80.09, 5.225, 10.2, 0, -1.68, -7),
    (66.83683, 39.46, 6.005, 9.9, 0, -1.69, -7.35),
    (67.369598, 18.32, 6.845, 9.7, 0, -2, -7.44),
    (67.900867, 8.01, 7.745, 9.4, 0, -2.28, -7.53),
    (68.431005, 3.3, 8.695, 9.2, 0, -2.4, -7.6),
    (68.960311, 1.28, 9.695, 9, 0, -2.5, -7.65),
    (118.750343, 945, 0.009, 16.3, 0, -0.36, 0.09),
    (368.49835, 67.9, 0.049, 19.2, 0.6, 0, 0),
    (424.763124, 638, 0.044, 19.3, 0.6, 0, 0),
    (487.24937, 235, 0.049, 19.2, 0.6, 0, 0),
    (715.39315, 99.6, 0.145, 18.1, 0.6, 0, 0),
    (773.839675, 671, 0.13, 18.2, 0.6, 0, 0),
    (834.14533, 180, 0.147, 18.1, 0.6, 0, 0),]

WATER = [  # f0, b1..b6 (ITU-R P.676 Annex 1, Table 2)
    (22.23508, 0.113, 2.143, 28.11, 0.69, 4.8, 1),
    (67.80396, 0.0012, 8.735, 28.58, 0.69, 4.93, 0.82),
    (119.99594, 0.0008, 8.356, 29.48, 0.7, 4.78, 0.79),
    (183.310091, 2.42, 0.668, 30.5, 0.64, 5.3, 0.85),
    (321.225644, 0.0483, 6.181, 23.03, 0.67, 4.69, 0.54),
    (325.152919, 1.499, 1.54, 27.83, 0.68, 4.85, 0.74),
    (336.222601, 0.0011, 9.829, 26.93, 0.69, 4.74, 0.61),
    (380.197372, 11.52, 1.048, 28.73, 0.54, 5.38, 0.89),
    (390.134508, 0.0046, 7.35, 21.52, 0.63, 4.81, 0.55),
    (437.346667, 0.065, 5.05, 18.45, 0.6, 4.23, 0.48),
    (439.150812, 0.9218, 3.596, 21, 0.63, 4.29, 0.52),
    (443.018295, 0.1976, 5.05, 18.6, 0.6, 4.23, 0.5),
    (448.001075, 10.32, 1.405, 26.32, 0.66, 4.84, 0.67),
    (470.888947, 0.3297, 3.599, 21.52, 0.66, 4.57, 0.65),
    (474.689127, 1.262, 2.381, 23.55, 0.65, 4.65, 0.64),
    (488.491133, 0.252, 2.853, 26.02, 0.69, 5.04, 0.72),
    (503.568532, 0.039, 6.733, 16.12, 0.61, 3.98, 0.43),
    (504.482692, 0.013, 6.733, 16.12, 0.61, 4.01, 0.45),
    (547.67644, 9.701, 0.114, 26, 0.7, 4.5, 1),
    (552.02096, 14.77, 0.114, 26, 0.7, 4.5, 1),
    (556.936002, 487.4, 0.159, 32.1, 0.69, 4.11, 1),
    (620.700807, 5.012, 2.2, 24.38, 0.71, 4.68, 0.68),
    (645.866155, 0.0713, 8.58, 18, 0.6, 4, 0.5),
    (658.00528, 0.3022, 7.82, 32.1, 0.69, 4.14, 1),
    (752.033227, 239.6, 0.396, 30.6, 0.68, 4.09, 0.84),
    (841.053937, 0.014, 8.18, 15.9, 0.33, 5.76, 0.45),
    (859.962313, 0.1472, 7.989, 30.6, 0.68, 4.09, 0.84),
    (899.306675, 0.0605, 7.917, 29.85, 0.68, 4.53, 0.9),
    (902.616173, 0.0426, 8.432, 28.65, 0.7, 5.1, 0.95),
    (906.207325, 0.1876, 5.111, 24.08, 0.7, 4.7, 0.53),
    (916.171582, 8.34, 1.442, 26.7, 0.7, 4.78, 0.78),
    (923.118427, 0.0869, 10.22, 29, 0.7, 5, 0.8),
    (970.315022, 8.972, 1.92, 25.5, 0.64, 4.94, 0.67),
    (987.926764, 132.1, 0.258, 29.85, 0.68, 4.55, 0.9),
    (1780, 22300, 0.952, 176.2, 0.5, 30.5, 5),]

CUTOFF = mp.mpf("118.750343")


def mpf(x):
    return mp.mpf(repr(x)) if isinstance(x, float) else mp.mpf(x)


def shape(f, f0, width, delta):
    """Equation (5), van Vleck-Weisskopf shape with line mixing delta."""
    lower = (width - delta * (f0 - f)) / ((f0 - f) ** 2 + width ** 2)
    upper = (width - delta * (f0 + f)) / ((f0 + f) ** 2 + width ** 2)
    return (f / f0) * (lower + upper)


def oxygen(f, p, e, th):
    total = mp.mpf(0)
    rows = OXYGEN if f < CUTOFF else OXYGEN[37:]
    for f0, a1, a2, a3, a4, a5, a6 in (map(mpf, r) for r in rows):
        strength = a1 * mp.mpf("1e-7") * p * th ** 3 * mp.exp(a2 * (1 - th))
        width = a3 * mp.mpf("1e-4") * (p * th ** (mp.mpf("0.8") - a4) + mp.mpf("1.1") * e * th)
        width = mp.sqrt(width ** 2 + mp.mpf("2.25e-6"))
        delta = (a5 + a6 * th) * mp.mpf("1e-4") * (p + e) * th ** mp.mpf("0.8")
        total += strength * shape(f, f0, width, delta)
    return total


def water(f, p, e, th):
    total = mp.mpf(0)
    for f0, b1, b2, b3, b4, b5, b6 in (map(mpf, r) for r in WATER):
        strength = b1 * mp.mpf("0.1") * e * th ** mp.mpf("3.5") * mp.exp(b2 * (1 - th))
        width = b3 * mp.mpf("1e-4") * (p * th ** b4 + b5 * e * th ** b6)
        width = mp.mpf("0.535") * width + mp.sqrt(
            mp.mpf("0.217") * width ** 2 + mp.mpf("2.1316e-12") * f0 ** 2 / th)
        total += strength * shape(f, f0, width, 0)
    return total


def dry(f, p, e, th):
    """Equation (8), with the width parameter d of Equation (9)."""
    d = mp.mpf("5.6e-4") * (p + e) * th ** mp.mpf("0.8")
    debye = mp.mpf("6.14e-5") / (d * (1 + (f / d) ** 2))
    n2 = mp.mpf("1.4e-12") * p * th ** mp.mpf("1.5") / (1 + mp.mpf("1.9e-5") * f ** mp.mpf("1.5"))
    return f * p * th ** 2 * (debye + n2)


def attenuation(f, ptotal, t, rho):
    f, ptotal, t, rho = map(mpf, (f, ptotal, t, rho))
    T = t + mp.mpf("273.15")
    e = rho * T / mp.mpf("216.7")
    p = ptotal - e
    th = 300 / T
    ox, wv, nd = oxygen(f, p, e, th), water(f, p, e, th), dry(f, p, e, th)
    k = mp.mpf("0.182") * f
    return k * (ox + wv + nd), k * ox, k * wv, k * nd


def vapour_density(rh, t):
    """Saturation vapour pressure over water, ITU-R P.453."""
    rh, t = mpf(rh), mpf(t)
    es = mp.mpf("6.1121") * mp.exp(mp.mpf("17.502") * t / (t + mp.mpf("240.9")))
    return mp.mpf("216.7") * es * rh / 100 / (t + mp.mpf("273.1"))


def frequencies():
    """0.025 to 300 GHz: logarithmic below 1 GHz, then every 0.5 GHz, plus
    the line centres and the summation change."""
    fs = {mp.mpf("0.025") * mp.power(40, mp.mpf(i) / 20) for i in range(20)}
    fs |= {mp.mpf(i) / 2 for i in range(2, 601)}
    fs |= {mp.mpf(r[0]) for r in OXYGEN[:38]} | {mp.mpf(r[0]) for r in WATER[:4]}
    fs |= {CUTOFF, CUTOFF - mp.mpf("1e-6")}
    return sorted({float(f) for f in fs})


WEATHER = [  # p hPa, t degC, relative humidity %
    (1013.25, 15, 100),
    (1000, 20, 50),
    (1000, 20, 0),
    (800, -10, 80),
    (1050, 40, 30),
]


def main():
    print("f,p,t,rho,gamma,gammaOxygen,gammaWater,gammaDry")
    for p, t, rh in WEATHER:
        rho = float(vapour_density(rh, t)) if t > -20 else 0.0
        for f in frequencies():
            values = attenuation(f, p, t, rho)
            print(",".join([repr(f), repr(float(p)), repr(float(t)), repr(rho)] +
                           [mp.nstr(v, 17) for v in values]))


if __name__ == "__main__":
    main()
