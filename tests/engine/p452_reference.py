#!/usr/bin/env python3
"""Independent reference of the ITU-R P.452 point-to-point steps of Kestrova's
engine, run on a given terrain profile (standard library only).

Usage:
  p452_reference.py PROFILE.csv --latitude DEG --n0 N --delta-n D --freq GHZ
                    --percent P --tx-height M --rx-height M [--path-length KM]
prints one JSON object with the loss figures and the path members;
  p452_reference.py --write-cases tests/engine/data
rewrites the regression table p452_cases.csv of the engine tests.

The profile CSV has a header line and the columns distance_km,height_m,zone
(ground heights in metres above sea level; the first distance is 0). The path
length is the last point's distance; the antenna heights are added to the
first and the last point; then the steps run in the order of the link
calculation: path parameters, diffraction (with the horizons), smooth-Earth
fit, taut line, roughness, ducting, troposcatter, combination.
Path452.run_coarse and Path452.run_radial follow the coverage and the radial
orders on an already sampled profile (pass its path length as path_length).
"""

import argparse
import csv
import json
import math

EARTH_RADIUS_KM = 6371.0


def read_profile(path):
    points = []
    with open(path, newline="") as f:
        reader = csv.reader(f)
        next(reader)  # header
        for row in reader:
            if not row or not row[0].strip():
                continue
            zone = int(row[2])
            if zone > 127:  # zone codes are signed 8-bit
                zone -= 256
            points.append((float(row[0]), float(row[1]), zone))
    return points


def knife_edge_loss(nu):
    """J(nu) of ITU-R P.452."""
    if nu <= -0.78:
        return 0.0
    return 6.9 + 20.0 * math.log10(math.sqrt((nu - 0.1) ** 2 + 1.0) + nu - 0.1)


def inverse_cumulative_normal(x):
    """I(x), the rational approximation of ITU-R P.452."""

    def xi(t):
        return ((0.010328 * t + 0.802853) * t + 2.515516698) / (
            ((0.001308 * t + 0.189269) * t + 1.432788) * t + 1.0
        )

    if x <= 0.5:
        t = math.sqrt(-2.0 * math.log(x))
        return t - xi(t)
    t = math.sqrt(-2.0 * math.log(1.0 - x))
    return -(t - xi(t))


def interpolation_factor(p, beta0):
    if p > 50.0:
        return 0.0
    if p <= beta0:
        return 1.0
    return inverse_cumulative_normal(p / 100.0) / inverse_cumulative_normal(beta0 / 100.0)


