#pragma once
/// \zclass{PointIterator2,math} A read-only walk over a sequence of Vector2 points, so that the polygon
/// algorithms take any point storage (see PointIteratorByArray for a std::vector).
/// \code
///   it.reset();  while (it.hasMorePoints()) use(it.nextPoint());
/// \endcode
/// Implementations say who owns the points; an iterator is used by one thread at a time.
#include <zor/Vector2.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT PointIterator2 {
public:
    virtual ~PointIterator2();
    virtual bool hasMorePoints() const = 0;
    virtual Vector2 firstPoint() = 0;  ///< the first point; the walk continues after it
    virtual Vector2 lastPoint() = 0;   ///< the last point; the position is not moved
    virtual Vector2 nextPoint() = 0;
    virtual void reset() = 0;  ///< back to the first point
    virtual int size() const = 0;
};

}  // namespace zor
