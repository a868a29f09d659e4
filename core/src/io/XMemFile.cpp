#include <zor/XMemFile.h>

#include <zor/FileReader.h>
#include <zor/Logger.h>

#include <QFile>

namespace zor {

XMemFile::XMemFile(XMemFile&& other) noexcept : XMem(std::move(other)), m_mime(std::move(other.m_mime)) {
    other.m_mime.clear();
}

XMemFile& XMemFile::operator=(XMemFile&& other) noexcept {
    if (this == &other) return *this;
    XMem::operator=(std::move(other));
    m_mime = std::move(other.m_mime);
    other.m_mime.clear();
    return *this;
}

XMemFile::~XMemFile() = default;

bool XMemFile::setString(const char* text) {
    m_mime.clear();
    return XMem::setString(text);
}

bool XMemFile::set_raw_data(const void* pMem, std::size_t sz) {
    m_mime.clear();
    return XMem::set_raw_data(pMem, sz);
}

void XMemFile::clear() {
    m_mime.clear();
    XMem::clear();
}

bool XMemFile::loadFromFile(const QString& name, std::size_t szPart) {
    if (szPart == 0) {
        m_mime = XMimeType::fromFileExtension(QFileInfo(name).suffix().toLower());
        m_mime.setURL(name);
    }
    // As XMem::loadFromFile, with its own line for a file that cannot be opened.
    constexpr const char* kCannotOpen = "XFileMem::loadFromFile, cannot open file '$' for reading";
    logInfo("XMem::loadFromFile, # s:'$', szPart:$", name, static_cast<unsigned long long>(szPart));
    return FileReader::readWholeFile<XMem>(*this, name, szPart, {kCannotOpen, kCannotOpen, false, false, false, false, false});
}

QString XMemFile::fromFile(const QString& name) {
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly)) {
        logError("XMemFile::load, cannot load_thumb <<<$>>>, return empty QString", name);
        return QString();
    }
    return QString::fromUtf8(f.readAll());
}

QString XMemFile::fromFile(const QFileInfo& fi) { return fromFile(fi.absoluteFilePath()); }

QString XMemFile::asString() const {
    if (mem() == nullptr) return QString();
    return QString::fromUtf8(mem(), static_cast<int>(size()));
}

}  // namespace zor
