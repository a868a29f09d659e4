// The tour's XML section: a small document with an include, written to a temporary folder, loaded
// with $(NAME) replaced, queried by path and written back.
#include "Commands.h"

#include <zor/core.h>

#include <QFile>
#include <QTemporaryDir>

namespace zorapp {

using namespace zor;

namespace {

void writeText(const QString& path, const char* text) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(text);
}

}  // namespace

void tourXml() {
    logInfo("==== an XML tree: include, $(NAME), query, writer");
    QTemporaryDir dir;
    if (!dir.isValid()) {
        logWarning("Tour::xml, no temporary folder, section skipped");
        return;
    }
    setEnv(QStringLiteral("ZOR_TOUR_DATA"), dir.path());
    writeText(dir.filePath("screens.xml"),
              "<screens>\n"
              "  <screen name=\"left\" size=\"1920,1080\"/>\n"
              "  <screen name=\"right\" size=\"2560,1440\"/>\n"
              "</screens>\n");
    writeText(dir.filePath("app.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
              "<app name=\"tour\" data=\"$(ZOR_TOUR_DATA)/cache\">\n"
              "  <window name=\"main\" title=\"zor tour\">Hello</window>\n"
              "  <INCLUDE file=\"screens.xml\"/>\n"
              "</app>\n");
    std::unique_ptr<XNode> root(XNode::parseFile(dir.filePath("app.xml"), nullptr, nullptr));
    if (!root) return;
    logInfo("Tour::xml, loaded $ nodes; data='$'", root->sizeRecursive(true), root->getString("data", ""));
    const XNode* right = root->query("/app/screens/screen@right");
    logInfo("Tour::xml, query '/app/screens/screen@right': size $", right ? right->getString("size", "") : "none");
    logInfo("Tour::xml, query 'window@main' text '$', query 'nothing/here' gives $",
            root->query("window@main")->getText(), root->query("nothing/here") == nullptr ? "null" : "a node");
    logInfo("Tour::xml, written back:\n$", root->allAsString(0));
}

}  // namespace zorapp
