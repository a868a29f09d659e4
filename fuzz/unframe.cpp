// Untrusted frames: plain and MD5-checked unframing of arbitrary bytes. Every input must decode
// without over-reads into at most its own length; frames built from the decoded bytes must round
// trip exactly.
#include <zor/ArrayTools.h>

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray in(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const QByteArray plain = zor::ArrayTools::unFrameQByteArray(in);
    if (plain.size() > in.size()) std::abort();
    QByteArray out;
    const bool ok = zor::ArrayTools::unFrameQByteArray_MD5(in, out);
    if (!ok && !out.isEmpty()) std::abort();
    if (ok && out.size() + 32 > plain.size()) std::abort();
    // The input taken as payload must survive framing and unframing unchanged.
    if (zor::ArrayTools::unFrameQByteArray(zor::ArrayTools::frameQByteArray(in)) != in) std::abort();
    // An MD5 frame carries at least one byte (a payload of 32 bytes is refused by design).
    QByteArray back;
    if (!in.isEmpty() && !zor::ArrayTools::unFrameQByteArray_MD5(zor::ArrayTools::frameQByteArray_MD5(in), back) || back != in)
        std::abort();
    return 0;
}
