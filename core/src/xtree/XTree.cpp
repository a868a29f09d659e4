#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XTree.h>

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

}  // namespace zor
