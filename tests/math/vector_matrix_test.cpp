// Vectors, matrices, quaternions and GMath: the fixed conventions checked against hand-computed
// values, the degenerate cases with their log lines, and seeded property tests.
#include <zor/GMath.h>
#include <zor/Logger.h>
#include <zor/Matrix2.h>
#include <zor/Matrix3.h>
#include <zor/Matrix4.h>
#include <zor/Matrix4d.h>
#include <zor/Quaternion.h>
#include <zor/Vector2.h>
#include <zor/Vector3.h>
#include <zor/Vector4.h>
#include <zor/Vector4d.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>

using namespace zor;

namespace {

// A matrix whose inverse is well defined in float: a rotation, a scale in [0.5, 2] per axis and a
// translation, plus small noise everywhere (condition number stays small).
Matrix4 randomWellConditioned(std::mt19937& rng) {
    std::uniform_real_distribution<float> angle(-GMath::PI, GMath::PI), scale(0.5f, 2.0f), shift(-100.0f, 100.0f),
        noise(-0.05f, 0.05f);
    Matrix4 r;
    r.setRotationX(angle(rng));
    Matrix4 y;
    y.setRotationY(angle(rng));
    Matrix4 z;
    z.setRotationZ(angle(rng));
    Matrix4 s;
    s.setElement11(scale(rng));
    s.setElement22(scale(rng));
    s.setElement33(scale(rng));
    Matrix4 m = r * y * z * s;
    for (int i = 0; i < 12; ++i) m[i] += noise(rng);
    m.translate(Vector3(shift(rng), shift(rng), shift(rng)));
    return m;
}

Vector3 randomVector(std::mt19937& rng, float range) {
    std::uniform_real_distribution<float> d(-range, range);
    return Vector3(d(rng), d(rng), d(rng));
}

Vector3 randomUnitAxis(std::mt19937& rng) {
    Vector3 v;
    do v = randomVector(rng, 1.0f);
    while (v.getLength() < 0.1f);
    return v.normalize();
}

}  // namespace

TEST(GMath, ConstantsAreMeasuredAtLoad) {
    EXPECT_EQ(GMath::EPSILON, FLT_EPSILON);
    EXPECT_EQ(GMath::EPSILON_DOUBLE, DBL_EPSILON);
    EXPECT_EQ(GMath::MIN_ONE, 1.0f - FLT_EPSILON);
    EXPECT_EQ(GMath::MAX_ONE, 1.0f + FLT_EPSILON);
    EXPECT_EQ(GMath::MIN_FLOAT, FLT_MIN);
    EXPECT_EQ(GMath::MAX_FLOAT, FLT_MAX);
    EXPECT_EQ(GMath::PI, static_cast<float>(M_PI));
    EXPECT_EQ(GMath::TWO_PI, 2.0f * GMath::PI);
    EXPECT_DOUBLE_EQ(GMath::PHI, 1.6180339887498949);
    EXPECT_DOUBLE_EQ(GMath::PHI * GMath::INVERSE_PHI, 1.0);
    EXPECT_EQ(GMath::computeMachineEpsilonFloat(), GMath::EPSILON);
}

