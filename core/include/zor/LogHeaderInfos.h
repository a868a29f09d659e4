#pragma once
/// \zclass{LogHeaderInfos,log} The logger's start-up header, an ordered list of INFO lines that it owns.
#include <zor/zor_export.h>

#include <QList>
#include <QString>

namespace zor {

class LogMessageString;

class ZOR_EXPORT LogHeaderInfos {
public:
    LogHeaderInfos();  ///< builds the standard header lines (process, machine, versions)
    ~LogHeaderInfos();
    LogHeaderInfos(const LogHeaderInfos&) = delete;
    LogHeaderInfos& operator=(const LogHeaderInfos&) = delete;

    void addString(const QString& text);
    void addLogMessage(LogMessageString* msg);  ///< takes ownership
    QList<LogMessageString*>::const_iterator begin() const { return m_lines.begin(); }
    QList<LogMessageString*>::const_iterator end() const { return m_lines.end(); }
    int size() const { return m_lines.size(); }

private:
    QList<LogMessageString*> m_lines;
};

}  // namespace zor
