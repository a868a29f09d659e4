// Untrusted string-array blocks: counts and lengths may lie. Decoding must stay inside the block,
// and a block written from the decoded strings must decode to the same strings.
#include <zor/XMem.h>

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zor::XMem block;
    if (size > 0) block.set_raw_data(data, size);
    const QStringList list = block.get_string_array();
    zor::XMem again;
    again.set_string_array(list);
    if (again.get_string_array() != list) std::abort();
    return 0;
}
