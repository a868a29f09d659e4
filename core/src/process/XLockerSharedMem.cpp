#include <zor/XLockerSharedMem.h>

#include <zor/Logger.h>
#include <zor/XSharedMemory.h>

namespace zor {

XLockerSharedMem::XLockerSharedMem(XSharedMemory& shm) : m_shm(shm) {
    m_locked = m_shm.lock();
    if (!m_locked) logError("XLockerSharedMem::XLockerSharedMem - locker problems, err:$", m_shm.errorString());
}

XLockerSharedMem::~XLockerSharedMem() {
    if (!m_locked) return;
    if (!m_shm.unlock()) logError("XLockerSharedMem::~XLockerSharedMem - un-locker problems, err:$", m_shm.errorString());
}

}  // namespace zor
