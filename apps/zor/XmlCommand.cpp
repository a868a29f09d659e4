// zor xml: loads an XML file through the library's loader (includes and $(NAME) resolved), prints a
// one-line summary, and optionally a query's result, the tree written back, and the verdict of the
// type schema kept in the file. --standard true reads (and writes) standard XML instead of the
// library's subset: CDATA, entities and character references, the declared encoding, a DOCTYPE. A malformed file ends with the library's XML exit code and the
// place where the scanner stopped.
#include "Commands.h"

#include <zor/core.h>

#include <unistd.h>
#include <QElapsedTimer>
#include <cstdio>

namespace zorapp {

using namespace zor;

namespace {

// Files at least this long show their progress on a terminal.
constexpr long long kProgressFrom = 4 * 1000 * 1000;

// The value types the schema check accepts unless --known names others ("a,b,c").
QSet<QString> knownTypes(const CommandLine& cmd) {
    QString list = cmd.getString(QStringLiteral("known"));
    if (list.isEmpty())
        list = QStringLiteral(
            "string,bool,short,int,uint,long,ulong,float,double,enum,color,file,dir,path,"
            "point,size,rect,margins,userDefined");
    QSet<QString> set;
    for (const QString& t : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) set.insert(t.trimmed());
    return set;
}

unsigned int treeDepth(XNode& root) {
    unsigned int deepest = 0;
    root.iterateTree([&deepest](XNode*, unsigned int d) {
        deepest = std::max(deepest, d + 1);
        return true;
    });
    return deepest + 1;
}

}  // namespace

int runXml(const CommandLine& cmd) {
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    const QString in = cmd.getString(QStringLiteral("in"));
    if (in.isEmpty()) {
        logError("xml, missing argument --in (zor --help shows the usage)");
        return finish(EXIT_ZOR_ARGUMENT);
    }
    if (!fileExists(in)) {
        logError("xml, no such file '$'$", in, dirExists(in) ? " (it is a directory)" : "");
        return finish(EXIT_ZOR_FILE_NOT_FOUND);
    }
    const bool withTypes = cmd.isBool(QStringLiteral("types"), false);
    XGenericTypeCreator schemaCreator;
    XmlNodeCreator plainCreator;
    const XmlNodeCreator* creator = withTypes ? &schemaCreator : &plainCreator;

    // Without an application object the loader's reports run at once on this thread.
    XNode_Parse_Control ctl;
    const bool standard = cmd.isBool(QStringLiteral("standard"), false);
    ctl.standard = standard;
    const bool progress = isatty(STDERR_FILENO) && getFileLength(in) >= kProgressFrom;
    if (progress)
        ctl.listener.add([&in](XNode_Parse_Control& c) {
            std::fprintf(stderr, "\rzor: loading %s %3u %%", qPrintable(in), c.percent.load());
            std::fflush(stderr);
        });
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<XNode> root(XNode::parseFile(in, creator, &ctl));
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (progress) std::fprintf(stderr, "\r\033[K");
    if (!root) {
        const ZorSaxParser::Stop stop = ZorSaxParser::lastStop();
        Logger::quit();
        if (stop.isSet())
            std::fprintf(stderr, "zor: %s: line %d, column %d: malformed XML\n", qPrintable(stop.file), stop.line,
                         stop.column);
        else
            std::fprintf(stderr, "zor: %s: no XML element found\n", qPrintable(in));
        return EXIT_ZOR_XML;
    }
    std::printf("%s\n", qPrintable(xformat("'$': $ nodes, depth $, $ bytes, $ ms", in, root->sizeRecursive(true),
                                           treeDepth(*root), getFileLength(in), QString::number(ms, 'f', 1))));

    int rc = EXIT_ZOR_OK;
    if (cmd.hasKey(QStringLiteral("query"))) {
        const QString q = cmd.getString(QStringLiteral("query"));
        const XNode* found = root->query(q);
        if (found == nullptr) {
            logError("xml, query '$' finds nothing", q);
            rc = EXIT_ZOR_GENERAL_FAILURE;
        } else {
            std::printf("%s\n%s", qPrintable(found->getQuery()), qPrintable(found->allAsString(0)));
            if (!found->hasChildren()) std::printf("\n");
        }
    }
    if (cmd.hasKey(QStringLiteral("out"))) {
        const QString out = cmd.getString(QStringLiteral("out"));
        if (out.isEmpty() || dirExists(out) || !root->saveNodeToXml(out, QString(), standard)) {
            logError("xml, cannot write '$'", out);
            return finish(EXIT_ZOR_IO);
        }
        std::printf("written '%s' (%lld bytes)\n", qPrintable(out), getFileLength(out));
    }
    if (withTypes) {
        const XGenericTypes* types = root->getXGenericTypes();
        if (types == nullptr) return finish(EXIT_ZOR_XML);
        const bool description = types->checkDescription();
        const bool values = types->checkTypes(knownTypes(cmd));
        std::printf("%s: description %s, value types %s\n", qPrintable(types->toString()),
                    description ? "consistent" : "INCONSISTENT", values ? "known" : "UNKNOWN");
        if (!description || !values) rc = EXIT_ZOR_XML;
    }
    return finish(rc);
}

}  // namespace zorapp
