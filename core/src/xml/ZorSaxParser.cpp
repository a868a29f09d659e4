// The tree builder: scanner events to nodes, $(NAME) in attribute values, INCLUDE files.
#include "XmlLoading.h"

#include <zor/FatalChecks.h>
#include <zor/FileTools.h>
#include <zor/Logger.h>
#include <zor/TextTools.h>
#include <zor/XNode.h>
#include <zor/ZorSaxParser.h>

namespace zor {

namespace {

thread_local ZorSaxParser::Stop t_lastStop;

// Distinct names kept for sharing; a document with more keeps the rest unshared.
constexpr int kMaxInterned = 4096;

}  // namespace

QString getAbsPath(const QString& path, const QString& name) {
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString n = name;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (p.isEmpty()) return n;  // no file yet (a text in memory): relative to the working directory
    const QString dir = p.endsWith(QLatin1Char('/')) ? p : p.left(p.lastIndexOf(QLatin1Char('/')) + 1);
    if (dir.isEmpty()) return n;
    return dir.endsWith(QLatin1Char('/')) ? dir + n : dir + QLatin1Char('/') + n;
}

ZorSaxParser::ZorSaxParser(const XmlNodeCreator* creator)
    : nodeCreator(creator != nullptr ? creator : &m_defaultCreator) {}

ZorSaxParser::~ZorSaxParser() = default;

XNode* ZorSaxParser::takeRoot() {
    XNode* r = nRoot;
    nRoot = nullptr;
    nCurrent = nullptr;
    stackNodes.clear();
    return r;
}

const QString& ZorSaxParser::intern(const QString& name) {
    auto it = m_names.constFind(name);
    if (it != m_names.constEnd()) return *it;
    if (m_names.size() >= kMaxInterned) return name;
    // A copy of its own: the scanner reuses the buffer it hands out for the next name.
    return *m_names.insert(QString(name.constData(), name.size()));
}

ZorSaxParser::Stop ZorSaxParser::lastStop() { return t_lastStop; }
void ZorSaxParser::setLastStop(const Stop& stop) { t_lastStop = stop; }

void ZorSaxParser::inspectText(const QString& text, int depth) {
    const int index = depth - 1;
    if (index < 0) {
        logWarning("ZorSaxParser::inspectText, depth:$", index);
        return;
    }
    if (index >= static_cast<int>(stackNodes.size())) {
        logWarning("ZorSaxParser::inspectText, depth:$ > stackNodes.size():$", index, stackNodes.size());
        return;
    }
    stackNodes[static_cast<std::size_t>(index)]->setText(text.trimmed());
}

bool ZorSaxParser::inspectTypeAttribs(const QString& tag, const std::map<QString, QString>& attributes, int depth) {
    // The parent of an element at depth d is the open element at depth d - 1. A second top-level
    // element finds the stack emptied and goes under the element that was removed last.
    const std::size_t keep = depth > 1 ? static_cast<std::size_t>(depth - 1) : 0;
    XNode* lastRemoved = nullptr;
    while (stackNodes.size() > keep) {
        lastRemoved = stackNodes.back();
        stackNodes.pop_back();
    }
    if (!stackNodes.empty())
        nCurrent = stackNodes.back();
    else if (lastRemoved != nullptr)
        nCurrent = lastRemoved;

    if (tag == QLatin1String("INCLUDE")) return include(attributes);

    const QString& type = intern(tag);
    XNode* node = nodeCreator->create(type);
    stackNodes.push_back(node);
    if (nRoot == nullptr) {
        nRoot = node;
        node->setFile(m_file);
    }
    // The node has no name yet, so this never refuses it: equal names are kept as they were read.
    if (nCurrent != nullptr) nCurrent->addNode(node, false);
    nCurrent = node;
    for (const auto& kv : attributes) {
        if (kv.first.isEmpty()) {
            logError("ZorSaxParser::inspectTypeAttribs, ((($))), key == '' - problems", m_file);
            return false;
        }
        node->appendString(intern(kv.first), replaceEnv(kv.second, true));
    }
    return true;
}

bool ZorSaxParser::include(const std::map<QString, QString>& attributes) {
    if (!m_includes) {
        logDebug("ZorSaxParser::inspectTypeAttribs, includes are off, INCLUDE skipped");
        return true;
    }
    if (nCurrent == nullptr) {
        logWarning("ZorSaxParser::inspectTypeAttribs, INCLUDE outside of any element, skipped");
        return true;
    }
    const auto file = attributes.find(QStringLiteral("file"));
    const QString name = replaceEnv(file == attributes.end() ? QString() : file->second, true);
    const QString path = getAbsPath(nCurrent->root()->getFile(), name);
    if (name.isEmpty() || !fileExists(path)) {
        logDebug("XNode::inspectTypeAttribs, file '$' does not exist", path);
        return true;
    }
    if (xml_detail::isBeingLoaded(path)) {
        logError("ZorSaxParser::inspectTypeAttribs, INCLUDE '$' leads back to a file being loaded, skipped", path);
        return true;
    }
    XNode* included = XNode::parseFile(path, nodeCreator, nullptr);
    if (included == nullptr) return true;
    const auto flag = attributes.find(QStringLiteral("includeRoot"));
    const bool keepRoot = flag == attributes.end() || flag->second == QLatin1String("true") ||
                          flag->second == QLatin1String("1") || flag->second == QLatin1String("True");
    if (keepRoot) {
        if (!nCurrent->addNode(included, false)) delete included;
        return true;
    }
    if (nCurrent == nullptr)
        nullPointerHandling("libSrc/core/src/tools/xml/XNode_parse", __LINE__, QStringLiteral("nCurrent == NULL"));
    XNode::moveChildren(nCurrent, included);
    delete included;
    return true;
}

}  // namespace zor
