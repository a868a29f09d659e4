#pragma once
/// \zclass{FirstLine,net} The first line of an HTTP/1.x message ("GET /a HTTP/1.1" or "HTTP/1.1 404 Not Found")
/// and its tokens, split at blank and tab. A request line has exactly three tokens (method,
/// resource, version); a response line at least two (version, status code, reason words).
///
/// The tokens always follow the line: setLine counts them, and the line is split into token texts
/// the first time one is asked for (a parser that only needs the count or the status code never
/// allocates them). A plain value (copyable, movable), used by one thread at a time, const access
/// included.
#include <zor/Tokenizer.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT FirstLine {
public:
    enum REQUEST_TYPE { GET = 0, POST = 1, HEAD = 2, NOT_SUPPORTED = 3 };

    FirstLine() = default;
    explicit FirstLine(const QString& line) { setLine(line); }

    void setLine(const QString& line);
    const QString& getLine() const { return m_line; }
    bool isEmpty() const { return m_line.isEmpty(); }

    /// Three tokens: true; otherwise false with two log lines.
    bool scanRequestLine();
    /// At least two tokens: the second is read as the status code (0 when it is no number), true.
    bool scanResponseLine();

    /// The method of a three-token line; GET (logged) for another count, NOT_SUPPORTED (logged) for
    /// a method other than GET, POST and HEAD in any case.
    REQUEST_TYPE getRequestType() const;
    QString getResource() const;  ///< the second of three tokens, else empty (logged)
    bool isHttp1() const;         ///< three tokens and the version is exactly "HTTP/1.0"
    bool isHttp11() const;        ///< ... "HTTP/1.1"
    bool isHttp2() const;         ///< ... "HTTP/2"

    /// Stores code and makes the line "HTTP/1.0 <code> OK".
    void setAnswerCode(unsigned int code);
    unsigned int getCode() const { return m_code; }
    bool isRequest() const { return m_code > 0; }  ///< whether a status code is stored
    const Tokenizer& tokens() const;
    /// The number of tokens, without splitting the line.
    unsigned int tokenCount() const { return m_count; }

private:
    bool isVersion(const char* method, const char* version) const;

    QString m_line;
    unsigned int m_code = 0;
    unsigned int m_count = 0;
    bool m_surrogates = false;  // the line holds UTF-16 surrogates (the splitter then reads it as UTF-8)
    // Filled from m_line on first use (m_split false until then).
    mutable Tokenizer m_toks;
    mutable bool m_split = true;
};

}  // namespace zor
