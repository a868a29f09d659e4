// Lines, segments, planes, circles, frames and poses: intersections and their failure lines,
// distances at the degenerate cases, the frame repairs, and the text forms.
#include <zor/Circle.h>
#include <zor/CoordinateSystem3.h>
#include <zor/GMath.h>
#include <zor/Line2.h>
#include <zor/Line3.h>
#include <zor/LineSegment2.h>
#include <zor/LineSegment3.h>
#include <zor/Logger.h>
#include <zor/Matrix3.h>
#include <zor/Plane.h>
#include <zor/Pose3.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace zor;

namespace {

bool isOrthonormal(const CoordinateSystem3& f) {
    return f.abscissa.isNormalized() && f.ordinate.isNormalized() && f.applicate.isNormalized() &&
           std::fabs(f.abscissa * f.ordinate) < 1e-5f && std::fabs(f.abscissa * f.applicate) < 1e-5f &&
           std::fabs(f.ordinate * f.applicate) < 1e-5f;
}

}  // namespace

TEST(Line3, IntersectionOfMeetingSkewAndParallelLines) {
    zortest::LogCapture cap;
    const Line3 xAxis(Vector3(0, 0, 0), Vector3(1, 0, 0));
    EXPECT_EQ(Line3::getIntersection(xAxis, Line3(Vector3(1, 1, 0), Vector3(0, 1, 0))), Vector3(1, 0, 0));
    // Lines whose direction has no x part take the later coordinate pairs.
    EXPECT_TRUE(Line3::getIntersection(Line3(Vector3(0, 0, 5), Vector3(0, 0, 2)), Line3(Vector3(0, 3, 1), Vector3(0, 1, 0)))
                    .isNearly(Vector3(0, 0, 1), 1e-6f));
    EXPECT_TRUE(Line3::getIntersection(Line3(Vector3(2, 2, 2), Vector3(1, 1, 1)), Line3(Vector3(0, 0, 4), Vector3(0, 0, 1)))
                    .isNearly(Vector3(0, 0, 0), 1e-6f));
    zortest::drainLogger();
    EXPECT_EQ(cap.texts().filter("Line3::").size(), 0) << "no failure, no line";

    EXPECT_EQ(Line3::getIntersection(xAxis, Line3(Vector3(0, 1, 1), Vector3(1, 1, 0))), Vector3::INVALID);
    EXPECT_EQ(Line3::getIntersection(xAxis, Line3(Vector3(0, 1, 0), Vector3(2, 0, 0))), Vector3::INVALID);
    EXPECT_EQ(Line3::getIntersection(Line3(Vector3(0, 0, 0), Vector3(0, 0, 0)), xAxis), Vector3::INVALID);
    zortest::drainLogger();
    EXPECT_EQ(cap.linesStartingWith("Line3::").join("|"),
              "Line3::_getIntersectionInternally, no intersection possible - lines are skewed, distance lines=1.000000|"
              "Line3::_getIntersectionInternally,   result equation left  = 0.000000|"
              "Line3::_getIntersectionInternally,   result equation right = 1.000000|"
              "Line3::getIntersection, main conditions failed.|"
              "Line3::getIntersection, main conditions failed.");
    Logger::quit();
}

