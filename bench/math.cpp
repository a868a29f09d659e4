// Mathematics: Vector3 dot/cross/normalise, Matrix4 multiply/inverse and the matrix-vector
// transform against QVector3D/QMatrix4x4 (Qt Gui) and Eigen's fixed-size types; point in polygon
// against Boost.Geometry's within; the ear-clipping triangulation of a 1,000-point polygon.
//
// Every benchmark walks 1,024 prepared random inputs per iteration (so nothing folds to a
// constant) and hands each result to DoNotOptimize; items per second count single operations.
#include <zor/GeoAlgo2D.h>
#include <zor/Matrix4.h>
#include <zor/Triangulate.h>
#include <zor/Vector2.h>
#include <zor/Vector3.h>
#include <zor/Vector4.h>

#include <benchmark/benchmark.h>

#include <Eigen/Dense>
#include <QMatrix4x4>
#include <QVector3D>
#include <QVector4D>
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kN = 1024;

struct Inputs {
    std::vector<float> v;  // 3 floats per vector, 2 vectors per item
    std::vector<float> m;  // 16 floats per matrix, row by row, 2 matrices per item
    Inputs() {
        std::mt19937 rng(17);
        std::uniform_real_distribution<float> d(-10.0f, 10.0f);
        v.resize(kN * 6);
        for (float& x : v) x = d(rng);
        m.resize(kN * 32);
        for (float& x : m) x = d(rng);
        // Diagonally dominant matrices: every one has an inverse.
        for (int i = 0; i < kN * 2; ++i)
            for (int k = 0; k < 4; ++k) m[static_cast<std::size_t>(i * 16 + k * 5)] += 50.0f;
    }
};

const Inputs& inputs() {
    static const Inputs in;
    return in;
}

template <typename V>
std::vector<V> vectors(int which) {
    const auto& v = inputs().v;
    std::vector<V> out;
    for (int i = 0; i < kN; ++i) {
        const float* p = &v[static_cast<std::size_t>((i * 2 + which) * 3)];
        out.push_back(V(p[0], p[1], p[2]));
    }
    return out;
}

std::vector<zor::Matrix4> zorMatrices(int which) {
    std::vector<zor::Matrix4> out;
    for (int i = 0; i < kN; ++i) out.emplace_back(&inputs().m[static_cast<std::size_t>((i * 2 + which) * 16)]);
    return out;
}

std::vector<QMatrix4x4> qtMatrices(int which) {
    std::vector<QMatrix4x4> out;  // QMatrix4x4(const float*) reads row by row as well
    for (int i = 0; i < kN; ++i) out.emplace_back(&inputs().m[static_cast<std::size_t>((i * 2 + which) * 16)]);
    return out;
}

using EMat = Eigen::Matrix<float, 4, 4, Eigen::RowMajor>;
std::vector<EMat, Eigen::aligned_allocator<EMat>> eigenMatrices(int which) {
    std::vector<EMat, Eigen::aligned_allocator<EMat>> out;
    for (int i = 0; i < kN; ++i) out.emplace_back(Eigen::Map<const EMat>(&inputs().m[static_cast<std::size_t>((i * 2 + which) * 16)]));
    return out;
}

void items(benchmark::State& state) { state.SetItemsProcessed(static_cast<long long>(state.iterations()) * kN); }

// ---- Vector3
void dot_zor(benchmark::State& state) {
    const auto a = vectors<zor::Vector3>(0), b = vectors<zor::Vector3>(1);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) benchmark::DoNotOptimize(a[i] * b[i]);
    items(state);
}
void dot_qt(benchmark::State& state) {
    const auto a = vectors<QVector3D>(0), b = vectors<QVector3D>(1);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) benchmark::DoNotOptimize(QVector3D::dotProduct(a[i], b[i]));
    items(state);
}
void dot_eigen(benchmark::State& state) {
    const auto a = vectors<Eigen::Vector3f>(0), b = vectors<Eigen::Vector3f>(1);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) benchmark::DoNotOptimize(a[i].dot(b[i]));
    items(state);
}
BENCHMARK(dot_zor)->Name("vector3_dot/zor");
BENCHMARK(dot_qt)->Name("vector3_dot/qt");
BENCHMARK(dot_eigen)->Name("vector3_dot/eigen");

