// Whole-number 2D types, point in polygon and triangulation: the edge rules of the containment
// tests, the text forms, bad text, and seeded properties of the triangulation.
#include <zor/GDimension.h>
#include <zor/GLine.h>
#include <zor/GPoint.h>
#include <zor/GRect.h>
#include <zor/GThickness.h>
#include <zor/GeoAlgo2D.h>
#include <zor/Logger.h>
#include <zor/PointIteratorByArray.h>
#include <zor/Triangulate.h>

#include "support/CaptureAppender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>

using namespace zor;

namespace {

constexpr long long ND = -2147483648LL;

// A random star-shaped polygon around the origin: sorted angles, radii in [r/2, r]. Simple by
// construction; counter-clockwise unless reversed.
std::vector<Vector2> starPolygon(std::mt19937& rng, int n, float r) {
    std::uniform_real_distribution<float> a(0.0f, 6.2831853f), rad(r / 2, r);
    std::vector<float> angles(static_cast<std::size_t>(n));
    for (float& x : angles) x = a(rng);
    std::sort(angles.begin(), angles.end());
    angles.erase(std::unique(angles.begin(), angles.end()), angles.end());
    std::vector<Vector2> p;
    for (float x : angles) {
        const float len = rad(rng);
        p.emplace_back(len * std::cos(x), len * std::sin(x));
    }
    return p;
}

double triangleArea(const Vector2& a, const Vector2& b, const Vector2& c) {
    return 0.5 * ((static_cast<double>(b.x) - a.x) * (static_cast<double>(c.y) - a.y) -
                  (static_cast<double>(b.y) - a.y) * (static_cast<double>(c.x) - a.x));
}

}  // namespace

TEST(GRect, EdgesIncludedAndExcluded) {
    const GRect r(0, 0, 10, 10);
    EXPECT_TRUE(r.containsPoint(10, 10));
    EXPECT_FALSE(r.containsPointExclude(10, 10));
    EXPECT_TRUE(r.containsPointExclude(5, 5));
    EXPECT_TRUE(r.containsPoint(10.0f, 0.0f));
    EXPECT_FALSE(r.containsPoint(10.5, 0.0));
    EXPECT_FALSE(r.containsPointExclude(0.0, 5.0));
    EXPECT_TRUE(r.containsPoint(GPoint(0, 10)));
    EXPECT_TRUE(r.containsRect(GRect(0, 0, 10, 10)));
    EXPECT_FALSE(r.containsRectExclude(GRect(0, 0, 10, 10)));
    EXPECT_TRUE(r.containsRectExclude(GRect(1, 1, 8, 8)));
    EXPECT_TRUE(r.containsLineHorz(10));
    EXPECT_FALSE(r.containsLineHorz(11));

    const GRect small(4, 4, 2, 2), large(-10, -10, 40, 40);
    EXPECT_FALSE(small.intersects(large)) << "only corners of the other count";
    EXPECT_TRUE(large.intersects(small));
    EXPECT_FALSE(GRect(4, -5, 2, 20).intersects(GRect(-5, 4, 20, 2))) << "a plus sign has no corner inside";
    EXPECT_TRUE(r.intersects(GRect(10, 10, 5, 5))) << "touching corners count with edges included";
    EXPECT_FALSE(r.intersectsExclude(GRect(10, 10, 5, 5)));

    EXPECT_EQ(GRect::getIntersectedRect(r, GRect(5, 5, 10, 10)), GRect(5, 5, 5, 5));
    const GRect apart = GRect::getIntersectedRect(r, GRect(20, 0, 5, 5));
    EXPECT_LT(apart.width, 0);
    GRect into;
    GRect::getIntersectedRect(r, GRect(0, 20, 5, 5), into);
    EXPECT_LT(into.height, 0);
    EXPECT_EQ(GRect::getUnionRect(GRect(0, 0, -1, 5), GRect(1, 2, 3, 4)), GRect(1, 2, 3, 4));
    EXPECT_EQ(GRect::getUnionRect(GRect(1, 2, 3, 4), GRect(0, 0, 5, -1)), GRect(1, 2, 3, 4));
    EXPECT_EQ(GRect::getUnionRect(r, GRect(5, 5, 10, 10)), GRect(0, 0, 15, 15));
}