class Path452:
    def __init__(self, points, latitude, n0, delta_n, freq, percent, htg, hrg, path_length=None):
        self.n = len(points)
        self.distance = [p[0] for p in points]
        self.height = [p[1] for p in points]
        self.zone = [p[2] for p in points]
        # the profile entry: the last point's distance; a sampled path is longer
        self.L = self.distance[-1] if path_length is None else path_length
        self.lat = latitude
        self.n0 = n0
        self.delta_n = delta_n
        self.f = freq
        self.p = percent
        self.htg = htg
        self.hrg = hrg
        self.k = 157.0 / (157.0 - delta_n)
        self.kbeta = 3.0
        self.height[0] += htg
        self.height[-1] += hrg
        # a fresh object: every member starts at zero
        self.edgeMain = self.edgeTx = self.edgeRx = 0
        self.lineOfSight = False
        self.hullCount = 0

    # ---- path parameters ----
    def half_interval(self, i):
        d, n = self.distance, self.n
        if i == 0:
            return (d[1] - d[0]) / 2.0
        if i == n - 1:
            return (d[n - 1] - d[n - 2]) / 2.0
        return (d[i + 1] - d[i - 1]) / 2.0

    def longest_run(self, member):
        best = run = 0.0
        for i in range(self.n):
            if member(self.zone[i]):
                run += self.half_interval(i)
                best = max(best, run)
            else:
                run = 0.0
        return best

    def compute_path_parameters(self):
        n, d, L = self.n, self.distance, self.L
        total = 0.0
        for i in range(n):
            if self.zone[i] != 1:
                continue
            if i == 0:
                total += d[1] - d[0]
            elif i == n - 1:
                total += d[n - 1] - d[n - 2]
            else:
                total += d[i + 1] - d[i - 1]
        self.omega = total / (2.0 * L)
        self.dtm = self.longest_run(lambda z: z != 1)
        self.dlm = self.longest_run(lambda z: z == 3)
        sea = [i for i in range(n) if self.zone[i] == 1]
        if self.omega == 0.0:
            self.dct = self.dcr = -1.0
        else:
            i, j = sea[0], sea[-1]
            self.dct = 0.0 if i == 0 else (d[i - 1] + d[i]) / 2.0 - d[0]
            if j == n - 1:
                self.dcr = 0.0
            elif j == 0:
                self.dcr = L
            else:
                self.dcr = L - (d[j] + d[j + 1]) / 2.0
        tau = 1.0 - math.exp(-0.000412 * self.dlm**2.41)
        mu1 = (10.0 ** (-self.dtm / (16.0 - 6.6 * tau)) + 10.0 ** (-5.0 * (0.496 + 0.354 * tau))) ** 0.2
        mu1 = min(mu1, 1.0)
        phi = abs(self.lat)
        if phi > 70.0:
            self.beta0 = 4.17 * mu1 * mu1**0.3
        else:
            mu4 = mu1 ** (0.0176 * phi - 0.935)
            self.beta0 = 10.0 ** (1.67 - 0.015 * phi) * mu1 * mu4
        return True

    # ---- horizons ----
    def compute_horizons(self):
        n, d, h, L = self.n, self.distance, self.height, self.L
        if L < 0.001 or n < 3:
            self.lineOfSight = True
            self.thetaT = self.thetaR = 0.0
            return False
        ae2 = 2.0 * EARTH_RADIUS_KM * self.k
        theta_td = (h[n - 1] - h[0]) / L - 1000.0 * L / ae2
        theta_rd = (h[0] - h[n - 1]) / L - 1000.0 * L / ae2
        em = self.edgeMain
        tmax = -3141.5
        self.ilt = em
        self.dlt = d[em] - d[0]
        for i in range(1, n - 1):
            di = d[i] - d[0]
            if di == 0.0:
                di = 0.00001
            th = (h[i] - h[0]) / di - 1000.0 * di / ae2
            if th >= tmax:
                tmax, self.ilt, self.dlt = th, i, di
        los = tmax <= theta_td
        self.lineOfSight = los
        self.thetaT = max(tmax, theta_td)
        self.ilr = em
        self.dlr = L - d[em]
        if los:
            self.thetaR = theta_rd
        else:
            tmax = -3141.5
            for i in range(1, n - 1):
                di = L - d[i]
                if di == 0.0:
                    di = 0.00001
                th = (h[i] - h[n - 1]) / di - 1000.0 * di / ae2
                if th >= tmax:
                    tmax, self.ilr, self.dlr = th, i, di
            self.thetaR = max(tmax, theta_rd)
        if los:
            self.ilt = self.ilr = em
            self.dlt = d[em]
            self.dlr = L - d[em]
        return True

    # ---- diffraction ----
    def nu(self, i, a, b, k):
        """Diffraction parameter of sample i on the chord from sample a to b."""
        d, h = self.distance, self.height
        di, da, db = d[i], d[a], d[b]
        ha, hb = h[a], h[b]
        hh = (
            1000.0 * (di - da) * (db - di) / (2.0 * EARTH_RADIUS_KM * k)
            + h[i]
            - (ha * (db - di) + hb * (di - da)) / (db - da)
        )
        c = math.cos(math.atan2((hb - ha) / 1000.0, db - da))
        return c * hh * math.sqrt(0.002 * (db - da) / (self.lam * (di - da) * (db - di)))

    def scan(self, first, last, a, b, start):
        best, best_i = start, None
        for i in range(first, last + 1):
            v = self.nu(i, a, b, self.k)
            if v > best:
                best, best_i = v, i
        return best, best_i

    def esp(self, p):
        p = min(max(p, 0.0001), 100.0)
        return 2.6 * (1.0 - math.exp(-0.1 * (self.dlt + self.dlr))) * math.log10(p / 50.0)

    def compute_diffraction(self):
        n, L = self.n, self.L
        self.lam = 0.3 / self.f
        d = self.distance[n - 1] - self.distance[0]
        self.lbfsg = 92.44 + 20.0 * math.log10(self.f) + 20.0 * math.log10(L) if L > 0 else 0.0
        if n < 2 or d < 0.1:
            self.lineOfSight = True
            self.lbd = self.lbd50 = self.lb0p = self.lb0b = self.lbfsg
            self.ldp = 0.0
            return True
        numax, em = self.scan(1, n - 2, 0, n - 1, -99999.0)
        if em is None:
            em = 0
        self.edgeMain = em
        lm = knife_edge_loss(numax)
        if not self.compute_horizons():
            return False
        if lm == 0.0:
            self.lineOfSight = True
            self.edgeTx = self.edgeRx = em
            self.lbd50 = self.lbfsg + self.esp(50.0)
            self.lb0b = self.lbfsg + self.esp(self.beta0)
            self.lb0p = self.lbfsg + self.esp(self.p)
            self.ldp = 0.0
            self.lbd = self.lb0p
            return True
        self.lineOfSight = False
        lt = 0.0
        if em == 1:
            self.edgeTx = em  # no candidate: the principal edge, as on the receiver side
        else:
            v, i = self.scan(1, em - 1, 0, em, -99999.0)
            lt = knife_edge_loss(v)
            self.edgeTx = i if lt > 0 else em
        lr = 0.0
        if em == n - 2:
            self.edgeRx = em  # settled reading: no candidate, the principal edge
        else:
            v, i = self.scan(em + 1, n - 2, em, n - 1, -99990.0)
            lr = knife_edge_loss(v)
            self.edgeRx = i if lr > 0 else em
        self.lb0p = self.lbfsg + self.esp(self.p)
        self.lb0b = self.lbfsg + self.esp(self.beta0)
        ld50 = lm + (1.0 - math.exp(-lm / 6.0)) * (lt + lr + 10.0 + 0.04 * d)
        self.lbd50 = self.lbfsg + ld50
        if self.p == 50.0:
            self.ldp = ld50
            self.lbd = self.lbd50
            return True
        kb = self.kbeta
        nub = self.nu(em, 0, n - 1, kb)
        lmb = knife_edge_loss(nub)
        ltb = knife_edge_loss(self.nu(self.edgeTx, 0, em, kb)) if lt > 0 and self.edgeTx > 0 else 0.0
        lrb = (
            knife_edge_loss(self.nu(self.edgeRx, em, n - 1, kb))
            if lr > 0 and self.edgeRx > 0
            else 0.0
        )
        if nub > -0.78:
            ldb = lmb + (1.0 - math.exp(-lmb / 6.0)) * (ltb + lrb + 10.0 + 0.04 * d)
        else:
            ldb = 0.0
        fi = interpolation_factor(self.p, self.beta0)
        self.ldp = ld50 + fi * (ldb - ld50)
        self.lbd = self.lb0p + self.ldp
        return True

    # ---- smooth Earth ----
    def fit_smooth_earth(self):
        n, d, h, L = self.n, self.distance, self.height, self.L
        if L < 0.0001 or n < 3:
            return False
        g = list(h[:n])
        g[0] = h[0] - self.htg
        g[n - 1] = h[n - 1] - self.hrg
        gmean = sum(g) / n
        num = den = 0.0
        for i in range(n):
            x = d[i] - L / 2.0
            num += (g[i] - gmean) * x
            den += x * x
        slope = num / den
        hst = gmean - slope * L / 2.0
        hsr = hst + slope * L
        hst = min(hst, g[0])
        hsr = min(hsr, g[n - 1])
        self.slope = (hsr - hst) / L
        self.hst, self.hsr = hst, hsr
        self.hte = h[0] - hst
        self.hre = h[n - 1] - hsr
        return True

    # ---- taut line (only its point count is compared) ----
    def compute_ray_and_fresnel(self):
        n, d, h = self.n, self.distance, self.height
        hull = []
        a = 0
        hb, db = h[0], d[0]
        while True:
            best, best_j = -9999.0, None
            for j in range(a + 1, n):
                x = (d[j] - db) * 1000.0
                ang = math.atan2(h[j] - hb, x) - x / (12742000.0 * self.k)
                if ang > best:
                    best, best_j = ang, j
            hull.append(best_j)
            a = best_j
            hb, db = h[a], d[a]
            if a == n - 1:
                break
        return len(hull)

    # ---- roughness ----
    def compute_roughness(self):
        n, d, h = self.n, self.distance, self.height
        if self.L < 0.0001 or n < 3:
            return False
        if self.lineOfSight:
            k = self.edgeMain
            self.hm = h[k] - (self.slope * d[k] + self.hst)
        else:
            hm = -100000.0
            for i in range(self.ilt, self.ilr + 1):
                hm = max(hm, h[i] - (self.slope * d[i] + self.hst))
            self.hm = hm
        return True

    # ---- ducting and layer reflection ----
    def compute_ducting(self):
        f, L, n = self.f, self.L, self.n
        ae = EARTH_RADIUS_KM * self.k
        hts, hrs = self.height[0], self.height[n - 1]

        def shielding(theta, dl):
            t2 = theta - 0.1 * dl
            if t2 > 0:
                return 20.0 * math.log10(1.0 + 0.361 * t2 * math.sqrt(f * dl)) + 0.264 * t2 * f ** (1.0 / 3.0)
            return 0.0

        ast = shielding(self.thetaT, self.dlt)
        asr = shielding(self.thetaR, self.dlr)

        def coupling(dc, dl, hs):
            if self.omega >= 0.75 and dc <= dl and dc <= 5.0:
                return -3.0 * math.exp(-0.25 * dc * dc) * (1.0 + math.tanh(0.07 * (50.0 - hs)))
            return 0.0

        act = coupling(self.dct, self.dlt, hts)
        acr = coupling(self.dcr, self.dlr, hrs)
        af = 102.45 + 20.0 * math.log10(f) + 20.0 * math.log10(self.dlt + self.dlr) + ast + asr + act + acr
        tau = 1.0 - math.exp(-0.000412 * self.dlm**2.41)
        alpha = max(-0.6 - 3.5e-9 * L**3.1 * tau, -3.4)
        mu2 = min(((500.0 / ae) * L * L / (math.sqrt(self.hte) + math.sqrt(self.hre)) ** 2) ** alpha, 1.0)
        di = min(L - self.dlt - self.dlr, 40.0)
        mu3 = math.exp(-4.6e-5 * (self.hm - 10.0) * (43.0 + 6.0 * di)) if self.hm > 10.0 else 1.0
        beta = self.beta0 * mu2 * mu3
        tt = self.thetaT if self.thetaT <= 0.1 * self.dlt else 0.1 * self.dlt
        tr = self.thetaR if self.thetaR <= 0.1 * self.dlr else 0.1 * self.dlr
        theta1 = 1000.0 * L / ae + tt + tr
        lb = math.log10(beta)
        gamma = (
            1.076
            / (2.0058 - lb) ** 1.012
            * math.exp(-(9.51 - 4.8 * lb + 0.198 * lb * lb) * 1e-6 * L**1.13)
        )
        ap = -12.0 + (1.2 + 0.0037 * L) * math.log10(self.p / beta) + 12.0 * (self.p / beta) ** gamma
        gd = 5e-5 * ae * f ** (1.0 / 3.0)
        self.lba = af + gd * theta1 + ap
        return True

    # ---- troposcatter ----
    def compute_troposcatter(self):
        L, f = self.L, self.f
        self.theta = 1000.0 * L / (EARTH_RADIUS_KM * self.k) + self.thetaT + self.thetaR
        lf = 25.0 * math.log10(f) - 2.5 * math.log10(f / 2.0) ** 2
        if L > 0:
            self.lbs = (
                190.1
                + lf
                + 20.0 * math.log10(L)
                + 0.573 * self.theta
                - 0.15 * self.n0
                - 10.125 * math.log10(50.0 / self.p) ** 0.7
            )
        else:
            self.lbs = 0.0
        return True

    # ---- combination ----
    def combine_losses(self):
        th, d, p, b0, w = self.theta, self.L, self.p, self.beta0, self.omega
        fj = 1.0 - 0.5 * (1.0 + math.tanh(3.0 * 0.8 * (th - 0.3) / 0.3))
        fk = 1.0 - 0.5 * (1.0 + math.tanh(1.5 * (d - 20.0) / 20.0))
        fi = interpolation_factor(p, b0)
        if p < b0:
            lminb0p = self.lb0p + (1.0 - w) * self.ldp
        else:
            lminb0p = self.lbd50 + (self.lb0b + (1.0 - w) * self.ldp - self.lbd50) * fi
        if self.lba < 500.0 and self.lb0p < 500.0:
            lminbap = 2.5 * math.log(math.exp(self.lba / 2.5) + math.exp(self.lb0p / 2.5))
        else:
            lminbap = max(self.lba, self.lb0p)
        lbda = self.lbd if lminbap > self.lbd else lminbap + (self.lbd - lminbap) * fk
        lbam = lbda + (lminb0p - lbda) * fj
        self.lb = -5.0 * math.log10(10.0 ** (-0.2 * self.lbs) + 10.0 ** (-0.2 * lbam))
        return True

    def run(self):
        """The link order; returns False at the first failing step."""
        # the sampling step rejects paths under 0.1 km and more than 999 samples
        if self.L < 0.1 or self.n > 999:
            return False
        steps = [
            self.compute_path_parameters,
            self.compute_diffraction,
            self.fit_smooth_earth,
        ]
        for step in steps:
            if not step():
                return False
        self.hullCount = self.compute_ray_and_fresnel()
        for step in (
            self.compute_roughness,
            self.compute_ducting,
            self.compute_troposcatter,
            self.combine_losses,
        ):
            if not step():
                return False
        return True

    def run_coarse(self):
        """The coverage order: the horizons run a second time after the
        diffraction step, so the horizon test decides line of sight; no
        display data."""
        if self.L < 0.1 or self.n > 250:
            return False
        for step in (
            self.compute_path_parameters,
            self.compute_diffraction,
            self.compute_horizons,
            self.fit_smooth_earth,
            self.compute_roughness,
            self.compute_ducting,
            self.compute_troposcatter,
            self.combine_losses,
        ):
            if not step():
                return False
        return True

    def run_radial(self):
        """The radial order: the path parameters of the full path, then the
        receiver moved from the last sample down to sample 2. Returns the
        records (j, lbd, lba, lbs, lb, distance) or None. The receiver antenna
        height given to the constructor is taken off the last sample first,
        since the radial adds it at every receiver position itself."""
        n_full, l_full = self.n, self.L
        self.height[n_full - 1] -= self.hrg
        if self.L < 0.1 or not self.compute_path_parameters():
            return None
        records = []
        for j in range(n_full - 1, 1, -1):
            self.n = j + 1
            self.height[j] += self.hrg
            self.L = (j + 1) / n_full * l_full
            if not (self.compute_diffraction() and self.fit_smooth_earth()):
                return None
            self.hullCount = self.compute_ray_and_fresnel()
            for step in (self.compute_roughness, self.compute_ducting, self.compute_troposcatter,
                         self.combine_losses):
                if not step():
                    return None
            records.append((j, self.lbd, self.lba, self.lbs, self.lb, self.L))
        self.n = n_full
        return records

    MEMBERS = [
        "lbfsg", "lb0p", "lb0b", "lbd50", "ldp", "lbd", "lbs", "lba", "lb", "theta",
        "kMedian", "beta0", "omega", "dtm", "dlm", "dct", "dcr", "thetaT", "thetaR",
        "dlt", "dlr", "hst", "hsr", "hte", "hre", "hm",
        "edgeMain", "edgeTx", "edgeRx", "lineOfSight", "hullCount",
    ]  # fmt: skip

    def result(self):
        out = {}
        for m in self.MEMBERS:
            out[m] = self.k if m == "kMedian" else getattr(self, m)
        return out