void cross_zor(benchmark::State& state) {
    const auto a = vectors<zor::Vector3>(0), b = vectors<zor::Vector3>(1);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            zor::Vector3 c = a[i] % b[i];
            benchmark::DoNotOptimize(c);
        }
    items(state);
}
void cross_qt(benchmark::State& state) {
    const auto a = vectors<QVector3D>(0), b = vectors<QVector3D>(1);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            QVector3D c = QVector3D::crossProduct(a[i], b[i]);
            benchmark::DoNotOptimize(c);
        }
    items(state);
}
void cross_eigen(benchmark::State& state) {
    const auto a = vectors<Eigen::Vector3f>(0), b = vectors<Eigen::Vector3f>(1);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            Eigen::Vector3f c = a[i].cross(b[i]);
            benchmark::DoNotOptimize(c);
        }
    items(state);
}
BENCHMARK(cross_zor)->Name("vector3_cross/zor");
BENCHMARK(cross_qt)->Name("vector3_cross/qt");
BENCHMARK(cross_eigen)->Name("vector3_cross/eigen");

void normalise_zor(benchmark::State& state) {
    const auto a = vectors<zor::Vector3>(0);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            zor::Vector3 n = a[i].getNormal();
            benchmark::DoNotOptimize(n);
        }
    items(state);
}
void normalise_qt(benchmark::State& state) {
    const auto a = vectors<QVector3D>(0);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            QVector3D n = a[i].normalized();
            benchmark::DoNotOptimize(n);
        }
    items(state);
}
void normalise_eigen(benchmark::State& state) {
    const auto a = vectors<Eigen::Vector3f>(0);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            Eigen::Vector3f n = a[i].normalized();
            benchmark::DoNotOptimize(n);
        }
    items(state);
}
BENCHMARK(normalise_zor)->Name("vector3_normalise/zor");
BENCHMARK(normalise_qt)->Name("vector3_normalise/qt");
BENCHMARK(normalise_eigen)->Name("vector3_normalise/eigen");

// ---- Matrix4
void mul_zor(benchmark::State& state) {
    const auto a = zorMatrices(0), b = zorMatrices(1);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            zor::Matrix4 c = a[i] * b[i];
            benchmark::DoNotOptimize(c);
        }
    items(state);
}
void mul_qt(benchmark::State& state) {
    const auto a = qtMatrices(0), b = qtMatrices(1);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            QMatrix4x4 c = a[i] * b[i];
            benchmark::DoNotOptimize(c);
        }
    items(state);
}
void mul_eigen(benchmark::State& state) {
    const auto a = eigenMatrices(0), b = eigenMatrices(1);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            EMat c = a[i] * b[i];
            benchmark::DoNotOptimize(c);
        }
    items(state);
}
BENCHMARK(mul_zor)->Name("matrix4_multiply/zor");
BENCHMARK(mul_qt)->Name("matrix4_multiply/qt");
BENCHMARK(mul_eigen)->Name("matrix4_multiply/eigen");

void inv_zor(benchmark::State& state) {
    const auto a = zorMatrices(0);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            zor::Matrix4 c = a[i].getInverse();
            benchmark::DoNotOptimize(c);
        }
    items(state);
}
void inv_qt(benchmark::State& state) {
    const auto a = qtMatrices(0);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            bool ok = false;
            QMatrix4x4 c = a[i].inverted(&ok);
            benchmark::DoNotOptimize(c);
            benchmark::DoNotOptimize(ok);
        }
    items(state);
}
void inv_eigen(benchmark::State& state) {
    const auto a = eigenMatrices(0);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            EMat c = a[i].inverse();
            benchmark::DoNotOptimize(c);
        }
    items(state);
}
BENCHMARK(inv_zor)->Name("matrix4_inverse/zor");
BENCHMARK(inv_qt)->Name("matrix4_inverse/qt");
BENCHMARK(inv_eigen)->Name("matrix4_inverse/eigen");

void transform_zor(benchmark::State& state) {
    const auto m = zorMatrices(0);
    const auto v = vectors<zor::Vector3>(0);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            zor::Vector4 p(v[i].x, v[i].y, v[i].z, 1.0f);
            benchmark::DoNotOptimize(p.multiply(m[i]));
        }
    items(state);
}
void transform_qt(benchmark::State& state) {
    const auto m = qtMatrices(0);
    const auto v = vectors<QVector3D>(0);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            QVector4D p = m[i] * QVector4D(v[i], 1.0f);
            benchmark::DoNotOptimize(p);
        }
    items(state);
}
void transform_eigen(benchmark::State& state) {
    const auto m = eigenMatrices(0);
    const auto v = vectors<Eigen::Vector3f>(0);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            Eigen::Vector4f p = m[i] * v[i].homogeneous();
            benchmark::DoNotOptimize(p);
        }
    items(state);
}
BENCHMARK(transform_zor)->Name("matrix4_transform/zor");
BENCHMARK(transform_qt)->Name("matrix4_transform/qt");
BENCHMARK(transform_eigen)->Name("matrix4_transform/eigen");