TEST(GRect, SettersAndDerivedEdges) {
    GRect r(5, 0, 4, 4);
    r.setRight(3);
    EXPECT_EQ(r, GRect(3, 0, 2, 4)) << "a right edge left of x swaps";
    r.setRight(10);
    EXPECT_EQ(r, GRect(3, 0, 7, 4));
    r.setBottom(-2);
    EXPECT_EQ(r, GRect(3, -2, 7, 2));
    EXPECT_EQ(r.right(), 10);
    EXPECT_EQ(r.bottom(), 0);

    GRect s(0, 0, 10, 10);
    s.shrink(2);
    EXPECT_EQ(s, GRect(2, 2, 6, 6));
    s.addValues(1, 1, 1, 1);
    EXPECT_EQ(s, GRect(3, 3, 7, 7));
    GRect inner(0, 0, 3, 4);
    GRect(10, 10, 10, 10).setRect2Middle(inner);
    EXPECT_EQ(inner, GRect(13, 13, 3, 4));
    EXPECT_EQ(GRect(0, 0, 5, 7).getMiddle(), GPoint(2, 3));
    EXPECT_EQ(GRect(1, 2, 3, 4).getBottomRight(), GPoint(4, 6));
    EXPECT_EQ(GRect(1, 2, 3, 4).getTopRight(), GPoint(4, 2));
    EXPECT_EQ(GRect(GDimension(3, 4)), GRect(0, 0, 3, 4));
    EXPECT_TRUE(GRect(0, 0, 1, 1).isNormal());
    EXPECT_FALSE(GRect(-1, 0, 1, 1).isNormal());
    EXPECT_FALSE(GRect(0, 0, 0, 1).isNormal());
}

TEST(Geometry2D, TextFormsAndBadText) {
    zortest::LogCapture cap;
    EXPECT_EQ(GPoint(1234567, -5).toString(), "(1.234.567, -5)");
    EXPECT_EQ(GDimension(640, 480).toString(), "(640, 480)");
    EXPECT_EQ(GRect(1, 2, 3000, 4).toString(), "(1, 2, 3.000, 4)");
    EXPECT_EQ(GThickness(4).toString(), "(top:4, left:4, bottom:4, right:4)");
    EXPECT_EQ(GThickness(1, 2, 3, 4).toString(), "(top:1, left:2, bottom:3, right:4)");

    EXPECT_EQ(GPoint::fromString("10, -3"), GPoint(10, -3));
    EXPECT_EQ(GPoint::fromString(" 10\t-3 "), GPoint(10, -3));
    EXPECT_TRUE(GPoint::fromString("10").isNotDefined()) << "one number is not a point";
    EXPECT_TRUE(GPoint::fromString("1 2 3").isNotDefined());
    EXPECT_TRUE(GPoint::fromString("1 two").isNotDefined());
    EXPECT_TRUE(GPoint::fromString("").isNotDefined());
    EXPECT_EQ(GPoint::fromString("9223372036854775807 0").x, 9223372036854775807LL);
    EXPECT_TRUE(GPoint::fromString("9223372036854775808 0").isNotDefined()) << "out of range";
    EXPECT_EQ(GDimension::fromString("640x480").width, ND);
    EXPECT_EQ(GRect::fromString("1,2,3,4"), GRect(1, 2, 3, 4));
    EXPECT_TRUE(GRect::fromString("1,2,3").isNotDefined());
    EXPECT_EQ(GLine::fromString("0 0 10 10"), GLine(0, 0, 10, 10));
    EXPECT_TRUE(GLine::fromString("0 0 10").isNotDefined());
    EXPECT_EQ(GThickness::fromString("1,2,3,4"), GThickness(1, 2, 3, 4));
    EXPECT_FALSE(GThickness::fromString("1,2,3,4,5").isValid());

    const GPoint nd = GPoint::getNotdefined();
    EXPECT_EQ(nd.x, ND);
    EXPECT_FALSE(nd.isValid());
    EXPECT_FALSE(GPoint(ND, 0).isNotDefined()) << "a point needs both coordinates not defined";
    EXPECT_FALSE(GPoint(ND, 0).isValid());
    EXPECT_TRUE(GRect(0, 0, ND, 1).isNotDefined()) << "a rectangle needs only one";
    EXPECT_TRUE(GLine(0, 0, 0, ND).isNotDefined());
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("GPoint::fromString, 2 numbers expected, 1 found in '10'"));
    EXPECT_TRUE(cap.containsText("GPoint::fromString, 'two' is no whole number in '1 two'"));
    Logger::quit();
}

