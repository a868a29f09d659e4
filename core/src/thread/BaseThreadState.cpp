#include <zor/BaseThreadState.h>

namespace zor {

BaseThreadState::~BaseThreadState() = default;

QString format_toString_arguments(const QString& text) {
    QString t = text.trimmed();
    if (t.endsWith(QLatin1Char(',')) || t.endsWith(QLatin1Char('|'))) {
        t.chop(1);
        t = t.trimmed();
    }
    return t;
}

QString BaseThreadState::bit_flags_as_string(const AtomicBits& bits) {
    static const struct {
        unsigned int bit;
        const char* piece;
    } pieces[] = {{INITIALIZED, "INITIALIZED | "}, {RUNNING, "RUNNING | "}, {FINISHED, "FINISHED | "},
                  {ERROR, "ERROR | "},             {CANCELLED, "CANCELLED | "}};
    const unsigned int v = bits.value();
    QString text;
    for (const auto& p : pieces)
        if ((v & p.bit) != 0) text += QLatin1String(p.piece);
    return format_toString_arguments(text);
}

}  // namespace zor
