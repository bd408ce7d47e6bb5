// How many steps of 1/100 radian a circle's or an arc's walk can reach: at
// most R(721 * 628 / 360) + 628, and step 0.
#pragma once

namespace kuv {

inline constexpr int kWalkSteps = 1258 + 628 + 1;

}  // namespace kuv