TEST(GMath, ScalarFunctionsAtTheirEdges) {
    EXPECT_EQ(GMath::acos(1.5f), 0.0f);
    EXPECT_EQ(GMath::acos(1.0f), 0.0f);
    EXPECT_EQ(GMath::acos(-1.0f), GMath::PI);
    EXPECT_EQ(GMath::acos(-7.0f), GMath::PI);
    EXPECT_FLOAT_EQ(GMath::acos(0.0f), GMath::HALF_PI);

    EXPECT_FALSE(GMath::isValid(0.0f)) << "zero counts as invalid";
    EXPECT_FALSE(GMath::isValid(-1.0f));
    EXPECT_FALSE(GMath::isValid(GMath::MIN_FLOAT));
    EXPECT_FALSE(GMath::isValid(GMath::MAX_FLOAT));
    EXPECT_TRUE(GMath::isValid(1e-30f));
    EXPECT_FALSE(GMath::isValid(INT_MIN));
    EXPECT_FALSE(GMath::isValid(INT_MAX));
    EXPECT_TRUE(GMath::isValid(0));
    EXPECT_TRUE(GMath::isValid(-2147483647LL));
    EXPECT_FALSE(GMath::isValid(-2147483648LL));
    EXPECT_FALSE(GMath::isValid(2147483647LL));
    EXPECT_TRUE(GMath::isValid(2147483646LL));

    EXPECT_EQ(GMath::round(2.5, 0), 3.0);
    EXPECT_EQ(GMath::round(-2.5, 0), -3.0) << "halves away from zero";
    EXPECT_DOUBLE_EQ(GMath::round(1.23456, 3), 1.235);
    EXPECT_EQ(GMath::clamp(15, 0, 10), 10);
    EXPECT_EQ(GMath::clamp(-1.5f, 0.0f, 1.0f), 0.0f);
    EXPECT_TRUE(GMath::isEqual(1.0f, 1.0f + FLT_EPSILON));
    EXPECT_FALSE(GMath::isEqual(1.0f, 1.0f + 4 * FLT_EPSILON));
    EXPECT_FLOAT_EQ(GMath::toDegrees(GMath::PI), 180.0f);
    EXPECT_FLOAT_EQ(GMath::interpolateLinear(0.25f, 4.0f, 8.0f), 5.0f);
    EXPECT_FLOAT_EQ(GMath::interpolateLinear(0.0f, 10.0f, 5.0f, 100.0f, 200.0f), 150.0f);
    EXPECT_DOUBLE_EQ(GMath::goldenRatioMajor(GMath::PHI), 1.0);
    EXPECT_DOUBLE_EQ(GMath::goldenRatioMajor(10.0) + GMath::goldenRatioMinor(10.0), 10.0);

    zortest::LogCapture cap;
    EXPECT_EQ(GMath::interpolateLinear(3.0f, 3.0f, 5.0f, 7.0f, 9.0f), 7.0f) << "no line through one x: y0";
    GMath::printConstants();
    zortest::drainLogger();
    EXPECT_EQ(cap.linesStartingWith("GMath::interpolateLinear").size(), 1);
    EXPECT_TRUE(cap.containsText("Mathematics constants:"));
    EXPECT_TRUE(cap.containsText("    PI                 = 3.141592741012573242187500"));
    EXPECT_TRUE(cap.containsText("  Vector3:"));
    EXPECT_TRUE(cap.containsText("    UNIT_Z_NEGATIVE    = [+0.000, +0.000, -1.000]"));
    Logger::quit();
}

TEST(Vector2, ArithmeticNormalisationAndSpecialValues) {
    Vector2 zero;
    zero.normalize();
    EXPECT_EQ(zero, Vector2(0, 0)) << "a zero vector stays zero";
    Vector2 v(3, 4);
    EXPECT_EQ(~v, 5.0f);
    !v;
    EXPECT_TRUE(v.isNearly(Vector2(0.6f, 0.8f), 1e-7f));
    EXPECT_TRUE(v.isNormalized());
    EXPECT_EQ(Vector2(1, 0) % Vector2(0, 1), Vector3(0, 0, 1));
    EXPECT_EQ(Vector2(0, 1) % Vector2(1, 0), Vector3(0, 0, -1));
    EXPECT_EQ(Vector2(1, 2) * Vector2(3, 4), 11.0f);
    EXPECT_EQ(Vector2(1, 2).average(Vector2(3, 6)), Vector2(2, 4));
    Vector2 f(1, -2);
    --f;
    EXPECT_EQ(f, Vector2(-1, 2));
    EXPECT_EQ(Vector2(0, 2).setLength(5), Vector2(0, 5));
    EXPECT_TRUE(Vector2(0, 0).isInTheNearOf(Vector2(0.5f, 0.5f), 1.0f));
    EXPECT_FALSE(Vector2(0, 0).isInTheNearOf(Vector2(1, 0), 1.0f)) << "the distance must be smaller";
    EXPECT_TRUE(Vector2(0, 0).isSmaller_within_RBTree(Vector2(0, 0.2f), 0.1f));
    EXPECT_FALSE(Vector2(0, 0).isSmaller_within_RBTree(Vector2(0.05f, 0.05f), 0.1f));

    Vector2 nd;
    EXPECT_TRUE(nd.isDefined());
    nd.setNotDefined();
    EXPECT_TRUE(nd.isNotDefined());
    EXPECT_EQ(nd.x, FLT_MIN);
    EXPECT_TRUE(nd.isValid()) << "not defined is not invalid";
    EXPECT_FALSE(Vector2::INVALID.isValid());
    EXPECT_EQ(Vector2::INVALID.toString(), "Vector2-INVALID");
    EXPECT_EQ(Vector2(1.5f, -2).toString(), "[1.500000, -2.000000]");
    EXPECT_NE(Vector2(0.0f, 0.0f), Vector2(-0.0f, 0.0f)) << "== compares bits";
    EXPECT_TRUE(Vector2(0.0f, 0.0f).isEqual(Vector2(-0.0f, 0.0f)));
}

