#pragma once
/// \zclass{TransactionAtomicBits,thread} A scope in which changes of a flag word make no notifications; when the
/// scope ends and emission was on, the information callback is called once with the value before
/// and after the whole scope (if it changed). Listeners are not called.
#include <zor/AtomicBits.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT TransactionAtomicBits {
public:
    explicit TransactionAtomicBits(AtomicBits& bits);
    ~TransactionAtomicBits();
    TransactionAtomicBits(const TransactionAtomicBits&) = delete;
    TransactionAtomicBits& operator=(const TransactionAtomicBits&) = delete;

private:
    AtomicBits& m_bits;
    bool m_savedEmit;
    unsigned int m_savedValue;
};

}  // namespace zor
