// Whether the four touches of a calibration run lie as their cross marks do. The marks sit on a
// rectangle of the screen, and the panel's raw axes run along the screen's edges (either way
// round, either direction), so the four raw readings must too; a touch that breaks the pattern
// was made away from its mark. Portable: the calibration session asks it after the fourth mark.
#pragma once

#include <cstdint>
#include <vector>

#include "common/calibration/calibration_computation.h"

namespace koral::calibration {

// The targets of the mode (1..4 or 5..8) whose touches are to be taken again; empty when the
// four fit within `tolerance` raw units.
//
// Corner mode: each side of the four corners runs along one raw axis, off by at most the
// tolerance from one end to the other (so opposite sides are parallel), and opposite sides run
// the same way, each longer than the tolerance (the corners come in the order one panel
// direction gives all four). Edge mode: TOP and DOWN lie on one line along a raw axis, LEFT and
// RIGHT on one along the other, each line crosses the other in its middle, and the two marks of
// a line lie on either side of the other line, further than the tolerance from it.
//
// Which touches are taken again: those that alone explain every failed test, that is each
// target whose leaving out leaves only passed tests among those not involving it. A corner off
// in both axes is thus the only one asked again; one off along a single side leaves its two ends
// in doubt, and both are asked again; with nothing to tell them apart (two touches off, a test of
// all four) all four are.
std::vector<int16_t> MisfitTargets(const PointArray& x, const PointArray& y, int32_t mode, int tolerance);

}  // namespace koral::calibration
