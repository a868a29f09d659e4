#pragma once
/// \zclass{XTree,xtree} The typed object tree. A tree is an ordered map from keys to value slots (XVal); a slot
/// holds a simple value (number, string, vector, matrix, Qt geometry), a sub-tree, a typed array
/// (XTreeArray, possibly of trees or links) or a link (XLink) to another tree of the document.
/// \code
///   XTree t;
///   t.set("width", 1920);  t.setString("name", "main");
///   XTree sub;  sub.set("x", 1.5);  t.set("view", std::move(sub));
///   t.pointerFromPath<double>("/view/x");              // 1.5
///   t.saveAsFile("/tmp/t.xtree");  XTree u = XTree::load("/tmp/t.xtree");
/// \endcode
/// Binary form (big-endian, written by XDataStream): the class name as a long string, then the body
/// (entry count, then key and value record per entry in key order). Files are written through a
/// memory-mapped file; compressed forms carry a leading MD5 and are refused when it does not match.
///
/// Ownership: a tree owns its entries, sub-trees and arrays; parents and link targets are plain
/// pointers, re-established on every move (so moving a tree never copies it) and re-resolved from
/// their paths after reading. Every walk over the tree (destroying, writing, reading, copying,
/// printing, finding) uses an explicit stack, so the depth of a tree is bounded by memory, not by
/// the machine stack; streams refuse to read or write trees deeper than XDataStream::maxDepth().
///
/// A tree is not synchronised: one thread uses it at a time; it moves between threads by move.
#include <zor/MD5.h>
#include <zor/XByteArray.h>
#include <zor/XLink.h>
#include <zor/XMem.h>
#include <zor/XObject.h>
#include <zor/XRamInfo.h>
#include <zor/XTreeArray.h>
#include <zor/XTree_View.h>
#include <zor/XTypeSupporter.h>
#include <zor/XVal.h>
#include <zor/zor_export.h>

#include <QFileInfo>
#include <QIODevice>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <type_traits>
#include <vector>

namespace zor {

class XDataStream;

class ZOR_EXPORT XTree : public XObject {
public:
    using Map = std::map<QString, XVal>;
    static const QString str_XTree;  ///< "XTree"

    XTree() = default;
    XTree(XTree&& other) noexcept;
    XTree& operator=(XTree&& other) noexcept;
    XTree(const XTree&) = delete;  ///< copies go through copy() / create_copy()
    XTree& operator=(const XTree&) = delete;
    ~XTree() override;

    void swap(XTree& other) noexcept;  ///< the whole content; parents re-established on both

    // ---- typed access; T must have a registered name (XTypeName<T>)
    template <typename T>
    void set(const QString& key, T&& value);
    void setString(const QString& key, const QString& s) { set(key, QString(s)); }
    template <typename T>
    void setArray(const QString& key, const T* values, std::uint64_t n);
    template <typename T>
    void setArray(const QString& key, const std::vector<T>& values) {
        setArrayFrom<T>(key, values.begin(), values.size());
    }
    template <typename T>
    void setArray(const QString& key, std::initializer_list<T> values) {
        setArrayFrom<T>(key, values.begin(), values.size());
    }
    template <typename T, typename It>
    void setArrayFrom(const QString& key, It first, std::uint64_t n);
    /// A new array of n empty trees (or links) under key; null when memory is short.
    XTreeArray* setTreeArray(const QString& key, std::uint64_t n);
    XTreeArray* setLinkArray(const QString& key, std::uint64_t n);

    template <typename T>
    T* getPointer(const QString& key);
    template <typename T>
    const T* getPointer(const QString& key) const {
        return const_cast<XTree*>(this)->getPointer<T>(key);
    }
    XTree* getTree(const QString& key) override { return getPointer<XTree>(key); }
    template <typename T>
    T* pointerFromPath(const QString& path);
    XTree* pointerFromPath(const QString& path);
    template <typename T>
    std::vector<T*> get_by_type(bool recursive, bool includeArrayElements);

    // ---- slots
    XVal& getVal(const QString& key, bool* ok = nullptr);  ///< inserts an empty slot when absent
    const XVal& getVal(const QString& key, bool* ok = nullptr) const;
    bool containsKey(const QString& key) const { return m_entries.count(key) != 0; }
    bool erase(const QString& key);
    void clear();
    const Map& getMap() const { return m_entries; }
    bool isEmpty() const { return m_entries.empty(); }
    std::size_t size() const { return m_entries.size(); }
    unsigned int countChildren() const { return m_entries.empty() ? 0 : 1; }
    explicit operator bool() const { return !m_entries.empty(); }
    bool isValid() const { return !m_entries.empty(); }

