#include <zor/CommandLine.h>

namespace zor {

CommandLine::~CommandLine() = default;

void CommandLine::fromMain(int argc, char* const argv[]) {
    m_program.clear();
    m_command.clear();
    m_items.clear();
    if (argv == nullptr) return;
    if (argc >= 1 && argv[0] != nullptr) m_program = QString::fromLocal8Bit(argv[0]);
    if (argc >= 2 && argv[1] != nullptr) m_command = QString::fromLocal8Bit(argv[1]);
    QString pending;
    bool hasPending = false;
    for (int i = 2; i < argc; ++i) {
        if (argv[i] == nullptr) continue;
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1String("--"))) {
            pending = arg.mid(2);
            hasPending = true;
            auto it = m_items.find(pending);
            if (it == m_items.end()) m_items.emplace(pending, CommandLineItem(pending, QString()));
            else it->second.setValue(QString());
        } else if (hasPending) {
            m_items[pending] = CommandLineItem(pending, arg);
            hasPending = false;
        }
        // a value with no pending key is ignored
    }
}

std::vector<CommandLineItem> CommandLine::getItems() const {
    std::vector<CommandLineItem> items;
    items.reserve(m_items.size());
    for (const auto& kv : m_items) items.push_back(kv.second);
    return items;
}

QString CommandLine::getArgument(const QString& key) const {
    const auto it = m_items.find(key);
    return it == m_items.end() ? QString() : it->second.value();
}

QString CommandLine::getString(const QString& key, const QString& defaultValue) const {
    return hasKey(key) ? getArgument(key) : defaultValue;
}

bool CommandLine::isBool(const QString& key, bool defaultValue) const {
    if (!hasKey(key)) return defaultValue;
    const QString v = getArgument(key);
    return v == QLatin1String("true") || v == QLatin1String("TRUE") || v == QLatin1String("on") ||
           v == QLatin1String("ON") || v == QLatin1String("1");
}

int CommandLine::getInt(const QString& key, int defaultValue) const {
    if (!hasKey(key)) return defaultValue;
    bool ok = false;
    const int v = getArgument(key).toInt(&ok, 10);
    return ok ? v : 0;
}

void CommandLine::setString(const QString& key, const QString& value) { m_items[key] = CommandLineItem(key, value); }

void CommandLine::setBool(const QString& key, bool value) {
    setString(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

void CommandLine::setInt(const QString& key, int value) { setString(key, QString::number(value)); }

}  // namespace zor
