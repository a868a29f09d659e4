// Untrusted compressed blocks. The raw input almost never carries a valid digest, so the input is
// also tried with a correct digest in front: that drives the inflate path with arbitrary streams.
#include <zor/MD5.h>
#include <zor/XByteArray.h>

#include <QByteArray>
#include <QtGlobal>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Qt reports every corrupt stream on stderr; that would cost more than the decoding.
    static const bool quiet = (qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {}), true);
    (void)quiet;
    const QByteArray in(reinterpret_cast<const char*>(data), static_cast<int>(size));
    zor::XByteArray::unCompress(in);
    const QByteArray signedBlock = zor::MD5::md5_16(in) + in;
    zor::XByteArray::unCompress(signedBlock);
    if (size <= 4096) {
        const zor::XByteArray round = zor::XByteArray::unCompress(zor::XByteArray::compress(in));
        if (round != in) std::abort();
    }
    return 0;
}
