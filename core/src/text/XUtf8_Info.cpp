#include <zor/XUtf8_Info.h>
#include <zor/xformat.h>

#include <QByteArray>

namespace zor {

void XUtf8_Info::decode() {
    const QByteArray bytes = QString(ch).toUtf8();
    hex.clear();
    value = 0;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += QString::asprintf("%02X ", b);
        value = (value << 8) | b;
    }
}

QString XUtf8_Info::toString() const { return xformat("'$', hex:$, dec:$", ch, hex, value); }

QString XUtf8_Info::toHTML() const { return xformat("&#$;", static_cast<unsigned>(ch.unicode())); }

}  // namespace zor
