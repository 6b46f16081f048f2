// Sine without floating point, so wave shapes come out the same on every machine.
#pragma once

namespace tolven::screens {

inline constexpr int kSineOne = 4096;

// sin(degrees) * kSineOne, for any whole number of degrees, within about 0.2 % of the true value
// (Bhaskara's rational approximation).
int Sine(int degrees);
// The same for an angle in sixteenths of a degree, interpolated between whole degrees.
int SineFine(int sixteenths);

}  // namespace tolven::screens
