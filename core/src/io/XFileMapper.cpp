#include <zor/XFileMapper.h>

#include <zor/Logger.h>

#include "platform/Platform.h"

#include <algorithm>
#include <climits>

namespace zor {

XFileMapper::XFileMapper() {
    if (isDebug()) logDebug("XFileMapper::XFileMapper");
}

// The parent is taken for the callers' sake only: the mapper owns its QFile as a member.
XFileMapper::XFileMapper(const QString& name, QObject* /*parent*/) : m_file(name) {
    if (isDebug()) logDebug("XFileMapper::XFileMapper, sFilename:'$'", name);
}

XFileMapper::XFileMapper(const QFileInfo& fi, QObject* /*parent*/) : m_file(fi.absoluteFilePath()) {
    if (isDebug()) logDebug("XFileMapper::XFileMapper, fi:'$'", fi.absoluteFilePath());
}

XFileMapper::~XFileMapper() {
    if (isDebug()) logDebug("XFileMapper::~XFileMapper");
    if (pMap != nullptr) unMap();
}

bool XFileMapper::openMode(QIODevice::OpenMode mode, const char* alreadyMapped) {
    if (pMap != nullptr) {
        logError(alreadyMapped);
        return false;
    }
    if (m_file.isOpen()) m_file.close();
    m_sizeChangeLogged = false;
    return m_file.open(mode);
}

bool XFileMapper::mapReadOnly() { return openMode(QIODevice::ReadOnly, "XFileMapper::mapReadOnly, already mapped !"); }

bool XFileMapper::mapReadWrite() {
    return openMode(QIODevice::ReadWrite, "XFileMapper::mapReadWrite, already mapped !");
}

char* XFileMapper::mapNow() const {
    if (isDebug()) logDebug("XFileMapper::mem");
    if (!m_file.isOpen()) {
        logError("XFileMapper::mem, forgot to call 'mapReadOnly' ?");
        return nullptr;
    }
    if (pMap == nullptr) {
        const qint64 size = m_file.size();
        if (size <= 0) return nullptr;  // nothing to map in an empty file
        const bool readOnly = (m_file.openMode() & QIODevice::WriteOnly) == 0;
        if (m_sequential && readOnly) {
            const unsigned long long ram = platform::physicalMemory();
            const bool populate = ram > 0 && static_cast<unsigned long long>(size) <= ram / 4;
            pMap = static_cast<uchar*>(
                platform::mapFileSequential(m_file.handle(), static_cast<std::size_t>(size), populate));
            m_ownMap = pMap != nullptr;
        }
        if (pMap == nullptr) pMap = m_file.map(0, size);
        if (pMap == nullptr) {
            logError("XFileMapper::mem, cannot map '$', $", m_file.fileName(), m_file.errorString());
            return nullptr;
        }
        m_mapLen = static_cast<std::size_t>(size);
    }
    return reinterpret_cast<char*>(pMap);
}

const char* XFileMapper::mem() const { return mapNow(); }
char* XFileMapper::mem() { return mapNow(); }

bool XFileMapper::unMap() {
    if (pMap == nullptr) {
        logError("XFileMapper::mapReadyOnly, was NOT mapped !");
        return false;
    }
    if (isDebug()) logDebug("XFileMapper::mapReadyOnly, unMap !");
    dropMap();
    m_file.close();
    return true;
}

std::size_t XFileMapper::length() const {
    const qint64 now = m_file.isOpen() ? m_file.size() : QFileInfo(m_file.fileName()).size();
    const std::size_t current = now > 0 ? static_cast<std::size_t>(now) : 0;
    if (pMap == nullptr) return current;
    if (current != m_mapLen && !m_sizeChangeLogged) {
        m_sizeChangeLogged = true;
        logError("XFileMapper::length, '$' changed size while mapped, mapped:$, now:$", m_file.fileName(),
                 static_cast<unsigned long long>(m_mapLen), static_cast<unsigned long long>(current));
    }
    return std::min(current, m_mapLen);
}

const char* XFileMapper::lastChar() const {
    if (pMap == nullptr) {
        logError("XFileMapper::lastChar, pMap == nullptr");
        return nullptr;
    }
    const std::size_t len = length();
    if (len == 0) {
        logError("XFileMapper::lastChar, size() == 0");
        return nullptr;
    }
    return reinterpret_cast<const char*>(pMap) + len - 1;
}

XByteArray XFileMapper::createByteArray() {
    if (pMap == nullptr) {
        logError("XFileMapper::createByteArray, NOT mapped - call");
        return XByteArray();
    }
    const std::size_t len = length();
    if (len > static_cast<std::size_t>(INT_MAX)) {
        logError("XFileMapper::createByteArray, $ bytes are too many for an array", static_cast<unsigned long long>(len));
        return XByteArray();
    }
    return XByteArray(reinterpret_cast<const char*>(pMap), static_cast<int>(len));
}

void XFileMapper::dropMap() const {
    if (pMap == nullptr) return;
    if (m_ownMap) platform::unmapFile(pMap, m_mapLen);
    else m_file.unmap(pMap);
    pMap = nullptr;
    m_mapLen = 0;
    m_ownMap = false;
}

bool XFileMapper::resize(long long size) {
    dropMap();
    m_sizeChangeLogged = false;
    return m_file.isOpen() ? m_file.resize(size) : QFile::resize(m_file.fileName(), size);
}

void XFileMapper::setFileName(const QString& name) {
    if (pMap != nullptr) unMap();
    if (m_file.isOpen()) m_file.close();
    m_file.setFileName(name);
}

}  // namespace zor
