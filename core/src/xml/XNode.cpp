// The node tree itself: ownership, children, lookups, identity, navigation, digests and display.
// Every walk over a whole subtree keeps its own stack on the heap, so that trees loaded from
// outside input (which may nest arbitrarily deep) never exhaust the machine stack.
#include <zor/Base64.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/Tokenizer.h>
#include <zor/XNode.h>
#include <zor/XmlNodeCreator.h>
#include <zor/xformat.h>

#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <set>

namespace zor {

namespace {

const char* const kSource = "libSrc/core/src/tools/xml/XNode";

const QString kName = QStringLiteral("name");
const QString kNid = QStringLiteral("NID");
const QString kPointer = QStringLiteral("_pointer");

// The short name of a class: everything up to the last blank, colon or tab removed.
QString shortClassName(const QString& full) {
    int cut = -1;
    for (int i = 0; i < full.size(); ++i) {
        const QChar c = full.at(i);
        if (c == QLatin1Char(' ') || c == QLatin1Char(':') || c == QLatin1Char('\t')) cut = i;
    }
    return full.mid(cut + 1);
}

// The type of a node constructed directly, made once (every loaded element passes here).
const QString& plainType() {
    static const QString type = shortClassName(QStringLiteral("zor::XNode"));
    return type;
}

QString showValue(const QString& key, const QString& value) {
    return key.endsWith(QLatin1String("64")) ? base64_decode(value) : value;
}

}  // namespace

XAtomic<bool> XNode::atomicFlagDebug{false};
XAtomic<bool> XNode::atomicWriteFullEmptyTags{false};

void CHECK_NODE(const QString&, XNode* node, const QString&) {
    if (node != nullptr) return;
    Logger::quit();
    QThread::msleep(200);
    std::exit(1);
}

// ---- construction and destruction

XNode::XNode() : m_type(plainType()) {
    if (atomicFlagDebug) logTest("XNode::XNode()");
}

XNode::~XNode() {
    if (atomicFlagDebug) logTest("XNode::~XNode()");
    // Each node's children are taken out of it before it is deleted, so no destructor ever
    // descends: the subtree is freed from this one list.
    std::vector<XNode*> pending;
    pending.swap(m_children);
    while (!pending.empty()) {
        XNode* n = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), n->m_children.begin(), n->m_children.end());
        n->m_children.clear();
        delete n;
    }
}

XNode* XNode::createRoot(const QString& type, const QString& name, XmlNodeCreator* creator) {
    XNode* n = creator != nullptr ? creator->create(type) : XmlNodeCreator().create(type);
    n->setType(type);
    if (!name.isEmpty()) n->setName(name);
    return n;
}

XNode* XNode::createNode(const QString& type, const QString& name, XmlNodeCreator* creator) {
    if (type.isEmpty()) {
        logDebug("XNode::createNode - type == '' not allowed, return nullptr");
        return nullptr;
    }
    if (!name.isEmpty() && containsNode_Type_Name(type, name)) {
        logDebug("XNode::createNode - name must be unique, return nullptr");
        return nullptr;
    }
    XNode* n = createRoot(type, name, creator);
    addNode(n, false);
    return n;
}

XNode* XNode::getCreateNode(const QString& type, const QString& name, XmlNodeCreator* creator) {
    const QString q = name.isEmpty() ? type : type + QLatin1Char('@') + name;
    if (XNode* found = query(q)) return found;
    return createNode(type, name, creator);
}

XNode* XNode::deepCopy(const XmlNodeCreator* creator) const {
    const XmlNodeCreator fallback;
    const XmlNodeCreator& c = creator != nullptr ? *creator : fallback;
    auto fill = [](const XNode* src, XNode* n) {
        src->copyAttributesTo(n);
        if (!src->m_text.isEmpty()) n->m_text = src->m_text;
    };
    XNode* top = c.create(m_type);
    top->setType(m_type);
    fill(this, top);
    // (source, copy) pairs whose children are still to be copied.
    std::vector<std::pair<const XNode*, XNode*>> work{{this, top}};
    while (!work.empty()) {
        const auto [src, dst] = work.back();
        work.pop_back();
        for (const XNode* child : src->m_children) {
            // Appended before it gets its name, as the loader does: a tree holding equal names
            // (which the loader accepts) is copied whole.
            XNode* copy = c.create(child->m_type);
            copy->setType(child->m_type);
            dst->appendUnchecked(copy);
            fill(child, copy);
            if (child->hasChildren()) work.emplace_back(child, copy);
        }
    }
    top->m_file = m_file;
    return top;
}

