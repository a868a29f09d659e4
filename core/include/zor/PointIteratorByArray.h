#pragma once
/// \zclass{PointIteratorByArray,math} PointIterator2 over a std::vector<Vector2> that the caller owns and keeps
/// alive (and unchanged) while the iterator is used. Reading past either end logs
/// "PointIteratorByArray::<method>, out of bound" and gives a default Vector2.
/// \code
///   std::vector<Vector2> poly{{0, 0}, {4, 0}, {4, 3}};
///   PointIteratorByArray it(&poly);   GeoAlgo2D::contains(Vector2(1, 1), it) == true
/// \endcode
/// A null array ends the program (a programming error). One thread at a time.
#include <zor/PointIterator2.h>
#include <zor/Vector2.h>
#include <zor/zor_export.h>

#include <vector>

namespace zor {

class ZOR_EXPORT PointIteratorByArray : public PointIterator2 {
public:
    explicit PointIteratorByArray(const std::vector<Vector2>* ar);
    ~PointIteratorByArray() override;

    bool hasMorePoints() const override { return m_index < m_ar->size(); }
    Vector2 firstPoint() override;
    Vector2 lastPoint() override;
    Vector2 nextPoint() override;
    void reset() override { m_index = 0; }
    int size() const override { return static_cast<int>(m_ar->size()); }

private:
    const std::vector<Vector2>* m_ar;
    std::size_t m_index = 0;
};

}  // namespace zor
