// Writing a tree as XML text (to a string, bytes, a memory block or a file) and the file paths kept
// relative to the tree's own file. The writer escapes nothing, as the loader decodes nothing; what
// the loader could not read back is reported once per attribute or text instead of being changed.
#include <zor/FileTools.h>
#include <zor/FileWriter.h>
#include <zor/Logger.h>
#include <zor/XMem.h>
#include <zor/XNode.h>
#include <zor/XStringStream.h>

#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace zor {

namespace {

// Keys and values together, after which further attributes go on a new line.
constexpr int kLineBreakAfter = 141;
// Indentation stops growing after 32 levels: the text of a very deep tree stays linear in its size
// (the loader ignores the blanks either way).
constexpr int kMaxIndent = 128;

void appendSpaces(QString& out, int n) {
    n = std::min(n, kMaxIndent);
    if (n <= 0) return;
    const int at = out.size();
    out.resize(at + n);
    QChar* d = out.data() + at;
    for (int i = 0; i < n; ++i) d[i] = QLatin1Char(' ');
}

// A quote of either kind ends a value when it is read back, and a '>' ends the whole tag.
void warnUnreadable(const XNode& n, const QString& key, const QString& value) {
    for (const QChar c : value) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('>')) {
            logWarning("XNode::saveNode, <$> attribute '$' holds a '$' and cannot be read back as written", n.getType(),
                       key, c);
            return;
        }
    }
}

void openTag(QString& out, const XNode& n, int indent) {
    appendSpaces(out, indent);
    out += QLatin1Char('<');
    out += n.getType();
    if (!n.hasAttributes()) return;
    out += QLatin1Char(' ');
    const auto& attrs = n.getAttributes();
    int running = 0;
    std::size_t left = attrs.size();
    for (const auto& kv : attrs) {
        warnUnreadable(n, kv.first, kv.second);
        out += kv.first;
        out += QLatin1String("=\"");
        out += kv.second;
        out += QLatin1String("\" ");
        running += kv.first.size() + kv.second.size();
        if (--left != 0 && running >= kLineBreakAfter) {
            out += QLatin1Char('\n');
            appendSpaces(out, indent + 8);
            running = 0;
        }
    }
}

void endTag(QString& out, const XNode& n) {
    out += QLatin1String("</");
    out += n.getType();
    out += QLatin1Char('>');
}

void writeText(QString& out, const XNode& n) {
    if (n.getText().contains(QLatin1Char('<')))
        logWarning("XNode::saveNode, <$> text holds a '<' and cannot be read back as written", n.getType());
    out += n.getText();
}

// The whole subtree, pre-order with an explicit stack; an entry with close set writes the end tag
// of a node whose children are done.
void writeTree(QString& out, const XNode& node, int indent) {
    struct Step {
        const XNode* node;
        int indent;
        bool close;
    };
    std::vector<Step> todo{{&node, indent, false}};
    while (!todo.empty()) {
        const Step s = todo.back();
        todo.pop_back();
        const XNode& n = *s.node;
        if (s.close) {
            appendSpaces(out, s.indent);
            endTag(out, n);
            out += QLatin1Char('\n');
            continue;
        }
        openTag(out, n, s.indent);
        if (!n.hasChildren()) {
            if (n.hasText()) {
                out += QLatin1Char('>');
                writeText(out, n);
                endTag(out, n);
            } else if (XNode::atomicWriteFullEmptyTags && !n.hasAttributes()) {
                out += QLatin1Char('>');
                endTag(out, n);
            } else {
                out += QLatin1String("/>\n");
            }
            continue;
        }
        out += QLatin1String(">\n");
        if (n.hasText()) writeText(out, n);
        todo.push_back({&n, s.indent, true});
        const auto& kids = n.children();
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) todo.push_back({*it, s.indent + 4, false});
    }
}

}  // namespace

void XNode::appendToStream(XStringStream& out, const XNode& node, int indent) {
    QString text;
    writeTree(text, node, indent);
    out << text;
}

QString XNode::allAsString(unsigned int indent) const {
    QString text;
    writeTree(text, *this, static_cast<int>(indent));
    return text;
}

QString XNode::saveNodeToString(const XNode& node, const QString&) { return node.allAsString(0); }

void XNode::saveNodeToQByteArray(const XNode& node, QByteArray& out) { out += node.allAsString(0).toLatin1(); }

void XNode::saveNodeToXMem(const XNode& node, XMem& mem, unsigned int size) {
    const QString text = node.allAsString(0);
    if (size != 0 && size > static_cast<unsigned int>(text.size())) {
        const QByteArray bytes = text.toLatin1();
        if (mem.reAlloc(size, 0)) std::memcpy(mem.mem(), bytes.constData(), static_cast<std::size_t>(bytes.size()));
    } else {
        mem.setString(text);
    }
}

bool XNode::saveNodeToXml(const QString& path, const QString& comment) const {
    if (atomicFlagDebug) logDebug("XNode::saveNodeToXml, path '$'", path);
    // Made absolute first: the directory maker needs a separator to find the parent directories.
    const QString file = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
    if (!mkDirPath(file, false)) {
        logError("XNode::saveNodeToXml, cannot mkDirPath path for file '$'", path);
        return false;
    }
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n");
    if (!comment.isEmpty()) text += QStringLiteral("<!--\n") + comment + QStringLiteral("\n-->\n\n");
    writeTree(text, *this, 0);
    FileWriter w;
    if (!w.open(file)) {
        logError("XNode::saveNodeToXml, cannot write file '$'", path);
        return false;
    }
    const QByteArray bytes = text.toUtf8();
    const bool ok = w.write(bytes) == static_cast<std::size_t>(bytes.size()) && w.flushAndClose();
    if (!ok) logError("XNode::saveNodeToXml, cannot write file '$'", path);
    return ok;
}

QString XNode::pathResource(const QString& key, const QString& def) const {
    const QString stored = getString(key, QString());
    if (stored.isEmpty()) return def;
    const QString abs = QDir::cleanPath(getDir().absoluteFilePath(stored));
    return QFileInfo::exists(abs) || def.isEmpty() ? abs : def;
}

void XNode::setPathResource(const QString& key, const QString& path, bool force) {
    const QString rel = getDir().relativeFilePath(path);
    if (rel.contains(QLatin1String("..")) && !force) return;
    setString(key, rel);
}

}  // namespace zor
