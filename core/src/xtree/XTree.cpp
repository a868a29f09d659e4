#include <zor/ClockFunctions.h>
#include <zor/FatalChecks.h>
#include <zor/FileReader.h>
#include <zor/FileWriter.h>
#include <zor/Logger.h>
#include <zor/XDataStream.h>
#include <zor/XFileMapper.h>
#include <zor/XNullDevice.h>
#include <zor/XStringStream.h>
#include <zor/XTree.h>

#include "MemoryDevice.h"

#include <QBuffer>
#include <QFileInfo>
#include <typeinfo>
#include <vector>

namespace zor {

const QString XTree::str_XTree = QStringLiteral("XTree");

// ---- life cycle

XTree::XTree(XTree&& other) noexcept {
    if (is_debug()) logDebug("XTree::XTree()  MOVE");
    _swapObject(std::move(other));
    m_entries.swap(other.m_entries);
    m_filename.swap(other.m_filename);
    set_parent_recursive();
}

XTree& XTree::operator=(XTree&& other) noexcept {
    if (this == &other) return *this;
    if (is_debug()) logDebug("XTree::operator=  MOVE");
    _swapObject(std::move(other));
    m_entries.swap(other.m_entries);
    m_filename.swap(other.m_filename);
    set_parent_recursive();
    other.set_parent_recursive();
    return *this;
}

void XTree::swap(XTree& other) noexcept {
    m_entries.swap(other.m_entries);
    m_filename.swap(other.m_filename);
    set_parent_recursive();
    other.set_parent_recursive();
}

XTree::~XTree() { destroyEntries(m_entries); }

void XTree::clear() {
    if (is_debug()) logDebug("XTree::clear");
    destroyEntries(m_entries);
}

void XTree::_move(XTree& other) {
    destroyEntries(m_entries);
    m_entries.swap(other.m_entries);
}

namespace {

// The entries of trees destroyed while a destruction runs on this thread: the outermost one takes
// them over and destroys them in its own loop, so that destroying a tree never descends on the
// machine stack, however deep it is.
thread_local std::vector<XTree::Map>* t_pending = nullptr;

}  // namespace

// One pass over the entries: a sub-tree (also one inside an array of trees) that goes with them
// hands its entries to the outermost destruction instead of destroying them itself.
void XTree::destroyEntries(Map& entries) {
    if (entries.empty()) return;
    if (t_pending != nullptr) {
        t_pending->emplace_back();
        t_pending->back().swap(entries);
        return;
    }
    std::vector<Map> pending;
    t_pending = &pending;
    entries.clear();
    while (!pending.empty()) {
        Map m;
        m.swap(pending.back());
        pending.pop_back();
        m.clear();  // may add to pending
    }
    t_pending = nullptr;
}

// ---- slots

XVal& XTree::slotFor(const QString& key) {
    // Streams and most builders deliver keys in ascending order: with the end as hint, appending
    // takes one comparison and no search.
    return m_entries.try_emplace(m_entries.end(), key)->second;
}

// The stream's form: the node is made first and dropped again for a repeated key, which only a
// damaged file has, so that appending a key compares it once.
XVal& XTree::slotFor(QString&& key) {
    return m_entries
        .emplace_hint(m_entries.end(), std::piecewise_construct, std::forward_as_tuple(std::move(key)),
                      std::forward_as_tuple())
        ->second;
}

XVal& XTree::getVal(const QString& key, bool* ok) {
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        logWarning("XTree::get, key '$' ???", key);
        if (ok != nullptr) *ok = false;
        else logWarning("XTree::getVal, key '$' not found - attention !", key);
        return m_entries[key];
    }
    if (ok != nullptr) *ok = true;
    return it->second;
}

const XVal& XTree::getVal(const QString& key, bool* ok) const {
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        if (ok != nullptr) *ok = false;
        else logWarning("XTree::getVal, key '$' not found - attention !", key);
        // The lookup of an absent key creates its empty entry, also through a const tree.
        return const_cast<XTree*>(this)->m_entries[key];
    }
    if (ok != nullptr) *ok = true;
    return it->second;
}

bool XTree::erase(const QString& key) {
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        logWarning("XTree::erase, key <$> not found", key);
        return false;
    }
    Map one;
    one.insert(m_entries.extract(it));
    destroyEntries(one);
    return true;
}

