#pragma once
/// \zclass{XNode,xml} One element of the XML node tree. A node is an attribute record (XRecord) plus an element
/// type (the tag), an ordered list of owned children, a parent pointer that it does not own, the
/// element's text and, on the root, the name of the file the tree came from.
/// \code
///   XNode* root = XNode::parseFile("conf.xml", nullptr, nullptr);   // or createRoot / parseString
///   XNode* item = root->query("/x/items/item@first");               // null when nothing matches
///   root->saveNodeToXml("copy.xml", QString());
///   delete root;                                                     // the whole tree goes
/// \endcode
/// Ownership: a node owns its children and deletes them with itself; a node is created detached and
/// belongs to its creator until addNode (or createNode, insertNodeAt, setNodeAt, moveChildren) hands
/// it to a parent; removeAt/removeNode/removeNodes with the delete flag false hand it back. Roots
/// returned by the loaders belong to the caller.
///
/// Keys with a fixed meaning: "name" (among the children of one parent, type and name identify a
/// child: "type@name"), "NID" (a 64-bit id, unique among siblings) and "_pointer" (an opaque run-time
/// pointer). Whole-tree operations (destruction, copies, digests, walks, the writer, queries) use
/// explicit stacks: a tree of any depth is safe on the machine stack.
///
/// Thread-safety: none; a tree is used by one thread at a time. The two class flags are atomic.
#include <zor/MD5.h>
#include <zor/XAtomic.h>
#include <zor/XRecord.h>
#include <zor/zor_export.h>

#include <QDir>
#include <QFileInfo>
#include <QStack>
#include <QString>
#include <functional>
#include <vector>

namespace zor {

class XmlNodeCreator;
class XGenericTypes;
class XStringStream;
class XMem;
struct XNode_Parse_Control;

/// How moveWithinStack moves a child.
enum STACKING { STACK_PREVIOUS = 0, STACK_NEXT = 1, STACK_FIRST = 2, STACK_LAST = 3 };

class ZOR_EXPORT XNode : public XRecord {
public:
    /// Construction and destruction log at test level while set.
    static XAtomic<bool> atomicFlagDebug;
    /// The writer writes an empty element without attributes as "<a></a>" instead of "<a/>".
    static XAtomic<bool> atomicWriteFullEmptyTags;

    XNode();
    ~XNode() override;
    XNode(const XNode&) = delete;
    XNode& operator=(const XNode&) = delete;

    // ---- creation
    /// creator->create(type) (a plain XNode when creator is null), named when name is not empty.
    static XNode* createRoot(const QString& type, const QString& name, XmlNodeCreator* creator);
    /// createRoot and addNode; null (debug line) for an empty type or a taken type@name.
    virtual XNode* createNode(const QString& type, const QString& name, XmlNodeCreator* creator);
    /// query(type or type@name), or createNode when that finds nothing.
    virtual XNode* getCreateNode(const QString& type, const QString& name, XmlNodeCreator* creator);
    /// A detached copy of this subtree made through creator (the default one when null).
    XNode* deepCopy(const XmlNodeCreator* creator) const;
    /// dest gets src's attributes, src is left without any.
    static void moveAttributes(XNode* dest, XNode* src);
    /// Appends every child of src to dest; src is left empty. A child dest refuses (type@name taken)
    /// is deleted with a warning, so that no node is left without an owner.
    static void moveChildren(XNode* dest, XNode* src);