void XNode::moveAttributes(XNode* dest, XNode* src) {
    if (dest == nullptr || src == nullptr || dest == src) return;
    dest->XRecord::clear();
    std::swap(static_cast<XRecord&>(*dest), static_cast<XRecord&>(*src));
}

void XNode::moveChildren(XNode* dest, XNode* src) {
    if (dest == nullptr || src == nullptr || dest == src) return;
    std::vector<XNode*> moving;
    moving.swap(src->m_children);
    for (XNode* child : moving) {
        if (!dest->addNode(child, true)) {
            logWarning("XNode::moveChildren, child <$> refused, deleted", child->m_type);
            delete child;
        }
    }
}

// ---- children

void XNode::appendUnchecked(XNode* node) {
    m_children.push_back(node);
    node->m_parent = this;
}

bool XNode::addNode(XNode* node, bool checkContained) {
    if (node == nullptr) nullPointerHandling(kSource, __LINE__, QStringLiteral("node == NULL"));
    if (node->hasName() && containsNode_Type_Name(node->m_type, node->getName())) {
        logError("XNode::addNode, nodes name must be unique, name is '$'", node->getName());
        return false;
    }
    if (checkContained && containsNode(node)) {
        logError("XNode::addNode, node already inside container !");
        return false;
    }
    appendUnchecked(node);
    return true;
}

void XNode::addNodes(const std::vector<XNode*>& nodes) {
    for (XNode* node : nodes) {
        if (node == nullptr) nullPointerHandling(kSource, __LINE__, QStringLiteral("node == NULL"));
        if (node->hasName() && containsNode_Type_Name(node->m_type, node->getName())) {
            logError("XNode::addNode, nodes name must be unique, name is '$'", node->getName());
            continue;
        }
        appendUnchecked(node);
    }
}

void XNode::insertNodeAt(XNode* node, int index) {
    if (node == nullptr) {
        logError("XNode::insertNodeAt - node == nullptr");
        return;
    }
    if (!checkRangeWithinChildren(index)) {
        logError("XNode::insertNodeAt - index:$ not valid - must be >= 0 && <= $", index,
                 static_cast<int>(m_children.size()) - 1);
        return;
    }
    if (containsNode(node)) {
        logError("XNode::insertNodeAt - node already inside !");
        return;
    }
    m_children.insert(m_children.begin() + index, node);
    node->m_parent = this;
}

void XNode::setNodeAt(XNode* node, int index) {
    if (node == nullptr) {
        logError("XNode::setNodeAt - node == nullptr");
        return;
    }
    if (!checkRangeWithinChildren(index)) {
        logError("XNode::setNodeAt - index:$ not valid - must be >= 0 && <= $", index,
                 static_cast<int>(m_children.size()) - 1);
        return;
    }
    m_children[static_cast<std::size_t>(index)] = node;
    node->m_parent = this;
}

bool XNode::removeAt(int index, bool deleteIt) {
    if (!checkRangeWithinChildren(index)) {
        logError("XNode::removeAt, index:$ out of range 0-$", index, static_cast<int>(m_children.size()) - 1);
        return false;
    }
    XNode* n = m_children[static_cast<std::size_t>(index)];
    m_children.erase(m_children.begin() + index);
    if (deleteIt) delete n;
    return true;
}

bool XNode::removeNode(const XNode* node, bool deleteIt) {
    if (node == nullptr) nullPointerHandling(kSource, __LINE__, QStringLiteral("node == NULL"));
    const int i = indexOf(node);
    return i >= 0 && removeAt(i, deleteIt);
}

void XNode::removeNodes(const std::vector<XNode*>& nodes, bool deleteIt) {
    for (XNode* n : nodes) {
        if (n == nullptr) {
            logWarning("XNode::removeNodes - n == nullptr");
            continue;
        }
        const int i = indexOf(n);
        if (i < 0) {
            logWarning("XNode::removeNodes - does not contain node");
            continue;
        }
        m_children.erase(m_children.begin() + i);
        if (deleteIt) delete n;
    }
}