TEST(Geometry2D, NullTextIsAProgrammingError) {
    // The fatal check writes its notice to stdout and exits with 1 after five seconds.
    EXPECT_EXIT(GPoint::fromString(nullptr), ::testing::ExitedWithCode(1), "");
}

TEST(GRect, ExtremeNumbersWrapInsteadOfOverflowing) {
    // Any four numbers fromString accepts must be safe to compute with (checked under UBSan).
    const GRect r = GRect::fromString("9223372036854775807 -9223372036854775808 1 -1");
    ASSERT_TRUE(r.isValid());
    EXPECT_EQ(r.right(), LLONG_MIN) << "two's complement wrap";
    EXPECT_EQ(r.bottom(), LLONG_MAX);
    EXPECT_FALSE(r.containsPoint(0, 0));
    GRect s(r);
    s.shrink(LLONG_MAX);
    s.setRight(LLONG_MIN);
    EXPECT_GE(s.width, LLONG_MIN);
    GPoint p(LLONG_MAX, 0);
    p += GPoint(1, 0);
    EXPECT_EQ(p.x, LLONG_MIN);
    (void)GRect::getUnionRect(r, GRect(LLONG_MIN, 0, 5, 5));
    (void)GRect::getIntersectedRect(r, GRect(LLONG_MIN, LLONG_MAX, LLONG_MAX, 5));
}

TEST(GPoint, NearnessAndArithmetic) {
    GPoint p(1, 2);
    p += GPoint(10, 10);
    EXPECT_EQ(p, GPoint(11, 12));
    p -= GPoint(1, 2);
    EXPECT_EQ(p, GPoint(10, 10));
    EXPECT_TRUE(p.isInTheNearOf(GPoint(12, 8), 2));
    EXPECT_FALSE(p.isInTheNearOf(GPoint(13, 10), 2));
    EXPECT_TRUE(GPoint(0, 0).isInTheNearOf(GPoint(4294967296LL, 0), 0)) << "differences are taken in 32 bits";
}

TEST(GeoAlgo2D, OrientationIntersectionAndTheta) {
    EXPECT_EQ(GeoAlgo2D::ccw(GPoint(0, 0), GPoint(1, 0), GPoint(0, 1)), 1);
    EXPECT_EQ(GeoAlgo2D::ccw(GPoint(0, 0), GPoint(0, 1), GPoint(1, 0)), -1);
    EXPECT_EQ(GeoAlgo2D::ccw(GPoint(1, 1), GPoint(0, 0), GPoint(2, 2)), -1) << "collinear, middle one first";
    EXPECT_EQ(GeoAlgo2D::ccw(GPoint(0, 0), GPoint(1, 1), GPoint(2, 2)), 1) << "p1 between p0 and p2";
    EXPECT_EQ(GeoAlgo2D::ccw(GPoint(0, 0), GPoint(2, 2), GPoint(1, 1)), 0) << "p2 between p0 and p1";
    const long long big = 4611686018427387904LL;  // 2^62: past the exact range, still no overflow
    EXPECT_EQ(GeoAlgo2D::ccw(GPoint(-big, -big), GPoint(big, -big), GPoint(-big, big)), 1);

    EXPECT_TRUE(GeoAlgo2D::intersect(GLine(0, 0, 10, 10), GLine(0, 10, 10, 0)));
    EXPECT_TRUE(GeoAlgo2D::intersect(GLine(0, 0, 10, 0), GLine(10, 0, 20, 5))) << "a shared end point";
    EXPECT_FALSE(GeoAlgo2D::intersect(GLine(0, 0, 10, 0), GLine(0, 1, 10, 1)));
    EXPECT_FALSE(GeoAlgo2D::intersect(GLine(0, 0, 1, 1), GLine(2, 2, 3, 3))) << "collinear but apart";

    EXPECT_EQ(GeoAlgo2D::theta(GPoint(0, 0), GPoint(0, 5)), 90.0f);
    EXPECT_EQ(GeoAlgo2D::theta(GPoint(0, 0), GPoint(-5, 0)), 180.0f);
    EXPECT_EQ(GeoAlgo2D::theta(GPoint(0, 0), GPoint(0, -5)), 270.0f);
    EXPECT_EQ(GeoAlgo2D::theta(GPoint(0, 0), GPoint(5, 5)), 45.0f);
    EXPECT_EQ(GeoAlgo2D::theta(GPoint(3, 3), GPoint(3, 3)), 0.0f);
}

