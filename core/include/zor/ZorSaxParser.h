#pragma once
/// \zclass{ZorSaxParser,xml} The tree builder. It turns the scanner's events into an XNode tree: each element
/// becomes a node made by the XmlNodeCreator (a plain XNode with the default), children hang under
/// the open element one level up, attribute values get their $(NAME) references replaced from the
/// environment, and an INCLUDE element loads another file in its place:
/// \code
///   <INCLUDE file="parts/more.xml"/>                       the included root becomes a child
///   <INCLUDE file="$(CONF)/more.xml" includeRoot="false"/> its children are spliced in instead
/// \endcode
/// The file is looked up beside the file of the tree being built. A file that is not there, fails to
/// load, or is already being loaded on this thread (an include cycle) is skipped with one log line.
/// Includes can be switched off (setIncludes), for texts from untrusted places.
///
/// Most callers use XNode::parseFile / parseString, which drive this class. Ownership: the tree
/// belongs to the caller (takeRoot, or root() and delete it); the parser never deletes it. One
/// object builds one tree once, on one thread; the creator must outlive it.
#include <zor/SaxParser.h>
#include <zor/XmlNodeCreator.h>
#include <zor/zor_export.h>

#include <QString>
#include <map>
#include <memory>
#include <vector>

namespace zor {

class XNode;
namespace xml_detail {
class StringPool;
struct PoolEntry;
}  // namespace xml_detail

class ZOR_EXPORT ZorSaxParser : public SaxParser {
public:
    /// Where a failed load stopped: the file (as it was named to the loader, ":MEMORY" for a text)
    /// and the 1-based line and column.
    struct Stop {
        QString file;
        int line = 0;
        int column = 0;
        bool isSet() const { return line > 0; }
    };

    explicit ZorSaxParser(const XmlNodeCreator* creator = nullptr);  ///< null: plain nodes
    ~ZorSaxParser() override;

    void setIncludes(bool on) { m_includes = on; }
    bool includes() const { return m_includes; }

    XNode* root() const { return nRoot; }
    XNode* takeRoot();  ///< the tree, now the caller's; the parser forgets it

    void inspectText(const QString& text, int depth) override;
    bool inspectTypeAttribs(const QString& tag, const std::map<QString, QString>& attributes, int depth) override;

    /// The stop of the last failed load on this thread (none after a load that succeeded).
    static Stop lastStop();
    static void setLastStop(const Stop& stop);

protected:
    /// The scanner's ranges go straight into the nodes, without a tag string or map in between.
    bool inspectStartTag(const QChar* name, const QChar* nameEnd, const AttributeRange* attributes, std::size_t count,
                         int depth) override;
    void inspectTextRange(const QChar* text, const QChar* textEnd, int depth) override;

private:
    bool include(const std::map<QString, QString>& attributes);
    // The value of a range, shared with earlier equal values of the same name where they repeat.
    QString valueOf(xml_detail::PoolEntry* name, const QChar* b, const QChar* e);

    XNode* nRoot = nullptr;
    XNode* nCurrent = nullptr;
    std::vector<XNode*> stackNodes;
    const XmlNodeCreator* nodeCreator;
    XmlNodeCreator m_defaultCreator;
    bool m_includes = true;
    // Names (tags and keys) and repeated values, shared by the nodes instead of each holding its
    // own copy; the tag of the element started last, whose text may follow.
    std::unique_ptr<xml_detail::StringPool> m_names;
    std::unique_ptr<xml_detail::StringPool> m_values;
    xml_detail::PoolEntry* m_lastTag = nullptr;
};

}  // namespace zor