TEST(Line3, DistancesFeetAndCollinearity) {
    const Line3 xAxis(Vector3(1, 0, 0));
    EXPECT_EQ(xAxis.getPosition(), Vector3::POINT_OF_ORIGIN);
    EXPECT_EQ(xAxis.getDistance(Vector3(5, 3, 4)), 5.0f);
    EXPECT_EQ(Line3::getDistanceByPoints(Vector3(0, 0, 0), Vector3(0, 0, 9), Vector3(3, 4, 1)), 5.0f);
    EXPECT_EQ(Line3::getDistance(Vector3(0, 0, 0), Vector3(0, 0, 0), Vector3(3, 4, 0)), 5.0f) << "a point line";
    EXPECT_EQ(Line3::getDistance(xAxis, Line3(Vector3(0, 2, 7), Vector3(0, 0, 1))), 2.0f);
    EXPECT_EQ(Line3::getDistance(xAxis, Line3(Vector3(5, 0, 3), Vector3(-4, 0, 0))), 3.0f) << "parallel: finite";
    EXPECT_EQ(Line3::getDistance(Line3(Vector3(0, 0, 3), Vector3(0, 0, 0)), xAxis), 3.0f);

    EXPECT_EQ(Line3::getFootOfPerpendicularByLine(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(4, 5, 6)),
              Vector3(4, 0, 0));
    EXPECT_TRUE(Line3::getFootOfPerpendicularByPoints(Vector3(1, 1, 1), Vector3(3, 3, 3), Vector3(2, 2, 0))
                    .isNearly(Vector3(4.0f / 3, 4.0f / 3, 4.0f / 3), 1e-5f));
    EXPECT_TRUE(Line3::getFootOfPerpendicular(xAxis, Line3(Vector3(3, 1, 5), Vector3(0, 1, 1)))
                    .isNearly(Vector3(3, 0, 0), 1e-5f));
    EXPECT_EQ(Line3::getNormal(Vector3(0, 0, 0), Vector3(2, 0, 0), Vector3(7, 0, -3)), Vector3(0, 0, -1));

    const Line3 a(Vector3(0, 0, 0), Vector3(0.6f, 0.8f, 0)), b(Vector3(9, 9, 9), Vector3(0.6f, 0.8f, 0.000001f));
    EXPECT_TRUE(Line3::is_collinear_nearly(a, b)) << "positions do not matter";
    EXPECT_FALSE(Line3::is_collinear_equal(a, b));
    EXPECT_TRUE(Line3::is_collinear_by_tolerance(a, Line3(Vector3(0.7f, 0.8f, 0)), 0.2f));
    EXPECT_EQ(xAxis.toString(), "position = [+0.000, +0.000, +0.000], direction = [+1.000, +0.000, +0.000]");
}

TEST(Line3, DegenerateInputLogsAndGivesInvalid) {
    zortest::LogCapture cap;
    EXPECT_EQ(Line3::getFootOfPerpendicular(Line3(Vector3(1, 0, 0)), Line3(Vector3(0, 5, 0), Vector3(2, 0, 0))),
              Vector3::INVALID);
    EXPECT_EQ(Line3::getFootOfPerpendicularByPoints(Vector3(1, 1, 1), Vector3(1, 1, 1), Vector3(0, 0, 0)),
              Vector3::INVALID);
    EXPECT_EQ(Line3::getFootOfPerpendicularByLine(Vector3(0, 0, 0), Vector3(2, 0, 0), Vector3(1, 1, 0)),
              Vector3(4, 0, 0)) << "a non-unit direction is logged and used as it is";
    zortest::drainLogger();
    EXPECT_EQ(cap.linesStartingWith("Line3::getFootOfPerpendicular,").size(), 1);
    EXPECT_EQ(cap.linesStartingWith("Line3::getFootOfPerpendicularByPoints, no line").size(), 1);
    EXPECT_TRUE(cap.containsText("Line3::getFootOfPerpendicularByLine: The line direction vector with length "
                                 "2.000000000000000000000000 is not normalized."));
    Logger::quit();
}

TEST(Line2, FootOfPerpendicular) {
    zortest::LogCapture cap;
    EXPECT_EQ(Line2::getFootOfPerpendicularByPoints(Vector2(0, 0), Vector2(4, 0), Vector2(1, 3)), Vector2(1, 0));
    EXPECT_EQ(Line2(Vector2(0, 1), Vector2(1, 0)).getFootOfPerpendicular(Vector2(5, 5)), Vector2(5, 1));
    EXPECT_EQ(Line2::getFootOfPerpendicularByPoints(Vector2(2, 2), Vector2(2, 2), Vector2(1, 3)), Vector2::INVALID);
    Line2::getFootOfPerpendicularByLine(Vector2(0, 0), Vector2(0, 3), Vector2(1, 1));
    EXPECT_EQ(Line2(Vector2(1, 2), Vector2(0, 1)).toString(), "[1.000000, 2.000000] - [0.000000, 1.000000]");
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("Line2::getFootOfPerpendicularByLine: The line direction vector with length 3.000000 "
                                 "is not normalized."));
    EXPECT_EQ(cap.linesStartingWith("Line2::getFootOfPerpendicularByPoints").size(), 1);
    Logger::quit();
}