TEST(GeoAlgo2D, PointInPolygonEdgeRules) {
    const std::vector<GPoint> square{{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    EXPECT_EQ(GeoAlgo2D::inside(GPoint(1, 1), square), 1);
    EXPECT_EQ(GeoAlgo2D::inside(GPoint(5, 1), square), 0);
    EXPECT_EQ(GeoAlgo2D::inside(GPoint(2, 0), square), 1) << "the edge at the smaller y is inside";
    EXPECT_EQ(GeoAlgo2D::inside(GPoint(2, 4), square), 0) << "the edge at the larger y is outside";
    EXPECT_EQ(GeoAlgo2D::inside(GPoint(0, 2), square), 1) << "the left edge is inside";
    EXPECT_EQ(GeoAlgo2D::inside(GPoint(4, 2), square), 0) << "the right edge is outside";
    EXPECT_EQ(GeoAlgo2D::inside(GPoint(1, 1), std::vector<GPoint>{{0, 0}, {4, 0}}), 0);

    // A U shape: the notch is outside although inside the bounding box.
    const int xs[] = {0, 6, 6, 4, 4, 2, 2, 0}, ys[] = {0, 0, 6, 6, 2, 2, 6, 6};
    EXPECT_TRUE(GeoAlgo2D::contains(1.0, 5.0, xs, ys, 8));
    EXPECT_FALSE(GeoAlgo2D::contains(3.0, 5.0, xs, ys, 8));
    EXPECT_TRUE(GeoAlgo2D::contains(3.0, 1.0, xs, ys, 8));
    EXPECT_FALSE(GeoAlgo2D::contains(-0.5, 1.0, xs, ys, 8));
    EXPECT_FALSE(GeoAlgo2D::contains(NAN, 1.0, xs, ys, 8));
    EXPECT_FALSE(GeoAlgo2D::contains(1.0, 1.0, xs, ys, 2));
    EXPECT_EQ(GeoAlgo2D::calculateBounds(xs, ys, 8), GRect(0, 0, 6, 6));

    std::vector<Vector2> poly{{0.9f, 0.9f}, {4.5f, 0.2f}, {4.7f, 4.9f}, {0.1f, 4.2f}};
    EXPECT_TRUE(GeoAlgo2D::contains(Vector2(0.5f, 0.5f), poly)) << "vertices truncate to the square 0..4";
    EXPECT_FALSE(GeoAlgo2D::contains(Vector2(4.2f, 2.0f), poly));
    PointIteratorByArray it(&poly);
    EXPECT_TRUE(GeoAlgo2D::contains(Vector2(0.5f, 0.5f), it));
    EXPECT_FALSE(GeoAlgo2D::contains(Vector2(4.2f, 2.0f), it)) << "the iterator is reset for every test";
    EXPECT_EQ(GeoAlgo2D::calculateBounds(poly), GRect(0, 0, 4, 4));
    EXPECT_EQ(GeoAlgo2D::calculateBounds(it), GRect(0, 0, 4, 4));
    const GRect none = GeoAlgo2D::calculateBounds(std::vector<Vector2>());
    EXPECT_EQ(none, GRect(2147483648LL, 2147483648LL, -4294967296LL, -4294967296LL));
    std::vector<Vector2> huge{{1e30f, 0}, {-1e30f, 0}, {0, NAN}};
    EXPECT_FALSE(GeoAlgo2D::contains(Vector2(0, 0), huge)) << "saturated, never undefined";
}

TEST(GeoAlgo2D, BasePointAndIteratorBounds) {
    zortest::LogCapture cap;
    EXPECT_EQ(GeoAlgo2D::getBasePoint(Vector2(2, 5), Vector2(0, 0), Vector2(4, 0), true), Vector2(2, 0));
    EXPECT_EQ(GeoAlgo2D::getBasePoint(Vector2(9, 5), Vector2(0, 0), Vector2(4, 0), false), Vector2(9, 0));
    EXPECT_TRUE(GeoAlgo2D::getBasePoint(Vector2(9, 5), Vector2(0, 0), Vector2(4, 0), true).isNotDefined());
    EXPECT_TRUE(GeoAlgo2D::getBasePoint(Vector2(9, 5), Vector2(1, 1), Vector2(1, 1), false).isNotDefined());

    std::vector<Vector2> empty;
    PointIteratorByArray e(&empty);
    EXPECT_EQ(e.firstPoint(), Vector2());
    EXPECT_EQ(e.lastPoint(), Vector2());
    std::vector<Vector2> one{{7, 8}};
    PointIteratorByArray o(&one);
    EXPECT_EQ(o.firstPoint(), Vector2(7, 8));
    EXPECT_FALSE(o.hasMorePoints());
    EXPECT_EQ(o.nextPoint(), Vector2());
    o.reset();
    EXPECT_EQ(o.nextPoint(), Vector2(7, 8));
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("PointIteratorByArray::firstPoint, out of bound"));
    EXPECT_TRUE(cap.containsText("PointIteratorByArray::lastPoint, out of bound"));
    EXPECT_TRUE(cap.containsText("PointIteratorByArray::nextPoint, out of bound"));
    EXPECT_TRUE(cap.containsText("GeoAlgo2D::getBasePoint, no line through [1.000000, 1.000000] and [1.000000, 1.000000]"));
    Logger::quit();
}

TEST(Triangulate, SquaresBowTiesAndDegenerateInput) {
    zortest::LogCapture cap;
    const std::vector<Vector2> square{{0, 0}, {4, 0}, {4, 3}, {0, 3}};
    EXPECT_EQ(Triangulate::getArea(square), 12.0f);
    std::vector<Vector2> cw(square.rbegin(), square.rend());
    EXPECT_EQ(Triangulate::getArea(cw), -12.0f);
    std::vector<Vector2> tris{{99, 99}};
    ASSERT_TRUE(Triangulate::makeMesh(square, tris));
    ASSERT_EQ(tris.size(), 7u) << "appended after what was there";
    ASSERT_TRUE(Triangulate::makeMesh(cw, tris));
    ASSERT_EQ(tris.size(), 13u);
    for (std::size_t i = 1; i < tris.size(); i += 3)
        EXPECT_GT(triangleArea(tris[i], tris[i + 1], tris[i + 2]), 0.0) << "counter-clockwise whatever the input";

    const std::vector<Vector2> bowTie{{0, 0}, {4, 4}, {4, 0}, {0, 4}};
    std::vector<Vector2> out{{1, 1}};
    EXPECT_FALSE(Triangulate::makeMesh(bowTie, out));
    EXPECT_EQ(out.size(), 1u) << "a failure leaves the result as it was";
    EXPECT_FALSE(Triangulate::makeMesh({{0, 0}, {1, 1}}, out));
    EXPECT_FALSE(Triangulate::makeMesh({{0, 0}, {1, 0}, {2, 0}}, out)) << "collinear: no ear has an area";
    EXPECT_FALSE(Triangulate::makeMesh({{0, 0}, {1, 0}, {NAN, 1}}, out));
    EXPECT_EQ(out.size(), 1u);

    EXPECT_TRUE(Triangulate::isInsideTriangle(0, 0, 4, 0, 0, 4, 1, 1));
    EXPECT_TRUE(Triangulate::isInsideTriangle(0, 0, 4, 0, 0, 4, 2, 0)) << "the border counts";
    EXPECT_FALSE(Triangulate::isInsideTriangle(0, 0, 4, 0, 0, 4, 3, 3));
    zortest::drainLogger();
    EXPECT_TRUE(cap.containsText("Triangulate::makeMesh, no ear left among 3 of 4 vertices: the polygon is not simple"));
    EXPECT_TRUE(cap.containsText("Triangulate::makeMesh, no ear left among 3 of 3 vertices: the polygon is not simple"));
    EXPECT_TRUE(cap.containsText("Triangulate::makeMesh, vertex [nan, 1.000000] is not finite"));
    EXPECT_TRUE(cap.containsText("Triangulate::makeMesh, 2 vertices, a polygon needs at least 3"));
    Logger::quit();
}

TEST(Triangulate, RandomSimplePolygonsGiveNMinusTwoTrianglesOfTheSameArea) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 300; ++round) {
        std::vector<Vector2> poly = starPolygon(rng, 3 + round % 60, 1000.0f);
        if (round % 2 == 1) std::reverse(poly.begin(), poly.end());
        std::vector<Vector2> tris;
        ASSERT_TRUE(Triangulate::makeMesh(poly, tris)) << round;
        ASSERT_EQ(tris.size(), 3 * (poly.size() - 2)) << round;
        double sum = 0.0;
        for (std::size_t i = 0; i < tris.size(); i += 3) sum += triangleArea(tris[i], tris[i + 1], tris[i + 2]);
        const double area = std::fabs(Triangulate::getArea(poly));
        EXPECT_NEAR(sum, area, 1e-4 * area) << round;
    }
}
