#pragma once
/// \zclass{XStringStream,global} A QTextStream with the library's fixed settings (UTF-8 codec, fixed notation for
/// real numbers at the default precision of six decimals) plus a few printing helpers. The string,
/// array or device given to a constructor is not owned and must outlive the stream.
#include <zor/zor_export.h>

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QTextStream>
#include <cstdio>

namespace zor {

class ZOR_EXPORT XStringStream : public QTextStream {
public:
    /// Real number notation of the streams that take the library's settings; never changed here.
    static QTextStream::RealNumberNotation defaultNumberNotation;

    XStringStream();                   ///< an internal byte array, read-write; library settings
    explicit XStringStream(QString& s);  ///< that string, read-write; library settings
    explicit XStringStream(QIODevice* device);  ///< library settings
    /// Plain QTextStream defaults:
    XStringStream(QString* s, QIODevice::OpenMode mode);
    XStringStream(QByteArray* a, QIODevice::OpenMode mode);
    XStringStream(const QByteArray& a, QIODevice::OpenMode mode);
    XStringStream(FILE* f, QIODevice::OpenMode mode);
    virtual ~XStringStream();

    void print(const QString& text);
    void print(const char* text);  ///< null writes "nullptr"
    void print(unsigned int indent, const QString& text);
    void print(unsigned int indent, const char* text);
    void println(const QString& text);
    void println(const char* text);
    void println(unsigned int indent, const QString& text);
    void println(unsigned int indent, const char* text);
    void appendF(const char* text);  ///< null writes nothing

    /// Everything written so far (flushes, then reads from the start).
    QString toString();
    bool isOK() const;
    QString statusToString() const;
    void showStatus(unsigned int space);

private:
    void applyLibrarySettings();
};

}  // namespace zor