def compute(points, latitude, n0, delta_n, freq, percent, htg, hrg, path_length=None):
    path = Path452(points, latitude, n0, delta_n, freq, percent, htg, hrg, path_length)
    ok = path.run()
    out = path.result() if ok else {}
    out["valid"] = ok
    return out


# The regression cases of tests/engine/data/p452_cases.csv: name, profile,
# path-centre latitude, N0, deltaN, f GHz, p %, htg m, hrg m.
FIXTURE_CASES = [
    ("flat_sea_p50", "flat_sea_12km.csv", 51.5, 320, 45, 2.0, 50, 10, 10),
    ("flat_sea_los_high", "flat_sea_12km.csv", 51.5, 320, 45, 2.0, 10, 100, 100),
    ("flat_sea_los_lat75_below_beta0", "flat_sea_12km.csv", 75.2, 300, 40, 0.6, 1, 60, 40),
    ("ridge_p50", "ridge_land_25km.csv", 51.5, 320, 45, 2.0, 50, 10, 10),
    ("ridge_p10", "ridge_land_25km.csv", 51.5, 320, 45, 5.0, 10, 10, 30),
    ("ridge_p0p5_below_beta0", "ridge_land_25km.csv", 40.0, 310, 50, 0.9, 0.5, 20, 10),
    ("edge_at_tx_p20", "edge_at_tx_15km.csv", 51.5, 320, 45, 2.0, 20, 10, 10),
    ("edge_at_rx_sea_p1", "edge_at_rx_16km.csv", 57.5, 325, 42, 10.0, 1, 10, 15),
    ("twin_peaks_tie", "twin_peaks_10km.csv", 50.0, 320, 45, 1.2, 10, 10, 10),
    ("sea_first_only", "sea_first_only_8km.csv", 50.0, 320, 45, 2.0, 10, 10, 10),
    ("short_synthetic_1km_p30", "short_1km.csv", 51.5, 320, 45, 2.0, 30, 10, 10),
    ("long_inland_800km", "long_inland_800km.csv", 45.0, 320, 45, 2.0, 10, 10, 10),
    ("su_30km_p50", "terrain_su_30km.csv", 51.4, 320, 45, 2.0, 50, 10, 20),
    ("su_30km_p10_10ghz", "terrain_su_30km.csv", 51.4, 330, 48, 10.368, 10, 10, 20),
    ("su_30km_p0p01", "terrain_su_30km.csv", 51.4, 320, 45, 0.3, 0.01, 30, 20),
    ("su_30km_lat72", "terrain_su_30km.csv", 72.0, 320, 45, 2.0, 5, 10, 20),
    ("su_30km_los_high", "terrain_su_30km.csv", 51.4, 320, 45, 2.0, 20, 300, 300),
    ("su_short_1km_p10", "terrain_short_1km.csv", 51.4, 320, 45, 24.0, 10, 10, 20),
    ("su_short_1km_los", "terrain_short_1km.csv", 51.4, 320, 45, 2.0, 20, 100, 100),
    ("mountain_ridge_p50", "mountain_ridge_26km.csv", 44.27, 315, 40, 1.0, 50, 10, 20),
    ("mountain_ridge_p2", "mountain_ridge_26km.csv", 44.27, 315, 40, 5.8, 2, 10, 20),
    ("mountain_summit_p10", "mountain_summit_9km.csv", 44.3, 315, 40, 2.4, 10, 10, 20),
    ("mountain_summit_high_rx", "mountain_summit_9km.csv", 44.3, 315, 40, 2.4, 40, 10, 300),
    ("mountain_5km_los", "mountain_slope_5km.csv", 44.28, 315, 40, 2.4, 10, 300, 300),
    ("kattegat_coast_p50", "kattegat_coast_55km.csv", 57.5, 330, 45, 2.0, 50, 10, 20),
    ("kattegat_coast_p10", "kattegat_coast_55km.csv", 57.5, 330, 45, 3.5, 10, 30, 20),
    ("kattegat_coast_p0p1", "kattegat_coast_55km.csv", 57.5, 330, 45, 0.2, 0.1, 10, 20),
    ("kattegat_coast_los", "kattegat_coast_55km.csv", 57.5, 330, 45, 2.0, 20, 300, 300),
    ("kattegat_long_p1", "kattegat_long_120km.csv", 57.5, 330, 45, 2.0, 1, 10, 20),
    ("kattegat_long_p50", "kattegat_long_120km.csv", 57.5, 330, 45, 15.0, 50, 50, 50),
    ("kattegat_long_lat80_p0p001", "kattegat_long_120km.csv", 80.0, 300, 60, 2.0, 0.001, 10, 20),
]