TEST(LineSegments, DefinednessDeltasAndFeet) {
    LineSegment2 s(false);
    EXPECT_FALSE(s.isDefined());
    EXPECT_EQ(s.toString(), "NOT DEFINED");
    EXPECT_TRUE(LineSegment2(true).isDefined());
    s.set(Vector2(1, 1), Vector2(4, 5));
    EXPECT_EQ(s.getDeltaX(), 3.0f);
    EXPECT_EQ(s.getDeltaY(), 4.0f);
    EXPECT_EQ(s.toString(), "[1.000000, 1.000000]-[4.000000, 5.000000], deltaX:3.000000, deltaY:4.000000");
    s.getPoint1().set(0, 0);
    EXPECT_EQ(s.getPoint1Copy(), Vector2(0, 0));
    s.setNotDefined();
    EXPECT_FALSE(s.isDefined());

    const LineSegment3 seg(Vector3(0, 0, 0), Vector3(4, 0, 0));
    EXPECT_EQ(seg.getDeltaX(), 4.0f);
    EXPECT_EQ(seg.getDistance(Line3(Vector3(2, 5, 1), Vector3(0, 0, 1))), 5.0f);
    EXPECT_TRUE(seg.isFootOfPerpendicularInside(Line3(Vector3(2, 5, 1), Vector3(0, 0, 1))));
    EXPECT_FALSE(seg.isFootOfPerpendicularInside(Line3(Vector3(6, 5, 1), Vector3(0, 0, 1)))) << "past point2";
    EXPECT_FALSE(seg.isFootOfPerpendicularInside(Line3(Vector3(-1, 5, 1), Vector3(0, 0, 1)))) << "before point1";
    EXPECT_TRUE(seg.isFootOfPerpendicularInside(Line3(Vector3(4, 5, 1), Vector3(0, 0, 1)))) << "at point2";
    EXPECT_EQ(LineSegment3(Vector3(0, 0, 0), Vector3(1, 2, 3)).toString(),
              "[+0.000, +0.000, +0.000]-[+1.000, +2.000, +3.000], deltaX:1.000000, deltaY:2.000000, deltaZ:3.000000");
}

TEST(Plane, SignedDistancesIntersectionAndProjection) {
    zortest::LogCapture cap;
    const Vector3 o(0, 0, 1), n(0, 0, 2);
    EXPECT_EQ(Plane::getDistanceDirected(o, n, Vector3(5, 5, -2)), -3.0f) << "against the normal: negative";
    EXPECT_EQ(Plane::getDistance(o, n, Vector3(5, 5, -2)), 3.0f);
    EXPECT_EQ(Plane::getDistanceDirected(o, n, Vector3(0, 0, 4)), 3.0f);
    const Plane p(o, n);
    EXPECT_EQ(p.getIntersection(Line3(Vector3(3, 4, 10), Vector3(0, 0, -1))), Vector3(3, 4, 1));
    EXPECT_EQ(Plane::getIntersection(o, n, Vector3(0, 0, 5), Vector3(1, 0, 0)), Vector3::INVALID) << "parallel";
    EXPECT_EQ(Plane::getNormal(Vector3(2, 0, 0), Vector3(0, 3, 0)), Vector3(0, 0, 1));
    EXPECT_TRUE(Plane::getProjectedVector(Vector3(0, 0, 1), Vector3(3, 4, 5)).isEqual(Vector3(3, 4, 0)));
    EXPECT_TRUE(Plane::getProjectedVector(Vector3(0, 0, 2), Vector3(3, 4, 5)).isEqual(Vector3(12, 16, 0)))
        << "times |n|^2";
    EXPECT_EQ(Plane::getDistanceDirected(o, Vector3(), Vector3(1, 1, 1)), 0.0f);
    EXPECT_EQ(p.toString(), "[+0.000, +0.000, +1.000], [+0.000, +0.000, +2.000]");
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("Plane::getIntersection, line direction [+1.000, +0.000, +0.000] parallel to the "
                                 "plane with normal [+0.000, +0.000, +2.000]"));
    EXPECT_TRUE(cap.containsText("Plane::getDistanceDirected, the normal is a zero vector"));
    Logger::quit();
}

TEST(Circle, RatioFollowsTheRadius) {
    Circle c;
    EXPECT_EQ(c.getPiDiameterRatio(), GMath::PI / 2);
    EXPECT_EQ(c.setRadius(2), 2.0f);
    EXPECT_EQ(c.getPiDiameterRatio(), GMath::PI / 4);
    c.setCenter(Vector2(1, 2));
    EXPECT_EQ(c.toString(),
              "vCenter:[1.000000, 2.000000], radius:2.000000, capRadius:1.000000, capHeight:1.000000, "
              "piDiameterRatio:0.785398");
    zortest::LogCapture cap;
    EXPECT_EQ(c.setRadius(0), 0.0f);
    EXPECT_EQ(c.getRadius(), 2.0f) << "refused";
    EXPECT_TRUE(std::isfinite(c.getPiDiameterRatio()));
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("Circle::setRadius, radius 0.000000 refused, it must be positive and finite"));
    Logger::quit();
}

