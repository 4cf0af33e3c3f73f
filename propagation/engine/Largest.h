// The largest of a run of samples and where it lies, without a branch per
// sample: four running maxima in a loop the compiler runs on several
// samples at once (a branch per sample costs a mispredicted jump each
// time the largest so far changes), then a scan for the place of the
// largest. NaN samples are never the largest, as with comparisons in a
// loop of the form "if (v[i] > best) best = v[i]".
#pragma once

namespace kestrova {

// The largest of floor and v[first..last], NaN samples left out.
inline double LargestOf(const double* v, int first, int last, double floor) {
    double m0 = floor, m1 = floor, m2 = floor, m3 = floor;
    int i = first;
    for (; i + 3 <= last; i += 4) {
        m0 = m0 < v[i] ? v[i] : m0;
        m1 = m1 < v[i + 1] ? v[i + 1] : m1;
        m2 = m2 < v[i + 2] ? v[i + 2] : m2;
        m3 = m3 < v[i + 3] ? v[i + 3] : m3;
    }
    for (; i <= last; ++i)
        m0 = m0 < v[i] ? v[i] : m0;
    m0 = m0 < m1 ? m1 : m0;
    m2 = m2 < m3 ? m3 : m2;
    return m0 < m2 ? m2 : m0;
}

// The first i of first..last with v[i] == value; -1 if there is none.
// Four samples a test until one of them matches, then one at a time.
inline int FirstEqual(const double* v, int first, int last, double value) {
    int i = first;
    for (; i + 3 <= last; i += 4)
        if ((v[i] == value) | (v[i + 1] == value) | (v[i + 2] == value) | (v[i + 3] == value))
            break;
    for (; i <= last; ++i)
        if (v[i] == value) return i;
    return -1;
}

// The last i of first..last with v[i] == value; -1 if there is none.
inline int LastEqual(const double* v, int first, int last, double value) {
    int i = last;
    for (; i - 3 >= first; i -= 4)
        if ((v[i] == value) | (v[i - 1] == value) | (v[i - 2] == value) | (v[i - 3] == value))
            break;
    for (; i >= first; --i)
        if (v[i] == value) return i;
    return -1;
}

} // namespace kestrova
