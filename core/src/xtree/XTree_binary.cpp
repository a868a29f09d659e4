#include <zor/XTree.h>

#include <zor/ClockFunctions.h>
#include <zor/FatalChecks.h>
#include <zor/FileReader.h>
#include <zor/FileWriter.h>
#include <zor/Logger.h>
#include <zor/XDataStream.h>
#include <zor/XFileMapper.h>
#include <zor/XNullDevice.h>

#include "MemoryDevice.h"

#include <QBuffer>
#include <QFileInfo>
#include <typeinfo>

namespace zor {

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
