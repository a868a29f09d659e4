#include <zor/XStringStream.h>

#include <zor/Logger.h>

namespace zor {

QTextStream::RealNumberNotation XStringStream::defaultNumberNotation = QTextStream::FixedNotation;

XStringStream::XStringStream() : QTextStream(QByteArray(), QIODevice::ReadWrite) { applyLibrarySettings(); }

XStringStream::XStringStream(QString& s) : QTextStream(&s, QIODevice::ReadWrite) { applyLibrarySettings(); }

XStringStream::XStringStream(QIODevice* device) : QTextStream(device) { applyLibrarySettings(); }

XStringStream::XStringStream(QString* s, QIODevice::OpenMode mode) : QTextStream(s, mode) {}

XStringStream::XStringStream(QByteArray* a, QIODevice::OpenMode mode) : QTextStream(a, mode) {}

XStringStream::XStringStream(const QByteArray& a, QIODevice::OpenMode mode) : QTextStream(a, mode) {}

XStringStream::XStringStream(FILE* f, QIODevice::OpenMode mode) : QTextStream(f, mode) {}

XStringStream::~XStringStream() = default;

void XStringStream::applyLibrarySettings() {
    setCodec("UTF-8");
    setRealNumberNotation(defaultNumberNotation);
}

void XStringStream::print(const QString& text) { *this << text; }

void XStringStream::print(const char* text) {
    if (text == nullptr) *this << "nullptr";
    else *this << text;
}

void XStringStream::print(unsigned int indent, const QString& text) {
    *this << QString(static_cast<int>(indent), QLatin1Char(' '));
    print(text);
}

void XStringStream::print(unsigned int indent, const char* text) {
    *this << QString(static_cast<int>(indent), QLatin1Char(' '));
    print(text);
}

void XStringStream::println(const QString& text) {
    print(text);
    *this << "\n";
}

void XStringStream::println(const char* text) {
    print(text);
    *this << "\n";
}

void XStringStream::println(unsigned int indent, const QString& text) {
    print(indent, text);
    *this << "\n";
}

void XStringStream::println(unsigned int indent, const char* text) {
    print(indent, text);
    *this << "\n";
}

void XStringStream::appendF(const char* text) {
    if (text != nullptr) *this << text;
}

QString XStringStream::toString() {
    flush();
    seek(0);
    return readAll();
}

bool XStringStream::isOK() const { return status() == QTextStream::Ok; }

QString XStringStream::statusToString() const {
    switch (status()) {
        case QTextStream::Ok: return QStringLiteral("Ok");
        case QTextStream::ReadPastEnd: return QStringLiteral("ReadPastEnd");
        case QTextStream::ReadCorruptData: return QStringLiteral("ReadCorruptData");
        case QTextStream::WriteFailed: return QStringLiteral("WriteFailed");
    }
    return QStringLiteral("unknown");
}

void XStringStream::showStatus(unsigned int space) { logDebugSpace(space, "XStringStream, Status:$", statusToString()); }

}  // namespace zor