TEST(Vector2, RowVectorTimesMatrixAndAngles) {
    // (1, 2) * [[1 2] [3 4]] = (1*1 + 2*3, 1*2 + 2*4) = (7, 10): the vector is a row.
    Vector2 v(1, 2);
    v *= Matrix2(1, 2, 3, 4);
    EXPECT_EQ(v, Vector2(7, 10));
    Matrix2 r;
    r.setRotation(GMath::HALF_PI);
    EXPECT_TRUE(Vector2(1, 0).rotate(r).isNearly(Vector2(0, -1), 1e-6f)) << "v R turns clockwise";
    EXPECT_EQ(Matrix2(1, 2, 3, 4).toString(), "[1.000000 2.000000] [3.000000 4.000000]");
    EXPECT_EQ(Matrix2(1, 2, 3, 4).getDeterminant(), -2.0f);
    EXPECT_EQ(Matrix2(1, 2, 3, 4) * Matrix2(0, 1, 1, 0), Matrix2(2, 1, 4, 3));

    zortest::LogCapture cap;
    EXPECT_EQ(Vector2(1, 0).getAngle(Vector2(-1, 0)), GMath::PI);
    EXPECT_FLOAT_EQ(Vector2(1, 0).getAngle(Vector2(0, 2)), GMath::HALF_PI) << "computed anyway";
    zortest::drainLogger();
    EXPECT_EQ(cap.linesStartingWith("Vector2::getAngle").join("|"),
              "Vector2::getAngle: The passed vector with length 2.000000000000000000000000 is not normalized.");
    Logger::quit();
}

TEST(Vector3, ProductsComparisonAndText) {
    EXPECT_EQ(Vector3(1, 0, 0) % Vector3(0, 1, 0), Vector3(0, 0, 1)) << "right-handed cross product";
    EXPECT_EQ(Vector3(1, 2, 3) * Vector3(4, 5, 6), 32.0f);
    EXPECT_EQ(Vector3(1, 0, 0).getScalarTripleProduct(Vector3(0, 1, 0), Vector3(0, 0, 1)), 1.0f);
    Vector3 c(1, 0, 0);
    c %= Vector3(0, 0, 1);
    EXPECT_EQ(c, Vector3(0, -1, 0));
    EXPECT_EQ(~Vector3(0, 3, 4), 5.0f);
    EXPECT_EQ(Vector3(0, 0, 0).getNormal(), Vector3(0, 0, 0));
    EXPECT_EQ(Vector3(0, 0, 2).getNormal(), Vector3(0, 0, 1));
    EXPECT_EQ(-Vector3(1, -2, 3), Vector3(-1, 2, -3));
    EXPECT_EQ(Vector3(2, 4, 6) / 2.0f, Vector3(1, 2, 3));

    // 3.0000001 is no float (it rounds to 3); next to 1 the neighbour is one EPSILON away.
    EXPECT_FALSE(Vector3(1, 2, 1) == Vector3(1, 2, 1.0000001f));
    EXPECT_TRUE(Vector3(1, 2, 1).isEqual(Vector3(1, 2, 1.0000001f)));
    EXPECT_FALSE(Vector3(1, 2, 3).isEqual(Vector3(1, 2, 3.001f)));
    EXPECT_TRUE(Vector3(1, 2, 3).isNearly(Vector3(1, 2, 3.001f), 0.01f));
    EXPECT_TRUE(Vector3(0, 0, 0).isSmaller_within_RBTree(Vector3(0, 0, 1), 0.5f));
    EXPECT_FALSE(Vector3(0, 0, 0).isSmaller_within_RBTree(Vector3(0, 0, 0.4f), 0.5f));

    EXPECT_EQ(Vector3(1, -0.5f, 0).toString(), "[+1.000, -0.500, +0.000]");
    EXPECT_EQ(Vector3(0.5f, 0, 1).toString(true),
              "[0.500000000000000000000000000000, 0.000000000000000000000000000000, "
              "1.000000000000000000000000000000]");
    EXPECT_EQ(Vector3::INVALID.toString(true), "Vector3-INVALID");
    EXPECT_EQ(Vector3::INVALID.x, FLT_MAX);
    EXPECT_FALSE(Vector3::INVALID.isValid());
    EXPECT_TRUE(Vector3(FLT_MAX, 0, 0).isValid()) << "only all components at MAX_FLOAT is INVALID";
    EXPECT_EQ(sizeof(Vector3), 3 * sizeof(float));
    EXPECT_EQ(sizeof(Matrix4), 16 * sizeof(float));
}