bool XTree::isFlag(const QString& key, bool defaultValue) const {
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        if (is_debug()) logDebug("XTree::isFlag, key:'$' does not exist !", key);
        return defaultValue;
    }
    const XVal& v = it->second;
    const bool* b = v.getType() == XTypeSet::str_bool ? v.valueAs<bool>() : nullptr;
    if (b == nullptr) {
        logWarning("XTree::isFlag, key:'$', wrong type:'$'", key, v.getType());
        return defaultValue;
    }
    return *b;
}

const XTreeArray& XTree::get_tree_array(const QString& key) const {
    static const XTreeArray* const empty = new XTreeArray();  // shared and never destroyed
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        logWarning("XTree::get_tree_array, <$> not found !", key);
        return *empty;
    }
    const XTreeArray* a = it->second.array();
    if (a == nullptr) {
        logWarning("XTree::get_tree_array, <$> found, but not a XTreeArray !, type is <<$>>", key,
                   XVal::categoryToString(it->second.getCategory()));
        return *empty;
    }
    return *a;
}

XByteArray XTree::get_XByteArray(const QString& key) const {
    const XTreeArray& a = get_tree_array(key);
    if (a.getArray() == nullptr || a.size() == 0 || !a.isCategorySimple()) return XByteArray();
    const std::uint64_t bytes = a.size() * XTypeSupporter::rawElementSize(a.type());
    if (bytes == 0 || bytes > 0x7FFFFFFF) return XByteArray();
    return XByteArray(static_cast<const char*>(a.getArray()), static_cast<int>(qMin<std::uint64_t>(a.size(), bytes)));
}

void XTree::set_XByteArray(const QString& key, const XByteArray& bytes) {
    setArray<char>(key, bytes.constData(), static_cast<std::uint64_t>(bytes.size()));
}

XTreeArray* XTree::setTreeArray(const QString& key, std::uint64_t n) {
    XTreeArray a;
    if (!a.allocate<XTree>(n)) {
        logError("XTree::setTreeArray, no memory for $ trees", n);
        return nullptr;
    }
    set(key, std::move(a));
    return getPointer<XTreeArray>(key);
}

XTreeArray* XTree::setLinkArray(const QString& key, std::uint64_t n) {
    XTreeArray a;
    if (!a.allocate<XLink>(n)) {
        logError("XTree::setLinkArray, no memory for $ links", n);
        return nullptr;
    }
    set(key, std::move(a));
    return getPointer<XTreeArray>(key);
}

// ---- links

void XTree::setLink(const QString& key, XTree* tree) {
    if (tree == nullptr) nullPointerHandling("libSrc/core/src/tools/xtree/XTree", 240, QStringLiteral("pTree == NULL"));
    XLink link(tree);
    link.setURL(tree->path());
    set(key, std::move(link));
}

void XTree::setLink(const QString& key, const QString& path) {
    XTree* target = pointerFromPath(path);
    if (target == nullptr) {
        logWarning("XTree::setLink, path '$' not found", path);
        return;
    }
    XLink link(target);
    link.setURL(path);
    set(key, std::move(link));
}

void XTree::pointer_to_URL() {
    for (XLink* l : get_by_type<XLink>(true, true)) l->pointer_to_URL();
}

void XTree::URL_to_pointer() {
    for (XLink* l : get_by_type<XLink>(true, true)) l->URL_to_pointer(this);
}

void XTree::showLinks(unsigned int indent) {
    const std::vector<XLink*> links = get_by_type<XLink>(true, true);
    detail::logAt(INFO, indent, "XTree::showLinks, link's:$", links.size());
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (links[i]->object() == nullptr) detail::logAt(INFO, indent, "XTree::showLinks, ln[$], object() == nullptr!", i);
        else detail::logAt(INFO, indent, "XTree::showLinks, ln[$], path: '$'", i, links[i]->object()->path());
    }
}

// ---- structure