    // ---- special slots
    bool isFlag(const QString& key, bool defaultValue) const;
    const XTreeArray& get_tree_array(const QString& key) const;
    XByteArray get_XByteArray(const QString& key) const;
    void set_XByteArray(const QString& key, const XByteArray& bytes);

    // ---- links
    void setLink(const QString& key, XTree* tree);  ///< null tree is a fatal check
    void setLink(const QString& key, const QString& path);
    void pointer_to_URL();  ///< refreshes every link's url from its target
    void URL_to_pointer();  ///< resolves every link's target from its url
    void showLinks(unsigned int indent);

    // ---- structure
    void set_parent_recursive();
    bool isPureXTree() const { return getTypeAsString() == str_XTree; }
    QString keyOf(const XObject* child) const override;
    XObject* objectByKey(const QString& key) override;
    XTree_View treeView() const;
    XCategory category() const override { return XCategory::TREE; }
    virtual QString getTypeAsString() const { return str_XTree; }
    virtual const QString& getType() const { return XTypeSet::str_XTree; }

    // ---- printing
    QString toString(const XTypeSupporter& ts = XTypeSupporter::basicTypes()) const override;
    QString toStringExtended(const XTypeSupporter& ts = XTypeSupporter::basicTypes()) const;  ///< all lines
    void toStream(XStringStream& ss, const XTypeSupporter& ts, unsigned int indent, const QString& name, bool arrow,
                  std::int64_t index) const override;
    void show(const XTypeSupporter& ts, unsigned int indent, const QString& name, bool arrow,
              std::int64_t index) const override;
    void show(unsigned int indent = 0) const;

    // ---- the binary form (see XDataStream)
    bool writeToStream(XDataStream& stream) const;  ///< the body
    bool readFromStream(XDataStream& stream);       ///< the body with its parents; links not resolved
    bool writeToDevice(QIODevice& dev, const XTypeSupporter& ts = XTypeSupporter::basicTypes()) const;
    /// Replaces the tree by the one on the device. A damaged tree gives false and keeps what could
    /// be read (see XDataStream); one whose class name differs from getTypeAsString() is left empty.
    bool readFromDevice(QIODevice& dev, const XTypeSupporter& ts = XTypeSupporter::basicTypes());

    XMem createMem(const XTypeSupporter& ts = XTypeSupporter::basicTypes()) const;
    XByteArray createByteArray(const XTypeSupporter& ts = XTypeSupporter::basicTypes()) const;
    std::uint64_t calc_mem_size(const XTypeSupporter& ts = XTypeSupporter::basicTypes()) const;
    MD5 calc_MD5(const XTypeSupporter& ts = XTypeSupporter::basicTypes()) const;
    QString calc_MD5Sum(const XTypeSupporter& ts = XTypeSupporter::basicTypes()) const;
    XRamInfo createRamInfo(const XTypeSupporter& ts = XTypeSupporter::basicTypes(), bool withMD5 = true) const;
    bool copy(XTree* target, const XTypeSupporter& ts = XTypeSupporter::basicTypes()) const;
    XTree create_copy(const XTypeSupporter& ts = XTypeSupporter::basicTypes()) const;

    XByteArray write_to_compressed_bytes(const XTypeSupporter& ts = XTypeSupporter::basicTypes()) const;
    bool read_from_compressed_bytes(const XByteArray& bytes, const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    QString create_string_base64(const XTypeSupporter& ts = XTypeSupporter::basicTypes()) const;
    static XTree create_tree_from_base64(const QString& text,
                                         const XTypeSupporter& ts = XTypeSupporter::basicTypes());

    /// Files: the loads replace the content. A file that cannot be read (missing, a compressed
    /// block whose digest does not match) leaves the tree empty; a damaged tree gives false and
    /// keeps what could be read.
    bool save(const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    bool saveAsFile(const QString& path, const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    bool loadFromFile(const QString& path, const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    static XTree load(const QString& path, const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    static XTree load(XMem& mem, const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    bool save_as_compressed_file(const QString& path, const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    bool save_as_compressed_file(const QFileInfo& fi, const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    bool load_from_compressed_file(const QString& path, const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    bool load_from_compressed_file(const QFileInfo& fi, const XTypeSupporter& ts = XTypeSupporter::basicTypes());
    const QString& getFilename() const { return m_filename; }
    void setFilename(const QString& path) { m_filename = path; }
    bool isBoundToFile(bool mustExist = false) const;

protected:
    void _move(XTree& other);  ///< takes other's entries; flags, parent and filename stay

private:
    friend class XDataStream;
    XVal& slotFor(const QString& key);  // the entry, created when absent, without messages
    XVal& slotFor(QString&& key);
    static void destroyEntries(Map& entries);

    Map m_entries;
    QString m_filename;
};

}  // namespace zor

#include <zor/inline/XTree_inline.h>