TEST(Vector3, AnglesLogNonUnitOperandsOnce) {
    zortest::LogCapture cap;
    EXPECT_EQ(Vector3(1, 0, 0).getAngle(Vector3(-1, 0, 0)), GMath::PI);
    EXPECT_EQ(Vector3(1, 0, 0).getAngle(Vector3(1, 0, 0)), 0.0f);
    EXPECT_FLOAT_EQ(Vector3(2, 0, 0).getAngle(Vector3(0, 1, 0)), GMath::HALF_PI) << "computed anyway";
    GMath::CHECK_NORMALIZING = false;
    EXPECT_EQ(Vector3(2, 0, 0).getAngle(Vector3(3, 0, 0)), 0.0f) << "dot 6 clamps to 0";
    GMath::CHECK_NORMALIZING = true;
    zortest::drainLogger();
    EXPECT_EQ(cap.linesStartingWith("Vector3::getAngle").join("|"),
              "Vector3::getAngle: The calling vector with length 2.000000 is not normalized.");
    Logger::quit();
}

TEST(Vector3, RowVectorTimesMatrix3AndColumnProduct) {
    const Matrix3 m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    // Row: (1, 0, 2) M = row1 + 2 row3 = (15, 18, 21). Column: M (1, 0, 2) = (7, 16, 25).
    Vector3 v(1, 0, 2);
    v *= m;
    EXPECT_EQ(v, Vector3(15, 18, 21));
    EXPECT_EQ(m * Vector3(1, 0, 2), Vector3(7, 16, 25));
    EXPECT_EQ(m.getRow2(), Vector3(4, 5, 6));
    EXPECT_EQ(m.getColumn2(), Vector3(2, 5, 8));
    EXPECT_EQ(m.getElement23(), 6.0f);
    EXPECT_EQ(m.getElement(3, 1), 7.0f);
    EXPECT_EQ(m.getTransposed().getElement(1, 3), 7.0f);
    EXPECT_EQ(m.getDeterminant(), 0.0f);
    EXPECT_EQ(m.toString(), "[1.000000 2.000000 3.000000] [4.000000 5.000000 6.000000] [7.000000 8.000000 9.000000]");

    Matrix3 rz;
    rz.setRotationZ(GMath::HALF_PI);
    EXPECT_TRUE((rz * Vector3(1, 0, 0)).isNearly(Vector3(0, 1, 0), 1e-6f)) << "right-handed for column vectors";
    EXPECT_TRUE(Vector3(1, 0, 0).rotate(rz).isNearly(Vector3(0, -1, 0), 1e-6f)) << "row vector: the inverse turn";
    Matrix3 rx;
    rx.setRotationX(GMath::HALF_PI);
    EXPECT_TRUE((rx * Vector3(0, 1, 0)).isNearly(Vector3(0, 0, 1), 1e-6f));
    Matrix3 ry;
    ry.setRotationY(GMath::HALF_PI);
    EXPECT_TRUE((ry * Vector3(0, 0, 1)).isNearly(Vector3(1, 0, 0), 1e-6f));
    Matrix3 axis;
    axis.setRotation(Vector3(0, 0, 1), GMath::HALF_PI);
    EXPECT_TRUE(axis.isNearly(rz, 1e-6f));
    EXPECT_TRUE(axis.isRotationMatrix());
    EXPECT_FALSE(m.isRotationMatrix());
}