void XNode::deleteChildren() {
    std::vector<XNode*> old;
    old.swap(m_children);
    for (XNode* n : old) delete n;
    clear();
}

void XNode::clear() { m_children.clear(); }

XNode* XNode::nodeAt(unsigned int index) { return const_cast<XNode*>(static_cast<const XNode*>(this)->nodeAt(index)); }

const XNode* XNode::nodeAt(unsigned int index) const {
    if (index >= m_children.size()) {
        logDebug("XNode::nodeAt, $ out of range 0-$", index, countChildren());
        return nullptr;
    }
    return m_children[index];
}

bool XNode::swap(XNode* a, XNode* b) {
    const int ia = indexOf(a);
    const int ib = indexOf(b);
    if (ia < 0 || ib < 0) return false;
    std::swap(m_children[static_cast<std::size_t>(ia)], m_children[static_cast<std::size_t>(ib)]);
    return true;
}

XNode* XNode::moveWithinStack(XNode* child, STACKING how) {
    if (m_children.size() < 2) return nullptr;
    if (child == nullptr) nullPointerHandling(kSource, __LINE__, QStringLiteral("nChild == NULL"));
    const int i = indexOf(child);
    if (i < 0) return nullptr;
    switch (how) {
        case STACK_PREVIOUS:
        case STACK_NEXT: {
            const int j = how == STACK_PREVIOUS ? i - 1 : i + 1;
            if (!checkRangeWithinChildren(j)) return nullptr;
            XNode* neighbour = m_children[static_cast<std::size_t>(j)];
            setNodeAt(neighbour, i);
            setNodeAt(child, j);
            return neighbour;
        }
        case STACK_FIRST:
            removeAt(i, false);
            if (m_children.empty())
                appendUnchecked(child);
            else
                insertNodeAt(child, 0);
            return nullptr;
        case STACK_LAST:
            removeNode(child, false);
            addNode(child, false);
            return nullptr;
    }
    return nullptr;
}

const XNode* XNode::nodeAfter(const XNode* child, bool sameType) const {
    if (child == nullptr) nullPointerHandling(kSource, __LINE__, QStringLiteral("nChild == NULL"));
    const int i = indexOf(child);
    if (i < 0) return nullptr;
    for (std::size_t k = static_cast<std::size_t>(i) + 1; k < m_children.size(); ++k)
        if (!sameType || m_children[k]->m_type == child->m_type) return m_children[k];
    return nullptr;
}

XNode* XNode::nodeAfter(XNode* child, bool sameType) {
    return const_cast<XNode*>(static_cast<const XNode*>(this)->nodeAfter(static_cast<const XNode*>(child), sameType));
}

const XNode* XNode::nodeBefore(const XNode* child, bool sameType) const {
    if (child == nullptr) nullPointerHandling(kSource, __LINE__, QStringLiteral("nChild == NULL"));
    for (int k = indexOf(child) - 1; k >= 0; --k) {
        const XNode* n = m_children[static_cast<std::size_t>(k)];
        if (!sameType || n->m_type == child->m_type) return n;
    }
    return nullptr;
}

XNode* XNode::nodeBefore(XNode* child, bool sameType) {
    return const_cast<XNode*>(static_cast<const XNode*>(this)->nodeBefore(static_cast<const XNode*>(child), sameType));
}

// ---- lookup

bool XNode::_contains(const std::vector<XNode*>& nodes, const XNode* node) { return _indexOf(nodes, node) >= 0; }

int XNode::_indexOf(const std::vector<XNode*>& nodes, const XNode* node) {
    const auto it = std::find(nodes.begin(), nodes.end(), node);
    return it == nodes.end() ? -1 : static_cast<int>(it - nodes.begin());
}

bool XNode::containsNode(const XNode* node) const { return _contains(m_children, node); }
int XNode::indexOf(const XNode* node) const { return _indexOf(m_children, node); }

