#include <zor/Logger.h>
#include <zor/TextTools.h>
#include <zor/XArgs.h>

#include <QStringList>

namespace zor {

XArgs::~XArgs() = default;

bool XArgs::fromString(const QString& text) {
    // Words, split at blanks and tabs outside quotes. quotedOnly marks a word that was nothing
    // but one quoted part, so that a quoted "--x" is a value, never a key.
    struct Word {
        QString text;
        bool quoted;
    };
    std::vector<Word> words;
    QString cur;
    bool inWord = false;
    bool quoted = false;
    QChar quote;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quote.isNull() && (c == QLatin1Char('"') || c == QLatin1Char('\''))) {
            quote = c;
            inWord = true;
            quoted = cur.isEmpty();
        } else if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            else cur += c;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inWord) words.push_back(Word{cur, quoted});
            cur.clear();
            inWord = false;
            quoted = false;
        } else {
            cur += c;
            inWord = true;
            quoted = false;
        }
    }
    if (!quote.isNull()) {
        logWarning("XArgs::from_String_old, string not closed '$'", text);
        return false;
    }
    if (inWord) words.push_back(Word{cur, quoted});

    std::map<QString, QString> map = m_map;
    QString pending;
    bool hasPending = false;
    for (const Word& w : words) {
        if (!w.quoted && w.text.startsWith(QLatin1String("--"))) {
            if (w.text.size() == 2) {
                logWarning("XArgv::from_String_old, -- without key is not allowed !");
                return false;
            }
            pending = w.text.mid(2);
            hasPending = true;
            map[pending] = QString();
        } else if (hasPending) {
            map[pending] = w.text;
            hasPending = false;
        }
    }
    m_map.swap(map);
    return true;
}

QString XArgs::operator[](const QString& key) const {
    const auto it = m_map.find(key);
    return it == m_map.end() ? QString() : it->second;
}

QString XArgs::replacedEnvironment(const QString& s) { return replaceEnv(s); }

void XArgs::show(unsigned int level) const {
    detail::logAt(level, 0, "XArgs, size:$", static_cast<unsigned int>(m_map.size()));
    for (const auto& kv : m_map) detail::logAt(level, 0, "--$ '$'", kv.first, kv.second);
}

QString XArgs::toString() const {
    QStringList parts;
    for (const auto& kv : m_map) {
        QString v = kv.second;
        if (v.isEmpty() || v.startsWith(QLatin1Char('-')) || v.contains(QLatin1Char(' ')) ||
            v.contains(QLatin1Char('\t')) || v.contains(QLatin1Char('"')) || v.contains(QLatin1Char('\''))) {
            // A value with a double quote goes between single quotes, any other between double
            // ones (so a value holding both kinds does not read back).
            const QChar q = v.contains(QLatin1Char('"')) ? QLatin1Char('\'') : QLatin1Char('"');
            v = q + v + q;
        }
        parts << QStringLiteral("--") + kv.first + QLatin1Char(' ') + v;
    }
    return parts.join(QLatin1Char(' '));
}

}  // namespace zor