TEST(Matrix3, SingularInverseAndNonUnitInputsLog) {
    zortest::LogCapture cap;
    EXPECT_EQ(Matrix3(1, 2, 3, 4, 5, 6, 7, 8, 9).getInverse(), Matrix3::INVALID);
    const Matrix3 a(2, 0, 0, 0, 4, 0, 1, 0, 1);
    EXPECT_TRUE((a * a.getInverse()).isNearly(Matrix3(), 1e-6f));
    Matrix3 r;
    r.setRotation(Vector3(0, 0, 2), 1.0f);
    r.setRotation(Quaternion(2, 0, 0, 0));
    EXPECT_FALSE(Matrix3(2, 0, 0, 0, 2, 0, 0, 0, 2).getQuaternion().isValid());
    EXPECT_EQ(Matrix3().getElement(4, 1), 0.0f);
    zortest::drainLogger();
    EXPECT_EQ(cap.linesStartingWith("Matrix3::").join("|"),
              "Matrix3::getInverse, singular matrix, determinant 0.000000|"
              "Matrix3::setRotation: The axis vector with length 2.000000 is not normalized|"
              "Matrix3::setRotation: The quaternion with length 2.000000000000000000000000 is not normalized|"
              "Matrix3::getQuaternion, not a rotation matrix: [2.000000 0.000000 0.000000] [0.000000 2.000000 "
              "0.000000] [0.000000 0.000000 2.000000]|"
              "Matrix3::getElement, no element (4, 1)");
    Logger::quit();
}