    // ---- children
    /// Appends node (null: fatal check). False with an error line when its type@name is taken or,
    /// with checkContained, when it is already a child.
    bool addNode(XNode* node, bool checkContained);
    void addNodes(const std::vector<XNode*>& nodes);
    void insertNodeAt(XNode* node, int index);  ///< before the child at index (0 <= index < count)
    void setNodeAt(XNode* node, int index);     ///< overwrites the slot; the old child is the caller's
    bool removeAt(int index, bool deleteIt);
    bool removeNode(const XNode* node, bool deleteIt);
    void removeNodes(const std::vector<XNode*>& nodes, bool deleteIt);
    void deleteChildren();
    /// Empties the children list without deleting the children; the attributes stay.
    void clear() override;
    XNode* nodeAt(unsigned int index);
    const XNode* nodeAt(unsigned int index) const;
    unsigned int size() const { return countChildren(); }
    unsigned int countChildren() const { return static_cast<unsigned int>(m_children.size()); }
    bool hasChildren() const { return !m_children.empty(); }
    bool checkRangeWithinChildren(int i) const { return i >= 0 && i < static_cast<int>(m_children.size()); }
    std::vector<XNode*>& children() { return m_children; }
    const std::vector<XNode*>& children() const { return m_children; }
    bool swap(XNode* a, XNode* b);
    XNode* moveWithinStack(XNode* child, STACKING how);
    XNode* nodeAfter(XNode* child, bool sameType);
    const XNode* nodeAfter(const XNode* child, bool sameType) const;
    XNode* nodeBefore(XNode* child, bool sameType);
    const XNode* nodeBefore(const XNode* child, bool sameType) const;

    // ---- lookup among the direct children (first match wins)
    bool containsNode(const XNode* node) const;
    bool containsNodeRecursive(const XNode* node) const;  ///< any descendant
    int indexOf(const XNode* node) const;
    static bool _contains(const std::vector<XNode*>& nodes, const XNode* node);
    static int _indexOf(const std::vector<XNode*>& nodes, const XNode* node);
    bool containsNode_Name(const QString& name) const { return hasChildWithName(name); }
    bool hasChildWithName(const QString& name) const;
    bool containsNode_Type_Name(const QString& type, const QString& name) const;
    std::vector<XNode*> getTypedChildren(const QString& type) const;
    std::vector<XNode*> children_by_Type(const QString& type) const { return getTypedChildren(type); }
    unsigned int getCountTypedChildren(const QString& type) const;
    bool getChildrenAttribute(const QString& key, std::vector<QString>& out) const;
    int indexOfParent() const;  ///< -1 without parent
    int childNumber() const;    ///< 0 without parent

    // ---- identity and type
    QString getType() const { return m_type; }
    void setType(const QString& type) { m_type = type; }
    bool isType(const QString& type) const { return m_type == type; }
    bool isSameType(const XNode* other) const { return other != nullptr && other->m_type == m_type; }
    bool isTypeName(const QString& typeAtName) const;  ///< "type" or "type@name"
    /// True (and a warning naming it) when two children of one parent share type@name.
    virtual bool checkDuplicateNames() const;
    QString createUniqueName(const QString& base) const;
    static QString createNextNumberString(const QString& s);  ///< "item" -> "item0", "item9" -> "item10"
    long long ID() const;                                     ///< "NID", -1 when absent
    bool hasID() const { return hasKey(QStringLiteral("NID")); }
    bool isID(long long id) const { return hasID() && ID() == id; }
    bool setID(long long id);  ///< false when a sibling has it
    XNode* nodeFromID(long long id) const;
    unsigned int nodesFromIDs(std::vector<XNode*>& out) const;
    std::vector<XNode*> nodesFromIDs() const;
    void set_pointer(const void* p);
    void* pointer() const;
    void remove_all_pointer();  ///< on the root and every node below it

    // ---- navigation
    XNode* parent() const { return m_parent; }
    XNode* root();
    const XNode* root() const;
    bool isRoot() const { return m_parent == nullptr; }
    unsigned int getDepth() const;
    void getNodePosition(QStack<int>& pos) const;
    XNode* nodeFromStackPos(QStack<int>& pos);  ///< consumes pos
    QStack<XNode*> getStackToRoot() const;
    QString getStringBottomUp(const QString& key, const QString& def) const;
    unsigned int sizeRecursive(bool withThis) const;
    /// Pre-order over the descendants (the children at depth 0). f returning false skips the node's
    /// subtree and its remaining siblings.
    void iterateTree(const std::function<bool(XNode*, unsigned int depth)>& f);
    virtual bool initializeContents();

