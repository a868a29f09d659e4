#pragma once
/// \zclass{XDestructor,xtree} The owner of one heap value held by a value slot or an array. It stores the pointer
/// and a callable that deletes it; kill() runs the callable once and forgets the pointer.
/// Destroying an XDestructor never destroys the value: the owner calls kill() first. Copies share
/// the pointer (whoever kills first wins). One thread at a time.
#include <zor/zor_export.h>

#include <functional>

namespace zor {

class ZOR_EXPORT XDestructor {
public:
    static bool flagDebug;  ///< trace lines of kill() and of the stored callables

    XDestructor() = default;
    XDestructor(void* object, std::function<void()> destroy) : m_object(object), m_destroy(std::move(destroy)) {}
    XDestructor(const XDestructor&) = default;
    XDestructor& operator=(const XDestructor&) = default;
    ~XDestructor() = default;

    void kill();                       ///< destroys the object (if any) and forgets it
    void setNull() { m_object = nullptr; }  ///< forgets the object without destroying it
    void* object() const { return m_object; }

private:
    void* m_object = nullptr;
    std::function<void()> m_destroy;
};

}  // namespace zor