// The row vector times the matrix (v M): the product the library's rotate and *= use.
void transform_row_zor(benchmark::State& state) {
    const auto m = zorMatrices(0);
    const auto v = vectors<zor::Vector3>(0);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            zor::Vector4 p(v[i].x, v[i].y, v[i].z, 1.0f);
            benchmark::DoNotOptimize(p.multiply_left(m[i]));
        }
    items(state);
}
void transform_row_qt(benchmark::State& state) {
    const auto m = qtMatrices(0);
    const auto v = vectors<QVector3D>(0);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            QVector4D p = QVector4D(v[i], 1.0f) * m[i];
            benchmark::DoNotOptimize(p);
        }
    items(state);
}
void transform_row_eigen(benchmark::State& state) {
    const auto m = eigenMatrices(0);
    const auto v = vectors<Eigen::Vector3f>(0);
    for (auto _ : state)
        for (int i = 0; i < kN; ++i) {
            Eigen::RowVector4f p = v[i].homogeneous().transpose() * m[i];
            benchmark::DoNotOptimize(p);
        }
    items(state);
}
BENCHMARK(transform_row_zor)->Name("matrix4_transform_row/zor");
BENCHMARK(transform_row_qt)->Name("matrix4_transform_row/qt");
BENCHMARK(transform_row_eigen)->Name("matrix4_transform_row/eigen");

// ---- point in polygon: a 1,000-vertex star polygon with whole-number vertices (so the library's
// truncation to integers changes nothing) and a million random points in its bounding box.
constexpr int kPolygon = 1000;
constexpr int kPoints = 1000000;

std::vector<zor::Vector2> starPolygon(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> radius(5000.0f, 10000.0f);
    std::vector<zor::Vector2> p;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * 3.14159265358979 * i / n;
        const float r = radius(rng);
        p.emplace_back(std::round(r * static_cast<float>(std::cos(a))), std::round(r * static_cast<float>(std::sin(a))));
    }
    return p;
}

const std::vector<zor::Vector2>& polygon() {
    static const std::vector<zor::Vector2> p = starPolygon(kPolygon, 5);
    return p;
}

const std::vector<zor::Vector2>& testPoints() {
    static const std::vector<zor::Vector2> pts = [] {
        std::mt19937 rng(6);
        std::uniform_real_distribution<float> d(-10000.0f, 10000.0f);
        std::vector<zor::Vector2> v;
        for (int i = 0; i < kPoints; ++i) v.emplace_back(d(rng), d(rng));
        return v;
    }();
    return pts;
}

namespace bg = boost::geometry;
using BPoint = bg::model::d2::point_xy<double>;
using BPolygon = bg::model::polygon<BPoint>;

void pip_zor(benchmark::State& state) {
    const auto& poly = polygon();
    const auto& pts = testPoints();
    long long inside = 0;
    for (auto _ : state) {
        inside = 0;
        for (const zor::Vector2& p : pts) inside += zor::GeoAlgo2D::contains(p, poly);
        benchmark::DoNotOptimize(inside);
    }
    state.counters["inside"] = static_cast<double>(inside);
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * kPoints);
}
void pip_boost(benchmark::State& state) {
    BPolygon poly;
    for (const zor::Vector2& p : polygon()) bg::append(poly.outer(), BPoint(p.x, p.y));
    bg::correct(poly);  // closes the ring and makes it clockwise, as Boost's default polygon wants
    std::vector<BPoint> pts;
    for (const zor::Vector2& p : testPoints()) pts.emplace_back(p.x, p.y);
    long long inside = 0;
    for (auto _ : state) {
        inside = 0;
        for (const BPoint& p : pts) inside += bg::within(p, poly);
        benchmark::DoNotOptimize(inside);
    }
    state.counters["inside"] = static_cast<double>(inside);
    state.SetItemsProcessed(static_cast<long long>(state.iterations()) * kPoints);
}
BENCHMARK(pip_zor)->Name("point_in_polygon_1000x1M/zor")->Unit(benchmark::kMillisecond);
BENCHMARK(pip_boost)->Name("point_in_polygon_1000x1M/boost_within")->Unit(benchmark::kMillisecond);

// ---- triangulation of a 1,000-vertex simple (star-shaped) polygon
void triangulate_zor(benchmark::State& state) {
    const auto poly = starPolygon(kPolygon, 7);
    std::vector<zor::Vector2> tris;
    for (auto _ : state) {
        tris.clear();
        const bool ok = zor::Triangulate::makeMesh(poly, tris);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(tris.data());
    }
    state.counters["triangles"] = static_cast<double>(tris.size() / 3);
}
BENCHMARK(triangulate_zor)->Name("triangulate_1000/zor")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
