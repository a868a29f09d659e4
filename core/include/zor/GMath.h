#pragma once
/// \zclass{GMath,math} The library's numeric constants and scalar helpers for the vector, matrix and geometry
/// classes. The constants are filled in once while the library loads (the machine epsilons are
/// measured, not taken from `<limits>`), so they are read-only for every thread afterwards.
/// \code
///   GMath::acos(1.5f) == 0;  GMath::isValid(0.0f) == false;  GMath::round(-2.5, 0) == -3
/// \endcode
/// CHECK_NORMALIZING switches the "is not normalized" log lines of the angle and rotation functions
/// on and off. It is a plain flag: set it at start-up, not while other threads compute.
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT GMath {
public:
    static const float PI;                  ///< 3.14159274
    static const float TWO_PI;              ///< 6.28318548
    static const float HALF_PI;             ///< 1.57079637
    static const float MIN_FLOAT;           ///< smallest normalised float, 1.17549435e-38
    static const float MAX_FLOAT;           ///< largest finite float, 3.40282347e38
    static const float RADIANS_TO_DEGREES;  ///< 57.2957764
    static const float DEGREES_TO_RADIANS;  ///< 0.0174532924
    static const float EPSILON;             ///< measured float machine epsilon
    static const float MIN_ONE;             ///< 1 - EPSILON
    static const float MAX_ONE;             ///< 1 + EPSILON
    static const float MIN_ONE_ALLOWED;     ///< 0.999999: lower bound of a "unit" length
    static const float MAX_ONE_ALLOWED;     ///< 1.000001: upper bound of a "unit" length
    static const double EPSILON_DOUBLE;     ///< measured double machine epsilon
    static const double PHI;                ///< golden ratio (sqrt(5) + 1) / 2
    static const double INVERSE_PHI;        ///< 1 / PHI

    static bool CHECK_NORMALIZING;  ///< log when a vector that must be a unit vector is not (default on)

    static float sin(float a);
    static float cos(float a);
    static float tan(float a);
    static float asin(float a);
    static float acos(float a);  ///< PI for a <= -1, 0 for a >= 1: never NaN from rounding noise
    static float exp(float a);
    static float log(float a);
    static float pow(float base, float exponent);
    static float floor(float a);
    static float abs(float a);
    static float sqrt(float a);
    static double round(double value, int digits);  ///< to `digits` decimals, halves away from zero
    static float toDegrees(float radians);
    static float toRadians(float degrees);
    static int clamp(int value, int lo, int hi);
    static float clamp(float value, float lo, float hi);

    static bool isEqual(float a, float b);  ///< |a - b| <= EPSILON
    static bool isNearly(float a, float b, float tolerance);
    static bool isValid(float v);      ///< MIN_FLOAT < v < MAX_FLOAT: zero and negatives are invalid
    static bool isValid(int v);        ///< neither INT_MIN nor INT_MAX
    static bool isValid(long long v);  ///< -2147483647 <= v < 2147483647

    static double goldenRatioMajor(double v);  ///< v / PHI
    static double goldenRatioMinor(double v);  ///< v - v / PHI
    static float interpolateLinear(float t, float a, float b);  ///< (1 - t) a + t b
    /// The value at x on the straight line through (x0, y0) and (x1, y1); y0 (and a log line) when
    /// x0 == x1, where no line is defined.
    static float interpolateLinear(float x0, float x1, float x, float y0, float y1);

    static float computeMachineEpsilonFloat();
    static double computeMachineEpsilonDouble();
    /// Logs every constant (and the vector constants) at DEBUG.
    static void printConstants();
};

}  // namespace zor
