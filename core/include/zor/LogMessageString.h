#pragma once
/// \zclass{LogMessageString,log} A log message with a text. The variadic constructor builds the text with the
/// '$' rule (xformat). Level DEBUG until the logger or a helper sets another.
#include <zor/LogMessage.h>
#include <zor/xformat.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT LogMessageString : public LogMessage {
public:
    LogMessageString();
    explicit LogMessageString(const QString& text);
    explicit LogMessageString(QString&& text);
    LogMessageString(const LogMessageString& other);
    LogMessageString(LogMessageString&& other) noexcept;
    template <typename A, typename... Args>
    LogMessageString(const char* format, const A& a, const Args&... args)
        : LogMessageString(xformat(format, a, args...)) {}
    explicit LogMessageString(const char* text) : LogMessageString(xformat(text)) {}
    ~LogMessageString() override;

    LogMessage* createCopy() const override;
    QString toString() override { return m_text; }
    const QString& text() const { return m_text; }
    unsigned long long getSize() const override;  // + 10 + 2 per UTF-16 unit

private:
    friend class Logger;  // the logger thread fills one message per record it renders
    QString m_text;
};

}  // namespace zor
