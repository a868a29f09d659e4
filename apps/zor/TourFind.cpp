// The tour's content-search section: one query over a small text in memory, per file, per
// paragraph and per sentence, with the marks as byte ranges.
#include "Commands.h"

#include <zor/core.h>

namespace zorapp {

using namespace zor;
using namespace zor::find;

void tourFind() {
    logInfo("==== content search");
    XMem text(QByteArray("The disk is full. No alarm came.\nA warning: the disk is fine.\n"));
    XLineReaderDA reader(text, 4096, true);
    XContentFilter filter(QStringLiteral("disk & ~warning"), false);
    for (auto scope : {XContentFilter::File, XContentFilter::Paragraph, XContentFilter::Sentence}) {
        filter.setScope(scope);
        QString marks;
        for (const XRam& m : filter.find(0, reader)) marks += QLatin1Char(' ') + m.asShortForm();
        logInfo("Tour::find, '$' per $:$", filter.source(), filter.scope_as_string(), marks.isEmpty() ? QStringLiteral(" nothing") : marks);
    }
    XContentFilter bad;
    bad.createSymbols(QStringLiteral("(disk | full"), false);  // logs the syntax check's text
}

}  // namespace zorapp
