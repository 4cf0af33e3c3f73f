// Round tick values for the window's charts: ticks on multiples of 1, 2 or
// 5 times a power of ten, whatever the axis range, as chart readers expect.
#pragma once

class QValueAxis;

namespace kestrova {

// The round interval (1, 2 or 5 times a power of ten) that cuts span into
// at most maxTicks parts; 1 for a span that is not a positive number.
double RoundTickInterval(double span, int maxTicks = 8);

// From now on, whatever sets the axis's range (a zoom too), its ticks lie
// on multiples of the round interval of that range.
void KeepTicksRound(QValueAxis* axis);

// Sets the axis to min..max with its ticks on multiples of the round
// interval of that range.
void SetRoundRange(QValueAxis* axis, double min, double max);

} // namespace kestrova