TEST(CoordinateSystem3, RepairsScaledSkewedAndDegenerateAxes) {
    CoordinateSystem3 f;
    f.set(Vector3(2, 0, 0), Vector3(0, 3, 0), Vector3(0, 0, 4));
    EXPECT_EQ(f.getAbscissa(), Vector3(1, 0, 0));
    EXPECT_EQ(f.getOrdinate(), Vector3(0, 1, 0));
    EXPECT_EQ(f.getApplicate(), Vector3(0, 0, 1));

    // Unit but not orthogonal: rebuilt from the abscissa.
    const float h = std::sqrt(0.5f);
    f.set(Vector3(1, 0, 0), Vector3(h, h, 0), Vector3(0, 0, 1));
    EXPECT_TRUE(isOrthonormal(f));
    EXPECT_EQ(f.abscissa, Vector3(1, 0, 0));
    EXPECT_TRUE(f.ordinate.isNearly(Vector3(0, 1, 0), 1e-6f));
    // Nearly orthogonal (triple product 0.995) stays as given.
    const Vector3 tilted = Vector3(0.1f, 1, 0).getNormal();
    f.set(Vector3(1, 0, 0), tilted, Vector3(0, 0, 1));
    EXPECT_EQ(f.ordinate, tilted);

    Matrix3 rz;
    rz.setRotationZ(GMath::HALF_PI);
    CoordinateSystem3 r;
    r.setRotation(rz);
    EXPECT_TRUE(r.abscissa.isNearly(Vector3(0, -1, 0), 1e-6f)) << "axes rotate as row vectors";
    EXPECT_TRUE(isOrthonormal(r));

    CoordinateSystem3 rh;
    rh.setAfterRightHandRule(Vector3(0, 2, 0), Vector3(1, 1, 0));
    EXPECT_TRUE(rh.ordinate.isNearly(Vector3(1, 0, 0), 1e-6f));
    EXPECT_TRUE(rh.applicate.isNearly(Vector3(0, 0, -1), 1e-6f)) << "z = x cross y";

    zortest::LogCapture cap;
    CoordinateSystem3 bad;
    bad.set(Vector3(1, 0, 0), Vector3(2, 0, 0), Vector3(0, 0, 1));
    EXPECT_EQ(bad.abscissa, Vector3(1, 0, 0));
    EXPECT_EQ(bad.ordinate, Vector3(0, 1, 0)) << "no space spanned: the unit frame";
    rh.setAfterRightHandRule(Vector3(1, 0, 0), Vector3(3, 0, 0));
    zortest::drainLogger();
    EXPECT_EQ(cap.linesStartingWith("CoordinateSystem3::controlOrthonormality, the axes span no space").size(), 1);
    EXPECT_TRUE(cap.containsText("CoordinateSystem3::orthonormalizeAfterRightHandRule: The calling vector with length "
                                 "0.000000 is not normalized."));
    Logger::quit();
}

TEST(CoordinateSystem3, RandomRotationsKeepFramesOrthonormal) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> d(-1, 1), a(-GMath::PI, GMath::PI);
    CoordinateSystem3 f;
    for (int n = 0; n < 2000; ++n) {
        Vector3 axis(d(rng), d(rng), d(rng));
        if (axis.getLength() < 0.1f) continue;
        Matrix3 m;
        m.setRotation(axis.normalize(), a(rng));
        f.setRotation(m);  // composed 2000 times: drift must not build up
        ASSERT_TRUE(isOrthonormal(f)) << n << " " << f.toString().toStdString();
        ASSERT_GT(f.abscissa.getScalarTripleProduct(f.ordinate, f.applicate), 0.99f) << "stays right-handed";
    }
}

TEST(Pose3, PlacementAndText) {
    CoordinateSystem3 frame;
    frame.setAfterRightHandRule(Vector3(0, 1, 0), Vector3(-1, 0, 0));
    const Pose3 p(Vector3(10, 0, 0), frame);
    EXPECT_TRUE(p.toWorld(Vector3(1, 2, 3)).isNearly(Vector3(8, 1, 3), 1e-6f));
    Pose3 q;
    EXPECT_EQ(q.toWorld(Vector3(1, 2, 3)), Vector3(1, 2, 3));
    q.set(p);
    EXPECT_EQ(q.posMemory, Vector3(10, 0, 0));
    EXPECT_EQ(Pose3().toString(),
              "posMemory:[+0.000, +0.000, +0.000], orn:abscissa:[+1.000, +0.000, +0.000], ordinate:[+0.000, +1.000, "
              "+0.000], applicate:[+0.000, +0.000, +1.000]");
}
