#include "tools/screens/integer_sine.h"

namespace tolven::screens {

int Sine(int degrees) {
    int d = degrees % 360;
    if (d < 0) {
        d += 360;
    }
    const int sign = d < 180 ? 1 : -1;
    if (d >= 180) {
        d -= 180;
    }
    const int p = d * (180 - d);
    return sign * (4 * p * kSineOne) / (40500 - p);
}

int SineFine(int sixteenths) {
    // Floor division, so negative angles interpolate the same way as positive ones.
    int whole = sixteenths / 16;
    int part = sixteenths % 16;
    if (part < 0) {
        part += 16;
        --whole;
    }
    const int from = Sine(whole);
    const int to = Sine(whole + 1);
    return from + (to - from) * part / 16;
}

}  // namespace tolven::screens
