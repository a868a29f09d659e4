#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/PointIteratorByArray.h>

namespace zor {

PointIteratorByArray::PointIteratorByArray(const std::vector<Vector2>* ar) : m_ar(ar) {
    if (ar == nullptr)
        nullPointerHandling("libSrc/core/src/math/simple/geoalogo2d_iter/PointIteratorByArray", 12,
                            QStringLiteral("ar == NULL"));
}

PointIteratorByArray::~PointIteratorByArray() = default;

Vector2 PointIteratorByArray::firstPoint() {
    if (m_ar->empty()) {
        logError("PointIteratorByArray::firstPoint, out of bound");
        return Vector2();
    }
    m_index = 1;
    return (*m_ar)[0];
}

Vector2 PointIteratorByArray::lastPoint() {
    if (m_ar->empty()) {
        logError("PointIteratorByArray::lastPoint, out of bound");
        return Vector2();
    }
    return m_ar->back();
}

Vector2 PointIteratorByArray::nextPoint() {
    if (m_index >= m_ar->size()) {
        logError("PointIteratorByArray::nextPoint, out of bound");
        return Vector2();
    }
    return (*m_ar)[m_index++];
}

}  // namespace zor
