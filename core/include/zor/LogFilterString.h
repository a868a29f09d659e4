#pragma once
/// \zclass{LogFilterString,log} Matches messages whose text contains a given text (optionally ignoring case);
/// negated, it matches those that do not. A null message never matches.
#include <zor/LogFilter.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT LogFilterString : public LogFilter {
public:
    LogFilterString(const QString& filter, bool ignoreCase, bool negated);
    bool matchLogMessage(const LogMessage* msg) const override;
    QString toString() const override;  ///< "isIgnoreCase:true, filter 'ERR'"

    const QString& stringFilter() const { return filter; }
    void setStringFilter(const QString& text);
    bool isIgnoreCase() const { return ignoreCase; }
    void setIgnoreCase(bool on);

private:
    QString filter;
    bool ignoreCase;
    QString upperFilter;  // filter in upper case, for ignoreCase
};

}  // namespace zor