    // ---- text
    QString getText() const { return m_text; }
    void setText(const QString& text) { m_text = text; }
    bool hasText() const { return !m_text.isEmpty(); }
    bool isText(const QString& s) const;
    bool getSetBool(const QString& key, bool def);

    // ---- the tree's file (kept on the root)
    QString getFile() const { return m_file; }
    void setFile(const QString& file);
    QDir getDir() const;
    bool isResourceFile() const;
    QString absolutePath(const QString& p) const;
    QString buildResourcePath(const QString& p) const;
    QString pathResource(const QString& key, const QString& def) const;
    void setPathResource(const QString& key, const QString& path, bool force);

    // ---- checksums and display
    MD5 getMD5(bool recursive) const;
    void showContents(unsigned int indent = 0, unsigned int level = DEBUG,
                      KeyValueFormatter f = AbstractXRecord::kvAsString) const override;
    QString realTypeAsString() const override { return QStringLiteral("XNode"); }
    virtual void show_pure_console(unsigned int indent) const;
    virtual QString toStringForQTreeView() const;  ///< "Item, name='a', {x}"

    // ---- queries: "a/b@name/..", absolute with a leading '/'
    XNode* query(const QString& q);
    const XNode* query(const QString& q) const;
    QString getQuery() const;

    // ---- writing (no escaping: values and texts are written as stored, but for the UTF-8
    // writers' standard flag)
    static void appendToStream(XStringStream& out, const XNode& node, int indent);
    QString allAsString(unsigned int indent) const;
    static QString saveNodeToString(const XNode& node, const QString& unused = QString());
    static void saveNodeToQByteArray(const XNode& node, QByteArray& out);  ///< Latin-1
    /// Appends the text (no header) as UTF-8, encoded as it is written. With standard, '&', '<',
    /// '>', '"' and '\'' in values and texts are written as entities, so that a standard load reads
    /// back what was stored.
    static void saveNodeToUtf8(const XNode& node, QByteArray& out, bool standard = false);
    static void saveNodeToXMem(const XNode& node, XMem& mem, unsigned int size);
    /// Header line, optional comment block, the tree; UTF-8 (escaped with standard, as
    /// saveNodeToUtf8). Failures are logged.
    bool saveNodeToXml(const QString& path, const QString& comment, bool standard = false) const;

    // ---- loading; every entry point returns a new root owned by the caller, or null
    static XNode* parseFile(const QString& path, const XmlNodeCreator* creator, XNode_Parse_Control* control);
    static XNode* parseFile(const QFileInfo& fi, const XmlNodeCreator* creator, XNode_Parse_Control* control);
    static XNode* parseString(const QString& xml, XmlNodeCreator* creator);
    static XNode* parseQByteArray(const QByteArray& data, XmlNodeCreator* creator);
    /// The same with a control: its `standard` switch selects standard XML (encoding included).
    static XNode* parseQByteArray(const QByteArray& data, XmlNodeCreator* creator, XNode_Parse_Control* control);
    static XNode* parseXMem(const XMem& mem, XmlNodeCreator* creator);
    /// Takes over attributes, text and children of the root loaded from file when it has this
    /// node's type.
    virtual bool parseCustomType(const QString& file, XmlNodeCreator& creator);

    /// The schema under the root of this tree (see XGenericTypes), or null with a warning.
    virtual XGenericTypes* getXGenericTypes();

private:
    // Appends without any check; the node's parent becomes this.
    void appendUnchecked(XNode* node);

    std::vector<XNode*> m_children;
    QString m_type;
    XNode* m_parent = nullptr;
    QString m_text;
    QString m_file;
};

/// Ends the process (logger stopped, exit code 1) when node is null; the texts are not used.
ZOR_EXPORT void CHECK_NODE(const QString& where, XNode* node, const QString& what);

/// The file name beside path: path's directory (path itself when it ends with a separator), '/',
/// name. Backslashes become '/'. No "." or ".." is resolved.
ZOR_EXPORT QString getAbsPath(const QString& path, const QString& name);

}  // namespace zor
