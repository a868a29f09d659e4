#include <zor/TransactionAtomicBits.h>

namespace zor {

TransactionAtomicBits::TransactionAtomicBits(AtomicBits& bits)
    : m_bits(bits), m_savedEmit(bits.isEmitChanges()), m_savedValue(bits.value()) {
    m_bits.setEmitChanges(false);
}

TransactionAtomicBits::~TransactionAtomicBits() {
    m_bits.setEmitChanges(m_savedEmit);
    const unsigned int now = m_bits.value();
    if (m_savedEmit && now != m_savedValue) {
        const AtomicBits::InfoCallBack cb = m_bits.infoCallBack();
        if (cb) cb(m_savedValue, now);
    }
}

}  // namespace zor