bool XNode::containsNodeRecursive(const XNode* node) const {
    std::vector<const XNode*> todo{this};
    while (!todo.empty()) {
        const XNode* n = todo.back();
        todo.pop_back();
        for (const XNode* c : n->m_children) {
            if (c == node) return true;
            if (c->hasChildren()) todo.push_back(c);
        }
    }
    return false;
}

bool XNode::hasChildWithName(const QString& name) const {
    return std::any_of(m_children.begin(), m_children.end(), [&](const XNode* c) { return c->isName(name); });
}

bool XNode::containsNode_Type_Name(const QString& type, const QString& name) const {
    return std::any_of(m_children.begin(), m_children.end(),
                       [&](const XNode* c) { return c->m_type == type && c->isName(name); });
}

std::vector<XNode*> XNode::getTypedChildren(const QString& type) const {
    std::vector<XNode*> out;
    for (XNode* c : m_children)
        if (c->m_type == type) out.push_back(c);
    return out;
}

unsigned int XNode::getCountTypedChildren(const QString& type) const {
    return static_cast<unsigned int>(
        std::count_if(m_children.begin(), m_children.end(), [&](const XNode* c) { return c->m_type == type; }));
}

bool XNode::getChildrenAttribute(const QString& key, std::vector<QString>& out) const {
    bool found = false;
    for (const XNode* c : m_children) {
        if (!c->hasKey(key)) continue;
        out.push_back(c->getString(key, QString()));
        found = true;
    }
    return found;
}

int XNode::indexOfParent() const { return m_parent == nullptr ? -1 : m_parent->indexOf(this); }

int XNode::childNumber() const { return std::max(0, indexOfParent()); }

// ---- identity

bool XNode::isTypeName(const QString& s) const {
    if (!s.contains(QLatin1Char('@'))) return m_type == s;
    Tokenizer toks(s, QStringLiteral("@"));
    if (toks.size() != 2) {
        logDebug("XNode::isTypeName, toks.size() != 2");
        return false;
    }
    const QString type = toks.nextToken();
    const QString name = toks.nextToken();
    return m_type == type && isName(name);
}

bool XNode::checkDuplicateNames() const {
    // One frame per open level: its node, the next child to look at and the keys met there.
    struct Frame {
        const XNode* node;
        std::size_t next;
        std::set<QString> keys;
    };
    std::vector<Frame> stack;
    stack.push_back({this, 0, {}});
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next >= f.node->m_children.size()) {
            stack.pop_back();
            continue;
        }
        const XNode* c = f.node->m_children[f.next++];
        if (c->hasName()) {
            const QString key = c->m_type + QLatin1Char('@') + c->getName();
            if (!f.keys.insert(key).second) {
                logWarning("XNode::checkDuplicateNames - '$' already exists !", key);
                return true;
            }
        }
        if (c->hasChildren()) stack.push_back({c, 0, {}});
    }
    return false;
}

QString XNode::createNextNumberString(const QString& s) {
    if (s.isEmpty()) return QStringLiteral("0");
    int start = s.size();
    while (start > 0 && s.at(start - 1).isDigit() && s.at(start - 1).unicode() < 128) --start;
    if (start == s.size()) return s + QLatin1Char('0');
    // Digits of any length: add one by hand so that long runs never overflow.
    QString digits = s.mid(start);
    int i = digits.size() - 1;
    while (i >= 0 && digits.at(i) == QLatin1Char('9')) digits[i--] = QLatin1Char('0');
    if (i < 0)
        digits.prepend(QLatin1Char('1'));
    else
        digits[i] = QChar(digits.at(i).unicode() + 1);
    return s.left(start) + digits;
}

QString XNode::createUniqueName(const QString& base) const {
    logDebug("XNode::createUniqueName, strBaseName:'$'", base);
    QString candidate = base;
    for (int i = 0; i < 1000000 && hasChildWithName(candidate); ++i) candidate = createNextNumberString(candidate);
    return candidate;
}

long long XNode::ID() const { return getLong(kNid, -1); }

bool XNode::setID(long long id) {
    if (m_parent != nullptr) {
        for (const XNode* sibling : m_parent->m_children) {
            if (sibling != this && sibling->isID(id)) {
                logWarning("XNode::setID, id:$ already present !", id);
                return false;
            }
        }
    }
    setLong(kNid, id);
    return true;
}

