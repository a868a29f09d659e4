#include <zor/GMath.h>
#include <zor/Logger.h>
#include <zor/Vector3.h>

#include <QString>
#include <cmath>

namespace zor {

// The plain constants are constant-initialised; the measured ones below are filled in by the
// dynamic initialisation of this file while the library loads, in the order written.
const float GMath::PI = 3.14159274f;
const float GMath::TWO_PI = 6.28318548f;
const float GMath::HALF_PI = 1.57079637f;
const float GMath::MIN_FLOAT = 1.17549435e-38f;
const float GMath::MAX_FLOAT = 3.40282347e38f;
const float GMath::RADIANS_TO_DEGREES = 57.2957764f;
const float GMath::DEGREES_TO_RADIANS = 0.0174532924f;
const float GMath::MIN_ONE_ALLOWED = 0.999999f;
const float GMath::MAX_ONE_ALLOWED = 1.000001f;
const float GMath::EPSILON = GMath::computeMachineEpsilonFloat();
const float GMath::MIN_ONE = 1.0f - GMath::EPSILON;
const float GMath::MAX_ONE = 1.0f + GMath::EPSILON;
const double GMath::EPSILON_DOUBLE = GMath::computeMachineEpsilonDouble();
const double GMath::PHI = (std::sqrt(5.0) + 1.0) / 2.0;
const double GMath::INVERSE_PHI = 1.0 / GMath::PHI;

bool GMath::CHECK_NORMALIZING = true;

float GMath::sin(float a) { return std::sin(a); }
float GMath::cos(float a) { return std::cos(a); }
float GMath::tan(float a) { return std::tan(a); }
float GMath::asin(float a) { return std::asin(a); }
float GMath::exp(float a) { return std::exp(a); }
float GMath::log(float a) { return std::log(a); }
float GMath::pow(float base, float exponent) { return std::pow(base, exponent); }
float GMath::floor(float a) { return std::floor(a); }
float GMath::abs(float a) { return std::fabs(a); }
float GMath::sqrt(float a) { return std::sqrt(a); }

float GMath::acos(float a) {
    // A dot product of two unit vectors can land just outside [-1, 1] by rounding.
    if (a <= -1.0f) return PI;
    if (a >= 1.0f) return 0.0f;
    return std::acos(a);
}

double GMath::round(double value, int digits) {
    const double p = std::pow(10.0, digits);
    return std::round(value * p) / p;  // std::round takes halves away from zero
}

float GMath::toDegrees(float radians) { return radians * RADIANS_TO_DEGREES; }
float GMath::toRadians(float degrees) { return degrees * DEGREES_TO_RADIANS; }

int GMath::clamp(int value, int lo, int hi) { return value < lo ? lo : (value > hi ? hi : value); }
float GMath::clamp(float value, float lo, float hi) { return value < lo ? lo : (value > hi ? hi : value); }

bool GMath::isEqual(float a, float b) { return std::fabs(a - b) <= EPSILON; }
bool GMath::isNearly(float a, float b, float tolerance) { return std::fabs(a - b) <= tolerance; }
bool GMath::isValid(float v) { return v > MIN_FLOAT && v < MAX_FLOAT; }
bool GMath::isValid(int v) { return v != -2147483647 - 1 && v != 2147483647; }
bool GMath::isValid(long long v) { return v >= -2147483647LL && v < 2147483647LL; }

double GMath::goldenRatioMajor(double v) { return v / PHI; }
double GMath::goldenRatioMinor(double v) { return v - v / PHI; }

float GMath::interpolateLinear(float t, float a, float b) { return (1.0f - t) * a + t * b; }

float GMath::interpolateLinear(float x0, float x1, float x, float y0, float y1) {
    if (x1 == x0) {
        logError("GMath::interpolateLinear, x0 and x1 are equal ($), no line defined", x0);
        return y0;
    }
    return y0 + (x - x0) * (y1 - y0) / (x1 - x0);
}

namespace {

// volatile keeps every step in T's own precision (no wider registers, no constant folding).
template <typename T>
T machineEpsilon() {
    volatile T e = T(0.5);
    volatile T last;
    volatile T probe;
    do {
        last = e;
        e = e / T(2);
        probe = last / T(2) + T(1);
    } while (probe != T(1));
    return last;
}

}  // namespace

float GMath::computeMachineEpsilonFloat() { return machineEpsilon<float>(); }

double GMath::computeMachineEpsilonDouble() { return machineEpsilon<double>(); }

namespace {

void constantLine(const char* name, double value) {
    logDebug("$", QString::asprintf("    %-18s = %26.24f", name, value));
}

void vectorLine(const char* name, const Vector3& v) {
    logDebug("$", QString::asprintf("    %-18s = %s", name, qPrintable(v.toString())));
}

}  // namespace

void GMath::printConstants() {
    logDebug("Mathematics constants:");
    logDebug("  Basics:");
    constantLine("PI", PI);
    constantLine("TWO_PI", TWO_PI);
    constantLine("HALF_PI", HALF_PI);
    constantLine("MIN_FLOAT", MIN_FLOAT);
    constantLine("MAX_FLOAT", MAX_FLOAT);
    constantLine("RADIANS_TO_DEGREES", RADIANS_TO_DEGREES);
    constantLine("DEGREES_TO_RADIANS", DEGREES_TO_RADIANS);
    constantLine("EPSILON", EPSILON);
    constantLine("MIN_ONE", MIN_ONE);
    constantLine("MAX_ONE", MAX_ONE);
    constantLine("MIN_ONE_ALLOWED", MIN_ONE_ALLOWED);
    constantLine("MAX_ONE_ALLOWED", MAX_ONE_ALLOWED);
    constantLine("EPSILON_DOUBLE", EPSILON_DOUBLE);
    constantLine("PHI", PHI);
    constantLine("INVERSE_PHI", INVERSE_PHI);
    logDebug("  Vector3:");
    vectorLine("INVALID", Vector3::INVALID);
    vectorLine("POINT_OF_ORIGIN", Vector3::POINT_OF_ORIGIN);
    vectorLine("UNIT_X_POSITIVE", Vector3::UNIT_X_POSITIVE);
    vectorLine("UNIT_X_NEGATIVE", Vector3::UNIT_X_NEGATIVE);
    vectorLine("UNIT_Y_POSITIVE", Vector3::UNIT_Y_POSITIVE);
    vectorLine("UNIT_Y_NEGATIVE", Vector3::UNIT_Y_NEGATIVE);
    vectorLine("UNIT_Z_POSITIVE", Vector3::UNIT_Z_POSITIVE);
    vectorLine("UNIT_Z_NEGATIVE", Vector3::UNIT_Z_NEGATIVE);
}

}  // namespace zor
