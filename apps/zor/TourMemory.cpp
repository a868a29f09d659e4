// The tour's memory and text section: a compressed block and a framed message surviving the round
// trip, damaged copies refused with their checksum errors, and a few texts taken apart.
#include "Commands.h"

#include <zor/core.h>

#include <map>

namespace zorapp {

using namespace zor;

namespace {

// A sample that compresses well and holds zero bytes, so that framing has something to stuff.
QByteArray sampleMessage() {
    QByteArray data;
    for (int i = 0; i < 64; ++i) data += xformat("line $: sensor $ reads $\n", i, i % 4, 0.5 * i).toLatin1();
    data.append('\0').append("after a zero byte").append('\0');
    return data;
}

}  // namespace

void tourMemory() {
    logInfo("==== compressed blocks and framed messages");
    const QByteArray message = sampleMessage();
    logInfo("Tour::memory, message of $ bytes, MD5 $", message.size(), MD5(message.constData(), static_cast<unsigned int>(message.size())).toString());

    const XByteArray block = XByteArray::compress(message);
    logInfo("Tour::memory, compressed block: $ bytes (16 digest bytes, then the zlib stream)", block.size());
    const XByteArray back = XByteArray::unCompress(block);
    logInfo("Tour::memory, uncompressed: $ bytes, same as the message: $", back.size(), back == message);
    QByteArray damaged = block;
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x20);
    logInfo("Tour::memory, one bit flipped in the middle of the block:");
    logInfo("Tour::memory, uncompressed the damaged block: $ bytes", XByteArray::unCompress(damaged).size());

    const QByteArray frame = ArrayTools::frameQByteArray_MD5(message);
    logInfo("Tour::memory, MD5 frame: $ bytes, zero bytes inside the frame: $", frame.size(),
            frame.mid(1).count('\0'));
    QByteArray out;
    const bool ok = ArrayTools::unFrameQByteArray_MD5(frame, out);
    logInfo("Tour::memory, unframed: digest matches $, same as the message: $", ok, out == message);
    QByteArray badFrame = frame;
    badFrame[10] = static_cast<char>(badFrame[10] == 'x' ? 'y' : 'x');
    out.clear();
    logInfo("Tour::memory, a damaged frame: digest matches $", ArrayTools::unFrameQByteArray_MD5(badFrame, out));

    logInfo("==== texts taken apart");
    Tokenizer tokens(QStringLiteral("width=1920, height=1080; depth=32"), QStringLiteral("=,; "));
    QStringList parts;
    while (tokens.hasMoreToken()) parts << tokens.nextToken();
    logInfo("Tour::text, $ tokens: $", parts.size(), parts.join(QLatin1Char('|')));
    logInfo("Tour::text, '-9223372036854775808' parses to $, '12x' to NaN: $",
            IntegerParser::stoi("-9223372036854775808"), IntegerParser::stoi("12x") == IntegerParser::NaN);
    logInfo("Tour::text, '64 KB' is $ bytes", get_bytes_number(QStringLiteral("64 KB")));
    const std::map<QString, QString> vars = {{QStringLiteral("HOME"), QStringLiteral("/home/zor")}};
    logInfo("Tour::text, $", replaceVariables(QStringLiteral("${HOME}/data and ${UNKNOWN}"), vars, false));
}

}  // namespace zorapp