XNode* XNode::nodeFromID(long long id) const {
    for (XNode* c : m_children)
        if (c->isID(id)) return c;
    return nullptr;
}

unsigned int XNode::nodesFromIDs(std::vector<XNode*>& out) const {
    unsigned int n = 0;
    for (XNode* c : m_children) {
        if (!c->hasID()) continue;
        out.push_back(c);
        ++n;
    }
    return n;
}

std::vector<XNode*> XNode::nodesFromIDs() const {
    std::vector<XNode*> out;
    nodesFromIDs(out);
    return out;
}

void XNode::set_pointer(const void* p) {
    if (p == nullptr)
        removeAttrib(kPointer);
    else
        setULong(kPointer, static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(p)));
}

void* XNode::pointer() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(getULong(kPointer, 0))); }

void XNode::remove_all_pointer() {
    XNode* top = root();
    top->removeAttrib(kPointer);
    top->iterateTree([](XNode* n, unsigned int) {
        n->removeAttrib(kPointer);
        return true;
    });
}

// ---- navigation

XNode* XNode::root() { return const_cast<XNode*>(static_cast<const XNode*>(this)->root()); }

const XNode* XNode::root() const {
    const XNode* n = this;
    while (n->m_parent != nullptr) n = n->m_parent;
    return n;
}

unsigned int XNode::getDepth() const {
    unsigned int d = 0;
    for (const XNode* n = m_parent; n != nullptr; n = n->m_parent) ++d;
    return d;
}

void XNode::getNodePosition(QStack<int>& pos) const {
    pos.clear();
    for (const XNode* n = this; n->m_parent != nullptr; n = n->m_parent) pos.push(n->m_parent->indexOf(n));
}

XNode* XNode::nodeFromStackPos(QStack<int>& pos) {
    XNode* n = this;
    while (!pos.isEmpty()) {
        const int i = pos.pop();
        if (!n->checkRangeWithinChildren(i)) return nullptr;
        n = n->m_children[static_cast<std::size_t>(i)];
    }
    return n;
}

QStack<XNode*> XNode::getStackToRoot() const {
    QStack<XNode*> out;
    for (const XNode* n = this; n != nullptr; n = n->m_parent) out.push(const_cast<XNode*>(n));
    return out;
}

QString XNode::getStringBottomUp(const QString& key, const QString& def) const {
    for (const XNode* n = this; n != nullptr; n = n->m_parent)
        if (n->hasKey(key)) return n->getString(key, def);
    return def;
}

unsigned int XNode::sizeRecursive(bool withThis) const {
    unsigned int count = withThis ? 1 : 0;
    std::vector<const XNode*> todo{this};
    while (!todo.empty()) {
        const XNode* n = todo.back();
        todo.pop_back();
        count += static_cast<unsigned int>(n->m_children.size());
        for (const XNode* c : n->m_children)
            if (c->hasChildren()) todo.push_back(c);
    }
    return count;
}

void XNode::iterateTree(const std::function<bool(XNode*, unsigned int)>& f) {
    struct Frame {
        XNode* node;
        std::size_t next;
        unsigned int depth;
    };
    std::vector<Frame> stack{{this, 0, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next >= top.node->m_children.size()) {
            stack.pop_back();
            continue;
        }
        XNode* c = top.node->m_children[top.next++];
        const unsigned int depth = top.depth;
        if (!f(c, depth)) {
            stack.pop_back();  // the rest of this level is skipped
            continue;
        }
        if (c->hasChildren()) stack.push_back({c, 0, depth + 1});
    }
}

bool XNode::initializeContents() {
    for (XNode* c : m_children)
        if (!c->initializeContents()) return false;
    return true;
}

// ---- text

bool XNode::isText(const QString& s) const {
    if (m_text.isEmpty() || s.isEmpty()) return false;
    if (!s.contains(QLatin1Char('\n'))) return m_text == s;
    QString norm;
    norm.reserve(m_text.size());
    bool afterLineFeed = false;
    for (const QChar c : m_text) {
        if (c == QLatin1Char('\r')) continue;
        if (afterLineFeed && c.isSpace()) continue;
        afterLineFeed = c == QLatin1Char('\n');
        norm += c;
    }
    return norm == s;
}