void XTree::set_parent_recursive() {
    std::vector<XTree*> work{this};
    while (!work.empty()) {
        XTree* t = work.back();
        work.pop_back();
        for (auto& kv : t->m_entries) {
            XVal& v = kv.second;
            if (v.value() == nullptr) continue;
            if (XTree* child = v.tree()) {
                child->setParentUnchecked(t);
                work.push_back(child);
            } else if (XLink* link = v.link()) {
                link->setParentUnchecked(t);
            } else if (XTreeArray* a = v.array()) {
                if (a->size() == 0) continue;
                if (a->getArray() == nullptr)
                    nullPointerHandling("libSrc/core/src/tools/xtree/XTree", 300, QStringLiteral("ar == NULL"));
                a->setParentUnchecked(t);
                a->setParentToChildren();
                if (XTree* trees = a->trees()) {
                    for (std::uint64_t i = 0; i < a->size(); ++i) work.push_back(trees + i);
                }
            }
        }
    }
}

QString XTree::keyOf(const XObject* child) const {
    if (child == nullptr) nullPointerHandling("libSrc/core/src/tools/xtree/XTree", 320, QStringLiteral("pChild == NULL"));
    for (const auto& kv : m_entries) {
        if (!kv.second.isSimpleType() && kv.second.object() == child) return kv.first;
    }
    return QString();
}

XObject* XTree::objectByKey(const QString& key) {
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        if (is_debug()) logDebug("XTree::objectByKey, key:'$',not found !", key);
        return nullptr;
    }
    XVal& v = it->second;
    XObject* o = nullptr;
    switch (v.getCategory()) {
        case XCategory::TREE:
            o = v.tree();
            break;
        case XCategory::ARRAY:
            o = v.array();
            break;
        case XCategory::LINK:
            o = v.link();
            break;
        default:
            break;
    }
    // A simple value, or a slot whose category does not fit what it holds.
    if (o == nullptr) logWarning("XTree::objectByKey, key:'$', unexpected type<$>", key, v.getType());
    return o;
}

XTree_View XTree::treeView() const {
    XTree_View view;
    for (const auto& kv : m_entries) {
        const XTree_View::Entry e{&kv.first, &kv.second};
        switch (kv.second.getCategory()) {
            case XCategory::TREE: view.trees.push_back(e); break;
            case XCategory::ARRAY: view.arrays.push_back(e); break;
            case XCategory::LINK: view.links.push_back(e); break;
            default: view.values.push_back(e); break;
        }
    }
    return view;
}

XTree* XTree::pointerFromPath(const QString& path) { return pointerFromPath<XTree>(path); }

