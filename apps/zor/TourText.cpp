// The tour's text section: Qt values in their log-line forms, a byte list and back, path parts,
// and the registered checks of "zor test".
#include "Commands.h"

#include <zor/core.h>

#include <QLineF>

namespace zorapp {

using namespace zor;

void tourText() {
    logInfo("==== Qt values as log lines show them, paths taken apart, zor's registered checks");
    logInfo("Tour::text, rect $ (far corner $), point $, size $", qt::toString(QRect(1, 2, 3, 4)),
            qt::to_string_rect_as_coord(QRect(1, 2, 3, 4)), qt::toString(QPointF(0.5, 2)), qt::toString(QSize(640, 480)));
    logInfo("Tour::text, date $, variant $ of type $", qt::toString(QDateTime(QDate(2021, 3, 1), QTime(8, 5, 3, 250)), true),
            qt::toString(QVariant(QLineF(0, 0, 3, 4))), qt::variantTypeAsString(QVariant(QLineF())));
    const QString bytes = qt::asString(QByteArray("\x00\x7f\xff", 3));
    logInfo("Tour::text, bytes '$' read back to $ bytes", bytes, qt::fromString(bytes).size());
    logInfo("Tour::text, directory of '/a/b/c.txt' is '$', 'C:' is a drive: $, $ and $", getDirPath(QStringLiteral("/a/b/c.txt")),
            is_drive_path(QStringLiteral("C:")), formatFloat(0.0f), formatFloat(-1.5f));
    for (const TestContext* t : TestContextAdder::getTestsByFilter(QStringLiteral("round")))
        logInfo("Tour::text, zor test $", t->toString());
}

}  // namespace zorapp
