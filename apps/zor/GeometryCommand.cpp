// zor geometry: tests a point against a polygon and triangulates the polygon.
//
//   zor geometry --polygon "0,0 4,0 4,3 0,3" --point "1,1"
//
// The polygon is "x,y" pairs separated by blanks; the point is one pair and may be left out.
// Text that is no polygon (or fewer than three points) ends with the exit code for bad
// arguments; a polygon that cannot be triangulated (it crosses itself) with the one for
// mathematical failures, after the point test has been printed.
#include "Commands.h"

#include <zor/core.h>

#include <QStringList>
#include <cmath>
#include <cstdio>
#include <vector>

namespace zorapp {

using namespace zor;

namespace {

// Without --verbose only warnings and errors are shown, on stderr as "zor: <text>".
// "x,y" with finite numbers.
bool parsePoint(const QString& text, Vector2& p) {
    const QStringList xy = text.split(QLatin1Char(','));
    if (xy.size() != 2) return false;
    bool okX = false, okY = false;
    const float x = xy[0].trimmed().toFloat(&okX), y = xy[1].trimmed().toFloat(&okY);
    if (!okX || !okY || !std::isfinite(x) || !std::isfinite(y)) return false;
    p.set(x, y);
    return true;
}

bool parsePolygon(const QString& text, std::vector<Vector2>& polygon) {
    const Tokenizer points(text, QStringLiteral(" \t\r\n"));
    for (const QString& t : points.tokens()) {
        Vector2 p;
        if (!parsePoint(t, p)) {
            logError("geometry, '$' is no point x,y in the polygon '$'", t, text);
            return false;
        }
        polygon.push_back(p);
    }
    if (polygon.size() < 3) {
        logError("geometry, a polygon needs at least 3 points, '$' has $", text, polygon.size());
        return false;
    }
    return true;
}

QString pointText(const Vector2& p) {
    return QString::asprintf("%g,%g", static_cast<double>(p.x), static_cast<double>(p.y));
}

// Ends the command like finish() does, with several result lines (printed even after a failure:
// the point test stands when the triangulation fails).
int finishLines(int rc, const QStringList& lines) {
    Logger::quit();
    for (const QString& l : lines) std::printf("%s\n", qPrintable(l));
    return rc;
}

}  // namespace

int runGeometry(const CommandLine& cmd) {
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    const QString polygonText = cmd.getString(QStringLiteral("polygon"));
    if (polygonText.isEmpty()) {
        logError("geometry, missing argument --polygon (zor --help shows the usage)");
        return finishLines(EXIT_ZOR_ARGUMENT, {});
    }
    std::vector<Vector2> polygon;
    if (!parsePolygon(polygonText, polygon)) return finishLines(EXIT_ZOR_ARGUMENT, {});
    QStringList out;
    const float area = Triangulate::getArea(polygon);
    out << QString::asprintf("polygon %d points, area %g, bounds %s", static_cast<int>(polygon.size()),
                             static_cast<double>(std::fabs(area)),
                             qPrintable(GeoAlgo2D::calculateBounds(polygon).toString()));
    if (cmd.hasKey(QStringLiteral("point"))) {
        Vector2 p;
        const QString pointArg = cmd.getString(QStringLiteral("point"));
        if (!parsePoint(pointArg, p)) {
            logError("geometry, '$' is no point x,y", pointArg);
            return finishLines(EXIT_ZOR_ARGUMENT, {});
        }
        out << QString::asprintf("point %s %s", qPrintable(pointText(p)),
                                 GeoAlgo2D::contains(p, polygon) ? "inside" : "outside");
    }
    std::vector<Vector2> triangles;
    if (!Triangulate::makeMesh(polygon, triangles)) {
        out << QStringLiteral("triangulation failed: the polygon is not simple");
        return finishLines(EXIT_ZOR_MATH, out);
    }
    double sum = 0.0;
    QStringList rows;
    for (std::size_t i = 0; i + 2 < triangles.size(); i += 3) {
        sum += std::fabs(Triangulate::getArea({triangles[i], triangles[i + 1], triangles[i + 2]}));
        rows << QString::asprintf("  %s %s %s", qPrintable(pointText(triangles[i])),
                                  qPrintable(pointText(triangles[i + 1])), qPrintable(pointText(triangles[i + 2])));
    }
    out << QString::asprintf("triangulation %d triangles, area %g", static_cast<int>(triangles.size() / 3), sum);
    out << rows;
    return finishLines(EXIT_ZOR_OK, out);
}

}  // namespace zorapp