namespace detail {

bool getPointerChecks(const XTree& tree, const QString& key, const QString& want, XVal*& slot) {
    auto& entries = const_cast<XTree::Map&>(tree.getMap());
    auto it = entries.find(key);
    if (it == entries.end()) {
        if (XObject::is_debug()) logDebug("XTree::getPointer, key:'$',not found !", key);
        return false;
    }
    XVal& v = it->second;
    if (XObject::is_debug()) logDebug("XTree::getPointer<$>, key:'$', found, type <$>", want, key, v.getType());
    if (v.getType() == XTypeSet::str_XLink && want != XTypeSet::str_XLink) {
        logWarning("XTree::getPointer, 1-WRONG TYPE, key:'$', type:'$', want type:'$',", key, v.getType(), want);
        return false;
    }
    if (v.getType() == XTypeSet::str_XTreeArray && want != XTypeSet::str_XTreeArray && want != XTypeSet::str_XObject) {
        logWarning("XTree::getPointer, 2-WRONG TYPE, key:'$', type:'$', want type:'$',", key, v.getType(), want);
        return false;
    }
    if (v.getType() != want) {
        // A derived tree is an XTree, and every tree object is an XObject; any other difference
        // would hand out a pointer of the wrong type, so it is refused.
        const bool asTree = want == XTypeSet::str_XTree && v.isTree();
        const bool asObject = want == XTypeSet::str_XObject && !v.isSimpleType();
        if (!asTree && !asObject) {
            logWarning("XTree::getPointer, 3-WRONG TYPE, key:'$', type:'$', want type:'$',", key, v.getType(), want);
            return false;
        }
    }
    slot = &v;
    return v.value() != nullptr;
}

void logHeldMismatch(const QString& key, const QString& type, const QString& want) {
    logWarning("XTree::getPointer, 3-WRONG TYPE, key:'$', type:'$', want type:'$',", key, type, want);
}

PathEnd walkPath(XTree* start, const QString& path, const QString& wantType) {
    PathEnd end;
    if (XObject::is_debug()) logDebug("XTree::pointerFromPath<$>, q: '$'", wantType, path);
    if (path.isEmpty()) return end;
    // Tokens: "/" separators and the names between them.
    QStringList tokens;
    QString name;
    for (const QChar c : path) {
        if (c == QLatin1Char('/')) {
            if (!name.isEmpty()) tokens << name;
            name.clear();
            tokens << QStringLiteral("/");
        } else {
            name += c;
        }
    }
    if (!name.isEmpty()) tokens << name;
    XObject* current = start;
    int i = 0;
    if (tokens.first() == QLatin1String("/")) {
        current = start->rootObject();
        if (current == nullptr) {
            logWarning("XTree::pointerFromPath, rootObject() == nullptr ? ");
            return end;
        }
        i = 1;
    }
    int last = tokens.size() - 1;
    while (last >= i && tokens[last] == QLatin1String("/")) --last;  // a trailing "/" names nothing
    if (last < i) {
        end.object = current;
        end.found = true;
        return end;
    }
    for (; i <= last; ++i) {
        const QString& t = tokens[i];
        if (t == QLatin1String("/")) continue;
        if (t == QLatin1String("..")) {
            current = current->parent();
            if (current == nullptr) return end;
            if (i == last) {
                end.object = current;
                end.found = true;
                return end;
            }
            continue;
        }
        if (i == last) {
            end.object = current;
            end.lastName = t;
            end.found = true;
            return end;
        }
        current = current->objectByKey(t);
        if (current == nullptr) return end;
    }
    return end;
}

bool arrayIndexFromName(const XTreeArray& array, const QString& name, std::uint64_t& index) {
    bool ok = false;
    index = name.toULongLong(&ok, 10);
    if (!ok) {
        logWarning("XTreeArray::getPointer, index:'$' must be a number 0...$", name,
                   static_cast<long long>(array.size()) - 1);
        return false;
    }
    if (index >= array.size()) {
        logWarning("XTreeArray::getPointer, index:$ out of range 0...$", index, static_cast<long long>(array.size()) - 1);
        return false;
    }
    return true;
}

void logGetPointerAtType(const QString& have, const QString& want) {
    logWarning("XTreeArray::getPointerAt, wrong type<$>, expected <$>", have, want);
}

void logGetPointerAtRange(std::uint64_t index, std::uint64_t size) {
    logWarning("XTreeArray::getPointerAt, out of range,  index:$, size():$", index, size);
}

// Depth-first in key order, without recursion: a sub-tree (or the elements of an array of
// trees) is visited completely before the next entry of its parent.
std::vector<void*> collectByType(XTree& tree, const ByType& want, bool recursive, bool arrays) {
    if (XObject::is_debug())
        logDebug("XTree::get_by_type <$> recursive:$, includeArrayElements:$", *want.name, recursive, arrays);
    struct Frame {
        XTree* tree;
        XTree::Map::const_iterator it;
        XTreeArray* array;
        std::uint64_t index;
    };
    const bool wantTree = *want.name == XTypeSet::str_XTree;
    const bool wantLink = *want.name == XTypeSet::str_XLink;
    std::vector<void*> out;
    std::vector<Frame> stack{{&tree, tree.getMap().begin(), nullptr, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.array != nullptr) {
            if (f.index >= f.array->size()) {
                stack.pop_back();
                continue;
            }
            XTree* t = f.array->trees() + f.index++;
            stack.push_back({t, t->getMap().begin(), nullptr, 0});
            continue;
        }
        if (f.it == f.tree->getMap().end()) {
            stack.pop_back();
            continue;
        }
        const XVal& v = f.it->second;
        ++f.it;
        if (v.value() == nullptr) continue;
        XTreeArray* a = v.array();
        if (v.getType() == *want.name) {
            // By what the slot holds, not by its type name alone.
            if (void* p = want.accept(v)) out.push_back(p);
        } else if (arrays && a != nullptr && a->type() == *want.name) {
            // The element type's name comes from the C++ type the elements were made as.
            char* elements = wantTree   ? reinterpret_cast<char*>(a->trees())
                             : wantLink ? reinterpret_cast<char*>(a->links())
                                        : static_cast<char*>(a->getArray());
            for (std::uint64_t i = 0; i < a->size() && elements != nullptr; ++i)
                out.push_back(elements + i * want.elementSize);
        }
        if (!recursive) continue;
        if (XTree* child = v.tree()) {
            stack.push_back({child, child->getMap().begin(), nullptr, 0});
        } else if (a != nullptr && a->trees() != nullptr) {
            stack.push_back({nullptr, {}, a, 0});
        }
    }
    if (XObject::is_debug())
        logDebug("XTree::get_by_type <$> recursive:$, includeArrayElements:$, Objects:$", *want.name, recursive, arrays,
                 out.size());
    return out;
}

}  // namespace detail

