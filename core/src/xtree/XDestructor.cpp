#include <zor/Logger.h>
#include <zor/XDestructor.h>

namespace zor {

bool XDestructor::flagDebug = false;

void XDestructor::kill() {
    if (m_object == nullptr) {
        if (flagDebug) logDebug("XDestructor::kill, p == nullptr");
    } else {
        if (flagDebug) logDebug("XDestructor::kill, call destroy()");
        // Every destructor the library makes carries its callable; an empty one would be a
        // programming error, and the object is then left alone rather than thrown over.
        if (m_destroy) m_destroy();
        else logError("XDestructor::kill, no destroy function, object left alone");
    }
    m_object = nullptr;
}

}  // namespace zor