INPUT_COLUMNS = ["name", "profile", "latitude", "n0", "deltaN", "f", "p", "htg", "hrg"]


def format_value(v):
    if isinstance(v, bool):
        return "1" if v else "0"
    if isinstance(v, int):
        return str(v)
    if isinstance(v, float):
        return repr(v)
    return str(v)


def write_cases(data_dir):
    """Writes p452_cases.csv in data_dir from FIXTURE_CASES."""
    import os

    out_path = os.path.join(data_dir, "p452_cases.csv")
    with open(out_path, "w", newline="") as f:
        f.write("# computed by tests/engine/p452_reference.py --write-cases tests/engine/data\n")
        w = csv.writer(f, lineterminator="\n")
        w.writerow(INPUT_COLUMNS + Path452.MEMBERS)
        for case in FIXTURE_CASES:
            name, profile = case[0], case[1]
            res = compute(read_profile(os.path.join(data_dir, profile)), *case[2:])
            if not res["valid"]:
                raise SystemExit("case %s: the calculation failed" % name)
            row = [name, profile] + [format_value(float(v)) for v in case[2:]]
            row += [format_value(res[m]) for m in Path452.MEMBERS]
            w.writerow(row)
    print("wrote %d cases to %s" % (len(FIXTURE_CASES), out_path))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("profile", nargs="?")
    ap.add_argument("--write-cases", metavar="DATA_DIR", help="write DATA_DIR/p452_cases.csv")
    ap.add_argument("--latitude", type=float)
    ap.add_argument("--n0", type=float)
    ap.add_argument("--delta-n", type=float)
    ap.add_argument("--freq", type=float)
    ap.add_argument("--percent", type=float)
    ap.add_argument("--tx-height", type=float)
    ap.add_argument("--rx-height", type=float)
    ap.add_argument("--path-length", type=float, help="km; default the last point's distance")
    a = ap.parse_args()
    if a.write_cases:
        write_cases(a.write_cases)
        return
    needed = [a.profile, a.latitude, a.n0, a.delta_n, a.freq, a.percent, a.tx_height, a.rx_height]
    if any(v is None for v in needed):
        ap.error("a profile and every one of --latitude --n0 --delta-n --freq --percent "
                 "--tx-height --rx-height are needed")
    pts = read_profile(a.profile)
    res = compute(pts, a.latitude, a.n0, a.delta_n, a.freq, a.percent, a.tx_height, a.rx_height,
                  a.path_length)
    print(json.dumps(res, indent=1))


if __name__ == "__main__":
    main()