// ---- printing

namespace {

QString typeText(const XTree& t) {
    const QString type = t.getTypeAsString();
    return type == XTree::str_XTree ? type : type + QStringLiteral("(XTree)");
}

QString valueEntries(const XTree& t, const XTypeSupporter& ts) {
    QString s;
    for (const auto& kv : t.getMap()) {
        const XCategory c = kv.second.getCategory();
        if (c == XCategory::TREE || c == XCategory::ARRAY || c == XCategory::LINK) continue;
        if (!s.isEmpty()) s += QStringLiteral(", ");
        s += QLatin1Char('{') + kv.first + QLatin1Char(':') + kv.second.toStringExtended(ts) + QLatin1Char('}');
    }
    return s;
}

QString indexText(std::int64_t index) { return QString::asprintf("[%03lld] ", static_cast<long long>(index)); }

// One printing task: a tree line with everything below it, or the lines of one array or link.
struct PrintTask {
    const XTree* tree = nullptr;
    const XTreeArray* array = nullptr;
    const XLink* link = nullptr;
    unsigned int indent = 0;
    QString name;
    bool arrow = false;
    std::int64_t index = -1;
};

// Prints without recursion: each tree pushes its children (sub-trees, then arrays, then links,
// each in key order) onto a stack in reverse, so they come out in order below their parent.
void printTasks(XStringStream& ss, const XTypeSupporter& ts, std::vector<PrintTask> stack) {
    while (!stack.empty()) {
        const PrintTask task = std::move(stack.back());
        stack.pop_back();
        const unsigned int in = task.indent;
        if (task.tree != nullptr) {
            QString line = QString(static_cast<int>(in), QLatin1Char(' '));
            if (!task.name.isEmpty()) line += task.name + QLatin1Char(' ');
            if (task.index >= 0) line += indexText(task.index);
            line += task.arrow ? QStringLiteral("->") : QStringLiteral("+");
            line += QLatin1Char(' ') + typeText(*task.tree);
            const QString values = valueEntries(*task.tree, ts);
            if (!values.isEmpty()) line += QStringLiteral(", ") + values;
            ss << line << '\n';
            const XTree_View view = task.tree->treeView();
            std::vector<PrintTask> children;
            for (const auto& e : view.trees)
                children.push_back({e.second->tree(), nullptr, nullptr, in + 2, *e.first, false, -1});
            for (const auto& e : view.arrays)
                children.push_back({nullptr, e.second->array(), nullptr, in + 2, *e.first, false, -1});
            for (const auto& e : view.links)
                children.push_back({nullptr, nullptr, e.second->link(), in + 2, *e.first, false, -1});
            for (auto it = children.rbegin(); it != children.rend(); ++it) {
                if (it->tree != nullptr || it->array != nullptr || it->link != nullptr) stack.push_back(std::move(*it));
            }
        } else if (task.array != nullptr) {
            const XTreeArray& a = *task.array;
            if (a.isCategoryTree()) {
                ss << QString(static_cast<int>(in), QLatin1Char(' '))
                   << xformat("$: array of $ [$]", task.name, a.type(), a.size()) << '\n';
                const XTree* trees = a.trees();
                for (std::uint64_t i = a.size(); i > 0 && trees != nullptr; --i)
                    stack.push_back({trees + i - 1, nullptr, nullptr, in + 2, QString(), true, static_cast<std::int64_t>(i - 1)});
            } else if (a.isCategoryLink()) {
                ss << QString(static_cast<int>(in), QLatin1Char(' '))
                   << xformat("$ [$] XLinks =>>>", task.name, a.size()) << '\n';
                const XLink* links = a.links();
                for (std::uint64_t i = 0; i < a.size() && links != nullptr; ++i)
                    ss << QString(static_cast<int>(in + 2), QLatin1Char(' ')) << indexText(static_cast<std::int64_t>(i))
                       << "=> " << links[i].url() << '\n';
            } else {
                ss << QString(static_cast<int>(in), QLatin1Char(' ')) << xformat("$: $ [$]", task.name, ts.arrayAsString(a), a.size())
                   << '\n';
            }
        } else if (task.link != nullptr) {
            ss << QString(static_cast<int>(in), QLatin1Char(' ')) << task.name << " => " << task.link->url() << '\n';
        }
    }
}

}  // namespace

