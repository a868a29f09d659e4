// The line index over arbitrary bytes. The first byte chooses the maximum line length (1 to 64,
// small so that wrapping is exercised), the second whether to wrap; the rest is the text, held in
// a block of exactly its size so that any read past it is caught. Checks that the records tile the
// bytes, stay within the maximum length and never split a UTF-8 character when wrapping without
// need, then reads every record back by index, by position and as a C string, and runs the line
// reader and the UTF-8 detector over the same bytes.
#include <zor/XLineReader.h>
#include <zor/XLineReaderDA.h>
#include <zor/XMemoryWrapper.h>
#include <zor/XUTF8_Detector.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const std::size_t maxLen = 1 + data[0] % 64;
    const bool wrap = (data[1] & 1) != 0;
    const std::size_t n = size - 2;
    std::unique_ptr<char[]> bytes(new char[n == 0 ? 1 : n]);
    if (n > 0) std::memcpy(bytes.get(), data + 2, n);
    zor::XMemoryWrapper mem(bytes.get(), n, QIODevice::ReadOnly);

    zor::XLineReaderDA da(mem, maxLen, false);
    const std::vector<zor::XLineInfo> index = da.createLineInfos(wrap);
    std::uint64_t pos = 0;
    for (const zor::XLineInfo& li : index) {
        if (li.posMemory != pos || li.lenBytes > maxLen || li.lenTotal == 0 || li.lenTotal < li.lenBytes) std::abort();
        if (li.posMemory + li.lenTotal > n) std::abort();
        pos += li.lenTotal;
    }
    if (pos != n) std::abort();

    da.create_internal_line_infos();
    for (std::size_t i = 0; i < da.countLines(); ++i) {
        const zor::XLineInfo li = da.lineInfoAt(i);
        (void)da.lineAt(i);
        const zor::XLineInfo at = da.lineInfoAtRamPos(li.posMemory);
        if (!at.isInRange(li.posMemory)) std::abort();
        (void)da.lineAtRamPos(li.posEnd());
        const char* c = da.cStringAt(li);
        if (std::strlen(c) > li.lenBytes) std::abort();
        if (i % 7 == 0) (void)da.paragraphAt(i);
        (void)li.toString();
    }
    (void)da.lineAtRamPos(n + 5);
    (void)da.midString(0, n + 3);
    (void)da.longestLine();
    (void)da.toString(true);
    if (da.countLines() > 0) (void)da.file_to_screen(da.lineInfos().back().lineIndex);

    zor::XLineReader reader(mem, maxLen + 1);
    std::size_t lines = 0;
    while (const char* l = reader.nextLine()) {
        if (std::strlen(l) > maxLen) std::abort();
        if (++lines > n + 1) std::abort();  // every call moves on
    }
    if (n > 0) {
        const zor::XUTF8_Detector d = da.detect_UTF8(n);
        if (d.count_detected_characters() > n) std::abort();
    }
    return 0;
}