TEST(Matrix4, StorageOrderTranslationAndProducts) {
    Matrix4 m;
    m.setElement14(5);
    EXPECT_EQ(m[3], 5.0f) << "element (1,4) is entry 3: row by row";
    EXPECT_EQ(m.getElement(1, 4), 5.0f);
    m.setElement(4, 1, 7);
    EXPECT_EQ(m[12], 7.0f);

    Matrix4 t;
    t.translate(Vector3(1, 2, 3));
    EXPECT_EQ(t.getElement14(), 1.0f);
    EXPECT_EQ(t.getElement24(), 2.0f);
    EXPECT_EQ(t.getElement34(), 3.0f);
    EXPECT_EQ(t.getElement41(), 0.0f);
    // translate composes on the right: (S T) moves by S t, so a scale 2 doubles the translation.
    Matrix4 st;
    st.scale(2);
    st.translate(Vector3(1, 2, 3));
    EXPECT_EQ(st.getTranslation(), Vector3(2, 4, 6));
    EXPECT_EQ(st.getElement11(), 2.0f);
    EXPECT_EQ(st.getElement44(), 1.0f) << "scale leaves (4,4)";

    Vector4 p(4, 5, 6, 1);
    p.multiply(Matrix4());
    EXPECT_EQ(p, Vector4(4, 5, 6, 1));
    p.multiply(t);
    EXPECT_EQ(p, Vector4(5, 7, 9, 1)) << "column vector: the translation is added";
    Vector4 d(4, 5, 6, 0);
    d.multiply(t);
    EXPECT_EQ(d, Vector4(4, 5, 6, 0)) << "a direction does not move";
    Vector4 row(0, 0, 0, 1);
    row.multiply_left(t);
    EXPECT_EQ(row, Vector4(0, 0, 0, 1)) << "row vector: the fourth row of a translation is (0,0,0,1)";
    Vector4 rowX(1, 0, 0, 0);
    rowX.multiply_left(t);
    EXPECT_EQ(rowX, Vector4(1, 0, 0, 1)) << "row vector times the first row";
    Vector4d pd(4, 5, 6, 1);
    pd.multiply(t);
    EXPECT_EQ(pd, Vector4d(5, 7, 9, 1)) << "the double vector: the same column product";
    Vector4d rd(1, 0, 0, 0);
    rd.multiply_left(t);
    EXPECT_EQ(rd, Vector4d(1, 0, 0, 1));
    Matrix4d td(t);
    td.translate(1, 1, 1);
    Vector4d od(0, 0, 0, 1);
    od.multiply(td);
    EXPECT_EQ(od, Vector4d(2, 3, 4, 1));
    Vector4 pf(0, 0, 0, 1);
    pf.multiply(td);
    EXPECT_EQ(pf, Vector4(2, 3, 4, 1));

    // (A B)(i, j) by hand for a non-symmetric pair.
    const Matrix4 a(1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    const Matrix4 b(1, 0, 0, 0, 3, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    Matrix4 ab(a);
    ab *= b;
    EXPECT_EQ(ab, Matrix4(7, 2, 0, 0, 3, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    EXPECT_EQ(ab, a * b);
    Matrix4 abm(a);
    EXPECT_EQ(abm.multiply(b), ab);
    EXPECT_EQ(ab.getTransposed().getElement12(), 3.0f);

    Matrix4 rx;
    rx.translate(Vector3(9, 9, 9));
    rx.setRotationX(GMath::HALF_PI);
    EXPECT_EQ(rx.getTranslation(), Vector3(9, 9, 9)) << "rotation setters touch only the upper block";
    EXPECT_TRUE(rx.getRotation().isNearly(Matrix3(1, 0, 0, 0, 0, -1, 0, 1, 0), 1e-6f));
    rx.setIdentityRotation();
    EXPECT_EQ(rx.getRotation(), Matrix3());
    Vector4 up(0, 1, 0, 0);
    Matrix4 rz;
    rz.setRotationZ(GMath::HALF_PI);
    EXPECT_TRUE(up.multiply(rz).isNearly(Vector4(-1, 0, 0, 0), 1e-6f));

    Matrix4 view;
    ASSERT_TRUE(view.lookAt(Vector3(0, 0, 5), Vector3(0, 0, 0), Vector3(0, 1, 0)));
    Vector4 origin(0, 0, 0, 1);
    EXPECT_TRUE(origin.multiply(view).isNearly(Vector4(0, 0, -5, 1), 1e-6f)) << "in front of the camera: -z";
}

TEST(Matrix4, SingularMatricesAndDegenerateViews) {
    zortest::LogCapture cap;
    Matrix4 z;
    z.setZero();
    EXPECT_EQ(z.getInverse(), Matrix4::INVALID);
    Matrix4 rank3(1, 2, 3, 4, 2, 4, 6, 8, 0, 0, 1, 0, 0, 0, 0, 1);
    const Matrix4 before(rank3);
    EXPECT_FALSE(rank3.invert());
    EXPECT_EQ(rank3, before) << "a failed invert leaves the matrix";
    Matrix4 inf;
    inf.setElement11(INFINITY);
    EXPECT_FALSE(inf.getInverse().isValid());
    Matrix4 v;
    EXPECT_FALSE(v.lookAt(Vector3(1, 1, 1), Vector3(1, 1, 1), Vector3(0, 1, 0)));
    EXPECT_FALSE(v.lookAt(Vector3(0, 0, 0), Vector3(0, 5, 0), Vector3(0, 1, 0)));
    EXPECT_EQ(v, Matrix4());
    EXPECT_EQ(Matrix4d().getElement(0, 0), 0.0);
    zortest::drainLogger();
    EXPECT_EQ(cap.linesStartingWith("Matrix4::getInverse").size(), 3);
    EXPECT_EQ(cap.linesStartingWith("Matrix4::lookAt").size(), 2);
    EXPECT_TRUE(cap.containsText("Matrix4d::getElement, no element (0, 0)"));
    Logger::quit();
}

TEST(Matrix4, TextForms) {
    Matrix4 m;
    m.translate(Vector3(1.5f, -2, 3));
    EXPECT_EQ(m.toString(), "[1.000000,0.000000,0.000000,1.500000] [0.000000,1.000000,0.000000,-2.000000] "
                            "[0.000000,0.000000,1.000000,3.000000] [0.000000,0.000000,0.000000,1.000000]");
    const QString precise = m.toString(true);
    EXPECT_TRUE(precise.startsWith("\n\t[ 1.000000000000000000000000000000  0.000000000000000000000000000000  "))
        << precise.toStdString();
    EXPECT_EQ(precise.count("\n\t["), 4);
    EXPECT_EQ(m.toStringTable(2),
              "    |       1       |       2       |       3       |       4       |\n"
              "  --+---------------+---------------+---------------+---------------+\n"
              "  1 |          1.00 |          0.00 |          0.00 |          1.50 |\n"
              "  2 |          0.00 |          1.00 |          0.00 |         -2.00 |\n"
              "  3 |          0.00 |          0.00 |          1.00 |          3.00 |\n"
              "  4 |          0.00 |          0.00 |          0.00 |          1.00 |");

    zortest::LogCapture cap;
    m.show(0, true);
    Matrix4d(m).show();
    zortest::drainLogger();
    const QStringList t = cap.texts();
    const int i = t.indexOf("Matrix4 - view column order");
    ASSERT_GE(i, 0);
    ASSERT_GE(t.size(), i + 10);
    EXPECT_EQ(t[i + 1], "1.000000, 0.000000, 0.000000, 0.000000");
    EXPECT_EQ(t[i + 4], "1.500000, -2.000000, 3.000000, 1.000000");
    EXPECT_EQ(t[i + 5], "Matrix4d - view row order");
    EXPECT_EQ(t[i + 6], "1.000000, 0.000000, 0.000000, 1.500000");
    Logger::quit();

    EXPECT_EQ(Vector4(1, -2, 0.5f, 1).toString(), "[+1.000, -2.000, +0.500, +1.000]");
    EXPECT_EQ(Vector4::INVALID.toString(), "Vector4-INVALID");
    EXPECT_EQ(Vector4d(1, -2, 0.5, 1).toString(), "[+1.000, -2.000, +0.500, +1.000]");
    EXPECT_EQ(Vector4d::INVALID.toString(), "Vector4d-INVALID");
    EXPECT_EQ(Vector4d::INVALID.x, static_cast<double>(FLT_MAX));
}

TEST(Quaternion, ComponentOrderAndHamiltonProduct) {
    EXPECT_EQ(Quaternion(), Quaternion(1, 0, 0, 0));
    const Quaternion q(Vector3(0, 0, 1), GMath::HALF_PI);
    EXPECT_FLOAT_EQ(q.w, std::cos(GMath::PI / 4));
    EXPECT_FLOAT_EQ(q.z, std::sin(GMath::PI / 4));
    EXPECT_EQ(q.x, 0.0f);
    EXPECT_EQ(Quaternion(0.5f, -1, 0, 2).toString(), "[+0.500, -1.000, +0.000, +2.000]") << "w first";
    EXPECT_EQ(Quaternion::INVALID.toString(), "Quaternion-INVALID");

    // i j = k, j i = -k, i i = -1.
    const Quaternion i(0, 1, 0, 0), j(0, 0, 1, 0);
    Quaternion r;
    Quaternion::multiplication(r, i, j);
    EXPECT_EQ(r, Quaternion(0, 0, 0, 1));
    Quaternion::multiplication(r, j, i);
    EXPECT_EQ(r, Quaternion(0, 0, 0, -1));
    Quaternion::multiplication(r, i, i);
    EXPECT_EQ(r, Quaternion(-1, 0, 0, 0));
    Quaternion a(i);
    a.multiplyBy(j);
    EXPECT_EQ(a, Quaternion(0, 0, 0, 1)) << "multiplyBy: this * b";
    Quaternion b(i);
    b.multiplyInverseBy(j);
    EXPECT_EQ(b, Quaternion(0, 0, 0, -1)) << "multiplyInverseBy: b * this";
    Quaternion c;
    i.multiplyBy(c, j);
    EXPECT_EQ(c, Quaternion(0, 0, 0, 1));
    Quaternion alias(i);
    Quaternion::multiplication(alias, alias, alias);
    EXPECT_EQ(alias, Quaternion(-1, 0, 0, 0)) << "result may alias the operands";

    EXPECT_EQ(Quaternion(1, 2, 3, 4) * Quaternion(1, 1, 1, 1), 10.0f);
    EXPECT_EQ(~Quaternion(0, 3, 0, 4), 5.0f);
    Quaternion n(0, 3, 0, 4);
    !n;
    EXPECT_TRUE(n.isNormalized());
    EXPECT_TRUE(q.rotate(Vector3(1, 0, 0)).isNearly(Vector3(0, 1, 0), 1e-6f));
}

TEST(Quaternion, ZeroAndNonUnitAxesLog) {
    zortest::LogCapture cap;
    Quaternion q(0.3f, 0.3f, 0.3f, 0.3f);
    q.set(Vector3(0, 0, 0), 1.0f);
    EXPECT_EQ(q, Quaternion(1, 0, 0, 0));
    const Quaternion twice(Vector3(0, 2, 0), GMath::PI);
    EXPECT_TRUE(twice.isNearly(Quaternion(0, 0, 2, 0), 1e-6f)) << "a non-unit axis is used as given";
    zortest::drainLogger();
    EXPECT_EQ(cap.linesStartingWith("Quaternion::set").join("|"),
              "Quaternion::set: The given axis vector is a zero vector.|"
              "Quaternion::set: The given axis vector with length 2.000000 is not normalized.");
    Logger::quit();
}

TEST(MathProperties, MatrixTimesInverseIsIdentity) {
    std::mt19937 rng(1234);
    const Matrix4 identity;
    for (int n = 0; n < 2000; ++n) {
        const Matrix4 m = randomWellConditioned(rng);
        const Matrix4 inv = m.getInverse();
        ASSERT_TRUE(inv.isValid()) << m.toString().toStdString();
        // Translations up to 100 and scales down to 0.5: 1e-4 absolute is a few float ulps of 100.
        EXPECT_TRUE((m * inv).isNearly(identity, 1e-4f)) << n << " " << (m * inv).toString().toStdString();
        EXPECT_TRUE((inv * m).isNearly(identity, 1e-4f)) << n;
        const Matrix4d md(m);
        EXPECT_TRUE((md * md.getInverse()).isNearly(Matrix4d(), 1e-12)) << n;
        EXPECT_NEAR(m.getDeterminant() * inv.getDeterminant(), 1.0f, 1e-4f);
    }
}

TEST(MathProperties, RotationsKeepLengthsAndQuaternionsAgreeWithMatrices) {
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> angle(-2 * GMath::PI, 2 * GMath::PI);
    for (int n = 0; n < 5000; ++n) {
        const Vector3 axis = randomUnitAxis(rng);
        const float a = angle(rng);
        const Vector3 v = randomVector(rng, 10.0f);
        const float len = v.getLength();

        Matrix3 r;
        r.setRotation(axis, a);
        ASSERT_TRUE(r.isRotationMatrix()) << n;
        const Vector3 byMatrix = r * v;
        EXPECT_NEAR(byMatrix.getLength(), len, 1e-5f * (1 + len)) << n;
        Vector3 byRow(v);
        byRow *= r;
        EXPECT_NEAR(byRow.getLength(), len, 1e-5f * (1 + len)) << n;

        const Quaternion q(axis, a);
        EXPECT_TRUE(q.isNormalized()) << n;
        EXPECT_TRUE(q.rotate(v).isNearly(byMatrix, 1e-4f)) << n;
        Matrix3 fromQ;
        fromQ.setRotation(q);
        EXPECT_TRUE(fromQ.isNearly(r, 1e-5f)) << n;
        // Back to a quaternion: the same rotation (q and -q are the same one).
        const Quaternion back = r.getQuaternion();
        const float sign = back * q < 0 ? -1.0f : 1.0f;
        EXPECT_TRUE(Quaternion(sign * back.w, sign * back.x, sign * back.y, sign * back.z).isNearly(q, 1e-4f)) << n;

        Matrix4 r4;
        r4.setRotation(r);
        Vector4 h(v, 1.0f);
        h.multiply(r4);
        EXPECT_TRUE(h.getXYZ().isNearly(byMatrix, 1e-5f)) << n;
    }
}