namespace detail {

void printArray(XStringStream& ss, const XTypeSupporter& ts, const XTreeArray& array, unsigned int indent,
                const QString& name) {
    printTasks(ss, ts, {{nullptr, &array, nullptr, indent, name, false, -1}});
}

}  // namespace detail

QString XTree::toString(const XTypeSupporter& ts) const {
    QString s = typeText(*this);
    int trees = 0;
    for (const auto& kv : m_entries) trees += kv.second.isTree() ? 1 : 0;
    if (trees > 0) s += xformat("(SubTrees:$)", trees);
    const QString values = valueEntries(*this, ts);
    if (!values.isEmpty()) s += QStringLiteral(", ") + values;
    return s;
}

void XTree::toStream(XStringStream& ss, const XTypeSupporter& ts, unsigned int indent, const QString& name, bool arrow,
                     std::int64_t index) const {
    printTasks(ss, ts, {{this, nullptr, nullptr, indent, name, arrow, index}});
}

QString XTree::toStringExtended(const XTypeSupporter& ts) const {
    QString text;
    {
        XStringStream ss(text);
        toStream(ss, ts, 0, QString(), false, -1);
        ss.flush();
    }
    return text;
}

void XTree::show(const XTypeSupporter& ts, unsigned int indent, const QString& name, bool arrow,
                 std::int64_t index) const {
    XObject::show(ts, indent, name, arrow, index);
}

void XTree::show(unsigned int indent) const { show(XTypeSupporter::basicTypes(), indent, QString(), false, -1); }

// ---- the binary form

bool XTree::writeToStream(XDataStream& stream) const { return stream.writeTreeBody(*this); }

bool XTree::readFromStream(XDataStream& stream) {
    clear();
    return stream.readTreeBody(*this);
}

XDataStream& operator<<(XDataStream& s, const XTree& tree) {
    tree.writeToStream(s);
    return s;
}

XDataStream& operator>>(XDataStream& s, XTree& tree) {
    tree.readFromStream(s);
    return s;
}

bool XTree::writeToDevice(QIODevice& dev, const XTypeSupporter& ts) const {
    XDataStream s(&dev, ts);
    s.write_UTF8_String(getTypeAsString());
    return writeToStream(s) && s.status() == QDataStream::Ok;
}

bool XTree::readFromDevice(QIODevice& dev, const XTypeSupporter& ts) {
    clear();
    XDataStream s(&dev, ts);
    const QString name = s.readString();
    if (s.hasFailed()) return false;
    if (name != getTypeAsString()) {
        logWarning("XTree::readFromDevice, TYPE warning, we are <$> but should be <$>", getTypeAsString(), name);
        return false;
    }
    // Read in place: the stream sets every parent as it goes. A damaged tree keeps what could be
    // read (the stream logged why), with its links resolved as far as their targets came.
    const bool whole = s.readTreeBody(*this);
    if (s.linksRead() > 0 || typeid(ts) != typeid(XTypeSupporter)) URL_to_pointer();
    return whole;
}

XRamInfo XRamInfo::ramInfoFromTree(const XTree& tree, const XTypeSupporter& ts, bool withMD5) {
    XNullDevice device(withMD5);
    tree.writeToDevice(device, ts);
    device.finalizeWriting();
    return device.ramInfo();
}

