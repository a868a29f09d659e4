#include <zor/Logger.h>
#include <zor/StringEnum.h>

#include <QStringList>

namespace zor {

StringEnum::StringEnum(const std::vector<QString>& options) {
    QStringList l;
    for (const QString& s : options) l << s;
    m_text = l.join(QLatin1Char(','));
}

StringEnum::~StringEnum() = default;

int StringEnum::index() const {
    const QString first = m_text.section(QLatin1Char(','), 0, 0).trimmed();
    if (first.isEmpty() || !first.at(0).isDigit()) return -1;
    bool ok = false;
    const int i = first.toInt(&ok, 10);
    return ok ? i : -1;
}

std::vector<QString> StringEnum::getVectorStrings() const {
    std::vector<QString> out;
    if (m_text.isEmpty()) return out;
    const QStringList items = m_text.split(QLatin1Char(','));
    const QString first = items.front().trimmed();
    const bool numbered = !first.isEmpty() && first.at(0).isDigit();
    for (int i = numbered ? 1 : 0; i < items.size(); ++i) out.push_back(items.at(i).trimmed());
    return out;
}

QString StringEnum::enumStr() const {
    const int i = index();
    const std::vector<QString> options = getVectorStrings();
    if (i < 0 || static_cast<std::size_t>(i) >= options.size()) return QString();
    return options[static_cast<std::size_t>(i)];
}

void StringEnum::setIndex(int i) {
    if (i < 0) {
        logWarning("StringEnum::setIndex, index:$", i);
        return;
    }
    QString text = QString::number(i);
    for (const QString& s : getVectorStrings()) text += QLatin1Char(',') + s;
    m_text = text;
}

void StringEnum::show(unsigned int indent) const {
    const std::vector<QString> options = getVectorStrings();
    logDebugSpace(indent, "StringEnum, size:$, index:$", static_cast<unsigned int>(options.size()), index());
    for (const QString& s : options) logDebugSpace(indent, "'$'", s);
}

}  // namespace zor
