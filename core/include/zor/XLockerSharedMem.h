#pragma once
/// \zclass{XLockerSharedMem,process} Holds the system lock of an XSharedMemory's block for its scope (lock in the
/// constructor, unlock in the destructor) and logs when either fails; isLocked() tells whether the
/// lock is held. Not copyable; it keeps a reference, so the block must outlive the locker. Used by
/// the thread that made it.
#include <zor/zor_export.h>

namespace zor {

class XSharedMemory;

class ZOR_EXPORT XLockerSharedMem {
public:
    explicit XLockerSharedMem(XSharedMemory& shm);
    ~XLockerSharedMem();
    XLockerSharedMem(const XLockerSharedMem&) = delete;
    XLockerSharedMem& operator=(const XLockerSharedMem&) = delete;

    bool isLocked() const { return m_locked; }

private:
    XSharedMemory& m_shm;
    bool m_locked = false;
};

}  // namespace zor
