// Reading one value record of each category from arbitrary bytes: the first byte picks the
// category and the second the type name (every registered simple type, trees, arrays and links);
// the rest is the payload. A value that was read must write a record that reads back the same.
#include <zor/XDataStream.h>
#include <zor/XTree.h>

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static const QStringList types = [] {
        QStringList t = zor::XTypeSupporter::basicTypes().typeSet().types(zor::XTypeSet::CAT_SIMPLE);
        t << zor::XTypeSet::str_XTree << zor::XTypeSet::str_XTreeArray << zor::XTypeSet::str_XLink;
        return t;
    }();
    const QString type = types[data[1] % types.size()];
    const QByteArray name = type.toUtf8();
    QByteArray record;
    record.append(static_cast<char>(data[0] % 5));  // 0 is no category, 1-4 the real ones
    record.append(static_cast<char>(name.size()));
    record.append(name);
    record.append(reinterpret_cast<const char*>(data) + 2, static_cast<int>(size - 2));

    zor::XDataStream in(record);
    zor::XVal v;
    if (!in.readVal(v)) {
        if (v.value() != nullptr) std::abort();  // the slot is unchanged on failure
        return 0;
    }
    (void)v.toString();
    QByteArray written;
    {
        zor::XDataStream out(&written, QIODevice::WriteOnly);
        if (!out.writeVal(v) && v.getType() != zor::XTypeSet::str_XLink) std::abort();
    }
    zor::XDataStream again(written);
    zor::XVal w;
    if (!again.readVal(w)) std::abort();
    QByteArray rewritten;
    {
        zor::XDataStream out(&rewritten, QIODevice::WriteOnly);
        out.writeVal(w);
    }
    // Links inside a lone value have no document to resolve in: they keep their urls, so the
    // second writing equals the first.
    if (rewritten != written) std::abort();
    return 0;
}
