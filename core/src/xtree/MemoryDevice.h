#pragma once
// A random-access QIODevice over a fixed block of memory (a mapped file, an XMem), so that the
// tree stream can write into and read from it without a copy. Writes past the end are short.
// Internal to the tree code.
#include <QIODevice>
#include <cstring>

namespace zor {

class MemoryDevice : public QIODevice {
public:
    MemoryDevice(char* p, qint64 size) : m_write(p), m_read(p), m_size(size) {
        open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    }
    MemoryDevice(const char* p, qint64 size) : m_read(p), m_size(size) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    const char* memory() const { return m_read; }
    char* writableMemory() const { return m_write; }  // null for a read-only block
    qint64 size() const override { return m_size; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 n = qMin(maxSize, m_size - pos());
        if (n <= 0) return m_size > pos() ? 0 : -1;
        std::memcpy(data, m_read + pos(), static_cast<std::size_t>(n));
        return n;
    }
    qint64 writeData(const char* data, qint64 maxSize) override {
        if (m_write == nullptr) return -1;
        const qint64 n = qMin(maxSize, m_size - pos());
        if (n <= 0) return -1;
        std::memcpy(m_write + pos(), data, static_cast<std::size_t>(n));
        return n;
    }

private:
    char* m_write = nullptr;
    const char* m_read = nullptr;
    qint64 m_size = 0;
};

}  // namespace zor