bool XNode::getSetBool(const QString& key, bool def) {
    if (!hasKey(key)) {
        setBool(key, def);
        return def;
    }
    return getBool(key, false);
}

// ---- the tree's file

void XNode::setFile(const QString& file) {
    XNode* r = root();
    if (r == nullptr) nullPointerHandling(kSource, __LINE__, QStringLiteral("root() == NULL"));
    r->m_file = file;
}

QDir XNode::getDir() const { return QFileInfo(root()->m_file).absoluteDir(); }

bool XNode::isResourceFile() const { return root()->m_file == QLatin1String(":RESOURCE"); }

QString XNode::absolutePath(const QString& p) const {
    if (QFileInfo(p).isAbsolute()) return p;
    return QDir::cleanPath(getDir().absoluteFilePath(p));
}

QString XNode::buildResourcePath(const QString& p) const {
    const QString rel = getDir().relativeFilePath(p);
    return rel.contains(QLatin1String("..")) ? QFileInfo(p).absoluteFilePath() : rel;
}

// ---- checksums and display

MD5 XNode::getMD5(bool recursive) const {
    MD5 md5;
    std::vector<const XNode*> todo{this};
    while (!todo.empty()) {
        const XNode* n = todo.back();
        todo.pop_back();
        if (!n->m_text.isEmpty()) md5.updateString(n->m_text);
        for (const auto& kv : n->getAttributes()) {
            md5.updateString(kv.first);
            md5.updateString(kv.second);
        }
        if (recursive)
            for (auto it = n->m_children.rbegin(); it != n->m_children.rend(); ++it) todo.push_back(*it);
    }
    md5.finalize();
    return md5;
}

QString XNode::toStringForQTreeView() const {
    QString s = m_type;
    if (hasAttributes()) {
        s += QStringLiteral(", ");
        s += attributesLoop([](QTextStream& st, const QString& k, const QString& v, bool last) {
            st << k << "='" << v << '\'';
            if (!last) st << ", ";
        });
    }
    if (!m_text.isEmpty()) s += xformat(", {$}", m_text.trimmed());
    return s;
}

namespace {

// "<type> [n] {attributes} "text"": the one line that both show forms print per node.
QString showLine(const XNode& n, const AbstractXRecord::KeyValueFormatter& f) {
    QString line =
        QLatin1Char('<') + n.getType() + QStringLiteral("> [") + QString::number(n.countChildren()) + QLatin1Char(']');
    if (n.hasAttributes()) {
        line += QStringLiteral(" {");
        bool first = true;
        for (const auto& kv : n.getAttributes()) {
            if (!first) line += QStringLiteral(", ");
            first = false;
            line += kv.first.endsWith(QLatin1String("64")) ? xformat("$: '$'", kv.first, showValue(kv.first, kv.second))
                                                           : f(kv.first, kv.second);
        }
        line += QLatin1Char('}');
    }
    if (n.hasText()) line += QStringLiteral(" \"") + n.getText() + QLatin1Char('"');
    return line;
}

// Pre-order over node and its subtree with the indentation of each (4 more per level).
void walkIndented(const XNode& node, unsigned int indent, const std::function<void(const XNode&, unsigned int)>& f) {
    std::vector<std::pair<const XNode*, unsigned int>> todo{{&node, indent}};
    while (!todo.empty()) {
        const auto [n, in] = todo.back();
        todo.pop_back();
        f(*n, in);
        for (auto it = n->children().rbegin(); it != n->children().rend(); ++it) todo.emplace_back(*it, in + 4);
    }
}

}  // namespace

void XNode::showContents(unsigned int indent, unsigned int level, KeyValueFormatter f) const {
    if (!f) f = AbstractXRecord::kvAsString;
    walkIndented(*this, indent,
                 [&](const XNode& n, unsigned int in) { detail::logAt(level, in, "$", showLine(n, f)); });
}

void XNode::show_pure_console(unsigned int indent) const {
    walkIndented(*this, indent, [](const XNode& n, unsigned int in) {
        Logger::printToCout(QString(static_cast<int>(in), QLatin1Char(' ')) + showLine(n, AbstractXRecord::kvAsString));
    });
}

}  // namespace zor