XRamInfo XTree::createRamInfo(const XTypeSupporter& ts, bool withMD5) const {
    return XRamInfo::ramInfoFromTree(*this, ts, withMD5);
}

std::uint64_t XTree::calc_mem_size(const XTypeSupporter& ts) const {
    return static_cast<std::uint64_t>(XRamInfo::ramInfoFromTree(*this, ts, false).bytes);
}

MD5 XTree::calc_MD5(const XTypeSupporter& ts) const { return XRamInfo::ramInfoFromTree(*this, ts, true).md5; }

QString XTree::calc_MD5Sum(const XTypeSupporter& ts) const { return calc_MD5(ts).hexdigest(); }

namespace {

// The device form into a buffer of exactly the measured size.
bool writeInto(const XTree& tree, const XTypeSupporter& ts, char* p, std::uint64_t size) {
    MemoryDevice dev(p, static_cast<qint64>(size));
    return tree.writeToDevice(dev, ts) && static_cast<std::uint64_t>(dev.pos()) == size;
}

}  // namespace

XMem XTree::createMem(const XTypeSupporter& ts) const {
    if (m_entries.empty()) {
        logWarning("XTree::createMem - Tree empty ?");
        return XMem();
    }
    const std::uint64_t size = calc_mem_size(ts);
    XMem mem;
    if (size == 0 || !mem.reAlloc(static_cast<std::size_t>(size)) || !writeInto(*this, ts, mem.mem(), size)) {
        logError("XTree::createMem, cannot write $ bytes", format1000(static_cast<long long>(size)));
        return XMem();
    }
    return mem;
}

XByteArray XTree::createByteArray(const XTypeSupporter& ts) const {
    if (m_entries.empty()) return XByteArray();
    const std::uint64_t size = calc_mem_size(ts);
    if (size == 0 || size > 0x7FFFFFFF) {
        logError("XTree::createByteArray, $ bytes do not fit a byte array", format1000(static_cast<long long>(size)));
        return XByteArray();
    }
    QByteArray bytes(static_cast<int>(size), Qt::Uninitialized);
    if (!writeInto(*this, ts, bytes.data(), size)) return XByteArray();
    return XByteArray(std::move(bytes));
}

XTree XTree::load(XMem& mem, const XTypeSupporter& ts) {
    XTree t;
    if (mem.isEmpty()) return t;
    MemoryDevice dev(static_cast<const char*>(mem.mem()), static_cast<qint64>(mem.size()));
    t.readFromDevice(dev, ts);
    return t;
}

namespace {

// The device form in a growing buffer: one pass of writing, where createMem measures first.
QByteArray deviceForm(const XTree& tree, const XTypeSupporter& ts) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    if (!tree.writeToDevice(buf, ts)) return QByteArray();
    return bytes;
}

}  // namespace

bool XTree::copy(XTree* target, const XTypeSupporter& ts) const {
    if (target == nullptr) nullPointerHandling("libSrc/core/src/tools/xtree/XTree", 700, QStringLiteral("pTree == NULL"));
    if (target == this) return true;
    if (m_entries.empty()) {
        target->clear();
        return true;
    }
    const QByteArray bytes = deviceForm(*this, ts);
    MemoryDevice dev(bytes.constData(), bytes.size());
    return target->readFromDevice(dev, ts);
}

XTree XTree::create_copy(const XTypeSupporter& ts) const {
    XTree t;
    const QByteArray bytes = m_entries.empty() ? QByteArray() : deviceForm(*this, ts);
    if (bytes.isEmpty()) {
        logWarning("XTree::create_copy - empty tree");
        return t;
    }
    MemoryDevice dev(bytes.constData(), bytes.size());
    t.readFromDevice(dev, ts);
    return t;
}

XByteArray XTree::write_to_compressed_bytes(const XTypeSupporter& ts) const {
    return XByteArray::compress(createByteArray(ts));
}

bool XTree::read_from_compressed_bytes(const XByteArray& bytes, const XTypeSupporter& ts) {
    const XByteArray plain = XByteArray::unCompress(bytes);
    if (plain.isEmpty()) {
        clear();
        // An intact block of an empty tree holds its digest and a zero length; anything else was
        // refused by unCompress with its checksum error.
        return bytes.size() >= 20 && bytes.mid(16, 4) == QByteArray(4, '\0') &&
               MD5::md5_16(bytes.mid(16)) == bytes.left(16);
    }
    MemoryDevice dev(plain.constData(), plain.size());
    return readFromDevice(dev, ts);
}

