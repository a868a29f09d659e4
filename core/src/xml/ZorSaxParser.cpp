// The tree builder: scanner events to nodes, $(NAME) in attribute values, INCLUDE files.
#include "XmlLoading.h"
#include "XmlStringPool.h"

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
constexpr std::size_t kMaxNames = 4096;
// Distinct values and texts kept for sharing, and the longest one looked up.
constexpr std::size_t kMaxValues = 1 << 14;
constexpr std::ptrdiff_t kMaxSharedLength = 64;
// A name's values stop being looked up when, after the first 1024 of them, fewer than one in 32
// was found, or after 16384 fewer than one in eight: values that repeat that seldom cost more to
// look up than to make.
constexpr std::uint32_t kFirstJudgement = 1024;
constexpr std::uint32_t kSecondJudgement = 16384;

bool hasDollar(const QChar* b, const QChar* e) {
    for (; b < e; ++b)
        if (b->unicode() == '$') return true;
    return false;
}

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
    : nodeCreator(creator != nullptr ? creator : &m_defaultCreator),
      m_names(std::make_unique<xml_detail::StringPool>(kMaxNames)),
      m_values(std::make_unique<xml_detail::StringPool>(kMaxValues)) {}

ZorSaxParser::~ZorSaxParser() = default;

XNode* ZorSaxParser::takeRoot() {
    XNode* r = nRoot;
    nRoot = nullptr;
    nCurrent = nullptr;
    stackNodes.clear();
    return r;
}

QString ZorSaxParser::valueOf(xml_detail::PoolEntry* name, const QChar* b, const QChar* e) {
    if (name != nullptr && name->share && e - b <= kMaxSharedLength) {
        const xml_detail::StringPool::Hit v = m_values->get(b, static_cast<std::size_t>(e - b));
        if (v.wasThere) ++name->found;
        ++name->lookups;
        if ((name->lookups == kFirstJudgement && name->found * 32 < name->lookups) ||
            (name->lookups == kSecondJudgement && name->found * 8 < name->lookups))
            name->share = false;
        if (v.text != nullptr) return *v.text;
    }
    return QString(b, static_cast<int>(e - b));
}

ZorSaxParser::Stop ZorSaxParser::lastStop() { return t_lastStop; }
void ZorSaxParser::setLastStop(const Stop& stop) { t_lastStop = stop; }

void ZorSaxParser::inspectText(const QString& text, int depth) {
    const QString t = text.trimmed();
    m_lastTag = nullptr;  // no sharing statistics for a text that comes from elsewhere
    inspectTextRange(t.constData(), t.constData() + t.size(), depth);
}

void ZorSaxParser::inspectTextRange(const QChar* text, const QChar* textEnd, int depth) {
    const int index = depth - 1;
    if (index < 0) {
        logWarning("ZorSaxParser::inspectText, depth:$", index);
        return;
    }
    if (index >= static_cast<int>(stackNodes.size())) {
        logWarning("ZorSaxParser::inspectText, depth:$ > stackNodes.size():$", index, stackNodes.size());
        return;
    }
    // The scanner hands on the first text of the element it started last.
    xml_detail::PoolEntry* tag = index + 1 == static_cast<int>(stackNodes.size()) ? m_lastTag : nullptr;
    stackNodes[static_cast<std::size_t>(index)]->setText(valueOf(tag, text, textEnd));
}

bool ZorSaxParser::inspectTypeAttribs(const QString& tag, const std::map<QString, QString>& attributes, int depth) {
    std::vector<AttributeRange> ranges;
    ranges.reserve(attributes.size());
    for (const auto& kv : attributes)
        ranges.push_back({kv.first.constData(), kv.first.constData() + kv.first.size(), kv.second.constData(),
                          kv.second.constData() + kv.second.size()});
    return inspectStartTag(tag.constData(), tag.constData() + tag.size(), ranges.data(), ranges.size(), depth);
}

bool ZorSaxParser::inspectStartTag(const QChar* name, const QChar* nameEnd, const AttributeRange* attributes,
                                   std::size_t count, int depth) {
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

    const std::size_t nameLength = static_cast<std::size_t>(nameEnd - name);
    const xml_detail::StringPool::Hit tag = m_names->get(name, nameLength);
    m_lastTag = tag.entry;
    const QString type = tag.text != nullptr ? *tag.text : QString(name, static_cast<int>(nameLength));
    if (type == QLatin1String("INCLUDE")) {
        std::map<QString, QString> map;
        for (std::size_t i = 0; i < count; ++i) {
            const AttributeRange& a = attributes[i];
            map.emplace(QString(a.key, static_cast<int>(a.keyEnd - a.key)),
                        QString(a.value, static_cast<int>(a.valueEnd - a.value)));
        }
        m_lastTag = nullptr;
        return include(map);
    }

    XNode* node = nodeCreator->create(type);
    stackNodes.push_back(node);
    if (nRoot == nullptr) {
        nRoot = node;
        node->setFile(m_file);
    }
    // The node has no name yet, so this never refuses it: equal names are kept as they were read.
    if (nCurrent != nullptr) nCurrent->addNode(node, false);
    nCurrent = node;
    // Keys arrive sorted and distinct: each one goes to the end of the node's map.
    for (std::size_t i = 0; i < count; ++i) {
        const AttributeRange& a = attributes[i];
        if (a.key == a.keyEnd) {
            logError("ZorSaxParser::inspectTypeAttribs, ((($))), key == '' - problems", m_file);
            return false;
        }
        const xml_detail::StringPool::Hit key = m_names->get(a.key, static_cast<std::size_t>(a.keyEnd - a.key));
        const QString k = key.text != nullptr ? *key.text : QString(a.key, static_cast<int>(a.keyEnd - a.key));
        if (hasDollar(a.value, a.valueEnd))
            node->appendString(k, replaceEnv(QString(a.value, static_cast<int>(a.valueEnd - a.value)), true));
        else
            node->appendString(k, valueOf(key.entry, a.value, a.valueEnd));
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
