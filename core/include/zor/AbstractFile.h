#pragma once
/// \zclass{AbstractFile,io} The common base of the directory and file nodes of a scanned tree (XNodeDir,
/// XNodeFile). A node keeps its absolute path in the attribute "path" and its display state in a
/// flag word: directory, directory read, collapsed, mouse hover.
///
/// path(base): with an empty base the stored path; otherwise a stored absolute path as it is and a
/// relative one joined to base ("/data" or a resource base ":/icons"; a trailing '/' of base is not
/// doubled).
///
/// Ownership and threads as XNode: the parent owns the node; one thread at a time uses a tree. The
/// flag word itself is atomic, so a viewer may read the flags while another thread sets them.
#include <zor/AtomicBits.h>
#include <zor/XNode.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT AbstractFile : public XNode {
public:
    enum FLAGS : unsigned int { FLAG_DIR = 2, FLAG_DIR_READ = 4, FLAG_COLLAPSED = 8, FLAG_MOUSE_HOVER = 16 };

    AbstractFile() = default;
    ~AbstractFile() override;

    virtual bool isDir() const { return m_flags == FLAG_DIR; }
    virtual bool isDirRead() const { return m_flags == FLAG_DIR_READ; }
    virtual bool isCollapsed() const { return m_flags == FLAG_COLLAPSED; }
    virtual bool isMouseHoover() const { return m_flags == FLAG_MOUSE_HOVER; }
    virtual void setDirRead(bool on) { m_flags.set_flag(FLAG_DIR_READ, on, false, true); }
    /// doEmit: tell the flag word's listeners (a view that redraws).
    virtual void setCollapsed(bool on, bool doEmit) { m_flags.set_flag(FLAG_COLLAPSED, on, doEmit, true); }
    virtual void setMouseHoover(bool on) { m_flags.set_flag(FLAG_MOUSE_HOVER, on, false, true); }
    QString toString() const override;  ///< the name

    void setPath(const QString& path) { setString(QStringLiteral("path"), path); }
    QString path(const QString& base) const;
    QString fileName() const;  ///< the last part of the stored path
    AtomicBits& flags() { return m_flags; }

protected:
    AtomicBits m_flags;
};

}  // namespace zor