QString XTree::create_string_base64(const XTypeSupporter&) const {
    return QString::fromLatin1(write_to_compressed_bytes(XTypeSupporter::basicTypes()).toBase64());
}

XTree XTree::create_tree_from_base64(const QString& text, const XTypeSupporter&) {
    XTree t;
    const QByteArray bytes = QByteArray::fromBase64(text.toLatin1());
    if (bytes.isEmpty()) {
        logWarning("XTree::create_tree_from_base64, no base64 text");
        return t;
    }
    t.read_from_compressed_bytes(bytes, XTypeSupporter::basicTypes());
    return t;
}

// ---- files

bool XTree::save(const XTypeSupporter& ts) {
    if (m_filename.isEmpty()) {
        logWarning("XTree::save, object is not bound to a valid filename");
        return false;
    }
    return saveAsFile(m_filename, ts);
}

bool XTree::saveAsFile(const QString& path, const XTypeSupporter& ts) {
    pointer_to_URL();
    const std::uint64_t size = calc_mem_size(ts);
    XFileMapper mapper(path);
    if (!mapper.mapReadWrite()) {
        logError("XTree::saveAsFile, file mapper to file '$', mapReadWrite() failed !", path);
        return false;
    }
    if (!mapper.resize(static_cast<long long>(size))) {
        logError("XTree::saveAsFile, file mapper to file '$', resize:$ failed !", path,
                 format1000(static_cast<long long>(size)));
        return false;
    }
    char* p = mapper.mem();
    if (p == nullptr || mapper.length() < size || !writeInto(*this, ts, p, size)) {
        logError("XTree::saveAsFile, cannot write $ bytes to '$'", format1000(static_cast<long long>(size)), path);
        return false;
    }
    m_filename = path;
    return true;
}

bool XTree::loadFromFile(const QString& path, const XTypeSupporter& ts) {
    if (!QFileInfo::exists(path)) {
        clear();  // like every failed load: nothing of the old content stays
        logWarning("XTree::loadFromFile, file '$' does not exist !", path);
        return false;
    }
    XFileMapper mapper(path);
    // Read-only: a tree file may be write-protected, and loading never changes it.
    const char* p = mapper.mapReadOnly() ? static_cast<const XFileMapper&>(mapper).mem() : nullptr;
    if (p == nullptr) {
        clear();
        logError("XTree::loadFromFile, file mapper to file '$', mapReadWrite() failed !", path);
        return false;
    }
    MemoryDevice dev(p, static_cast<qint64>(mapper.length()));
    return readFromDevice(dev, ts);
}

XTree XTree::load(const QString& path, const XTypeSupporter& ts) {
    XTree t;
    t.loadFromFile(path, ts);
    t.setFilename(path);
    return t;
}

bool XTree::save_as_compressed_file(const QString& path, const XTypeSupporter& ts) {
    XByteArray block = write_to_compressed_bytes(ts);
    if (block.isEmpty() || !FileWriter::saveToFile(block, path)) {
        logError("XTree::save_as_compressed_file, problems");
        return false;
    }
    return true;
}

bool XTree::save_as_compressed_file(const QFileInfo& fi, const XTypeSupporter& ts) {
    return save_as_compressed_file(fi.absoluteFilePath(), ts);
}

bool XTree::load_from_compressed_file(const QString& path, const XTypeSupporter& ts) {
    XByteArray block;
    if (!FileReader::loadFromFile(block, path)) {
        clear();
        logError("XTree::load_from_compressed_file, problems");
        return false;
    }
    return read_from_compressed_bytes(block, ts);
}

bool XTree::load_from_compressed_file(const QFileInfo& fi, const XTypeSupporter& ts) {
    return load_from_compressed_file(fi.absoluteFilePath(), ts);
}

bool XTree::isBoundToFile(bool mustExist) const {
    if (!mustExist) return !m_filename.isEmpty();
    return !m_filename.isEmpty() && QFileInfo::exists(m_filename);
}

}  // namespace zor
