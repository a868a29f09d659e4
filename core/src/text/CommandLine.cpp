#include <zor/CommandLine.h>
#include <zor/Logger.h>
#include <zor/TextTools.h>
#include <zor/Tokenizer.h>
#include <zor/ZorErrorCodes.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QUrl>
#include <QtDebug>

namespace zor {

CommandLine* CommandLine::cmdMain = nullptr;

namespace {

const QString kDashes = QStringLiteral("--");

bool isKeyWord(const QString& w) { return w.startsWith(kDashes); }

// A word of fromString: its text and whether it stood between double quotes.
struct Word {
    QString text;
    bool quoted;
};

// Splits at blanks and tabs outside double quotes; a quoted part is one word without its quotes
// (two adjacent quotes give an empty word). False when a quote is not closed.
bool splitWords(const QString& text, std::vector<Word>& out) {
    QString cur;
    bool inWord = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            if (inWord) out.push_back(Word{cur, false});
            cur.clear();
            inWord = false;
            const int close = text.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0) return false;
            out.push_back(Word{text.mid(i + 1, close - i - 1), true});
            i = close;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inWord) out.push_back(Word{cur, false});
            cur.clear();
            inWord = false;
        } else {
            cur += c;
            inWord = true;
        }
    }
    if (inWord) out.push_back(Word{cur, false});
    return true;
}

// Splits a URL query at ';' and '&' outside double quotes, each part trimmed. False (and the
// message) when a double quote is not closed.
bool getKeyValsAsArray(const QString& query, QStringList& out) {
    QString cur;
    bool quoted = false;
    for (const QChar c : query) {
        if (c == QLatin1Char('"')) quoted = !quoted;
        if (!quoted && (c == QLatin1Char(';') || c == QLatin1Char('&'))) {
            out << cur.trimmed();
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (quoted) {
        logWarning("::getKeyValsAsArray, string not closed ! - '\" missing !");
        return false;
    }
    out << cur.trimmed();
    return true;
}

// One query part without its surrounding double quotes, percent-decoded.
QString decodePart(const QString& part) {
    QString s = part;
    if (s.size() >= 2 && s.startsWith(QLatin1Char('"')) && s.endsWith(QLatin1Char('"'))) s = s.mid(1, s.size() - 2);
    return QUrl::fromPercentEncoding(s.toUtf8());
}

// Everything but letters, digits and "-._~" is encoded, except the double quote: a URL cannot
// carry one apart from a grouping quote, so it is left for the reader to pair.
// fromURL trims every part after Qt has decoded its blanks, so a text that begins or ends with
// white space is put between double quotes, which protect it.
QString encodePart(const QString& s) {
    const QString enc = QString::fromLatin1(QUrl::toPercentEncoding(s, "\""));
    if (!s.isEmpty() && (s.front().isSpace() || s.back().isSpace())) return QLatin1Char('"') + enc + QLatin1Char('"');
    return enc;
}

void appendKeys(const QString& text, std::vector<QString>& keys) {
    const Tokenizer tok(text, QStringLiteral(","));
    for (const QString& t : tok.tokens()) {
        const QString k = t.trimmed();
        if (!k.isEmpty()) keys.push_back(k);
    }
}

QString shortest(double v) { return QString::number(v, 'g', QLocale::FloatingPointShortest); }

}  // namespace

CommandLine::~CommandLine() = default;

CommandLine& CommandLine::getCMD() {
    if (cmdMain == nullptr) {
        qDebug() << "CommandLine::getCMD(), cmdMain == nullptr";
        static CommandLine empty;
        return empty;
    }
    return *cmdMain;
}

void CommandLine::fromMain(int argc, char* const argv[]) {
    m_program.clear();
    m_command.clear();
    m_items.clear();
    m_words.clear();
    if (argv == nullptr) return;
    if (argc >= 1 && argv[0] != nullptr) m_program = QString::fromLocal8Bit(argv[0]);
    if (argc >= 2 && argv[1] != nullptr) m_command = QString::fromLocal8Bit(argv[1]);
    QString pending;
    bool hasPending = false;
    for (int i = 2; i < argc; ++i) {
        if (argv[i] == nullptr) continue;
        const QString arg = QString::fromLocal8Bit(argv[i]);
        m_words << arg;
        if (isKeyWord(arg)) {
            pending = arg.mid(2);
            hasPending = true;
            if (m_items.count(pending) == 0) m_items.emplace(pending, CommandLineItem(pending, QString()));
        } else if (hasPending) {
            m_items[pending].setValue(arg);
            hasPending = false;
        }
        // a value with no pending key is dropped
    }
}

bool CommandLine::fromString(const QString& text) {
    std::vector<Word> words;
    if (!splitWords(text, words)) {
        logWarning("CommandLine::from_String_old, cannot parse <<<$>>>", text);
        return false;
    }
    // Parsed into copies, so that a failure leaves this command line as it was.
    QString command;
    std::map<QString, CommandLineItem> items = m_items;
    QStringList rest;
    QString pending;
    bool hasPending = false;
    for (const Word& w : words) {
        if (!w.quoted && isKeyWord(w.text)) {
            pending = w.text.mid(2);
            hasPending = true;
            if (items.count(pending) == 0) items.emplace(pending, CommandLineItem(pending, QString()));
            rest << w.text;
        } else if (hasPending) {
            items[pending].setValue(replaceEnv(w.text));
            hasPending = false;
            rest << w.text;
        } else if (!w.quoted && w.text.startsWith(QLatin1Char('-'))) {
            logWarning("CommandLine::from_String_old, cannot parse <<<$>>>", text);
            return false;
        } else {
            command = w.text;
        }
    }
    m_command = command;
    m_items.swap(items);
    m_words = rest;
    return true;
}

bool CommandLine::fromURL(const QString& url) { return fromURL(QUrl(url)); }

bool CommandLine::fromURL(const QUrl& url) {
    if (!url.isValid()) {
        logWarning("CommandLine::fromURL, not valid !");
        return false;
    }
    if (!url.hasQuery()) {
        logWarning("CommandLine::fromURL, no query ....?....");
        return false;
    }
    // Split before decoding, so that an encoded ';' or '&' stays inside its part.
    QStringList parts;
    if (!getKeyValsAsArray(url.query(QUrl::PrettyDecoded), parts)) return false;
    std::map<QString, CommandLineItem> items;
    QStringList words;
    for (int i = 2; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        if (part.isEmpty()) continue;
        const int eq = part.indexOf(QLatin1Char('='));
        QString key = decodePart(eq < 0 ? part : part.left(eq).trimmed());
        const QString value = eq < 0 ? QString() : decodePart(part.mid(eq + 1).trimmed());
        if (key.startsWith(kDashes)) key = key.mid(2);
        items[key] = CommandLineItem(key, value);
        words << kDashes + key;
        if (!value.isEmpty()) words << value;
    }
    m_program = parts.size() > 0 ? decodePart(parts.at(0)) : QString();
    m_command = parts.size() > 1 ? decodePart(parts.at(1)) : QString();
    m_items.swap(items);
    m_words = words;
    return true;
}

QString CommandLine::getProgramName() const {
    QString name = QCoreApplication::applicationName();
    if (name.isEmpty()) name = QFileInfo(m_program).fileName();
    for (const char* ext : {".exe", ".EXE", ".Exe"}) {
        if (name.endsWith(QLatin1String(ext))) {
            name.chop(4);
            break;
        }
    }
    return name;
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

QString CommandLine::getStringExt(const QString& key, const QString& defaultValue) const {
    return replaceEnv(getString(key, defaultValue));
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

unsigned int CommandLine::getUInt(const QString& key, unsigned int defaultValue) const {
    if (!hasKey(key)) return defaultValue;
    bool ok = false;
    const unsigned int v = getArgument(key).toUInt(&ok, 10);
    return ok ? v : 0;
}

unsigned long long CommandLine::getULong(const QString& key, unsigned long long defaultValue) const {
    if (!hasKey(key)) return defaultValue;
    bool ok = false;
    const unsigned long long v = getArgument(key).toULongLong(&ok, 10);
    return ok ? v : 0;
}

float CommandLine::getFloat(const QString& key, float defaultValue) const {
    if (!hasKey(key)) return defaultValue;
    bool ok = false;
    const float v = getArgument(key).toFloat(&ok);
    return ok ? v : 0.0f;
}

double CommandLine::getDouble(const QString& key, double defaultValue) const {
    if (!hasKey(key)) return defaultValue;
    bool ok = false;
    const double v = getArgument(key).toDouble(&ok);
    return ok ? v : 0.0;
}

QFileInfo CommandLine::getFile(const QString& key, const QFileInfo& defaultValue) const {
    return hasKey(key) ? QFileInfo(getArgument(key)) : defaultValue;
}

void CommandLine::setString(const QString& key, const QString& value) { m_items[key] = CommandLineItem(key, value); }

void CommandLine::setBool(const QString& key, bool value) {
    setString(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

void CommandLine::setChar(const QString& key, char value) { setString(key, QString::number(static_cast<int>(value))); }
void CommandLine::setShort(const QString& key, short value) { setString(key, QString::number(value)); }
void CommandLine::setInt(const QString& key, int value) { setString(key, QString::number(value)); }
void CommandLine::setLONG(const QString& key, long long value) { setString(key, QString::number(value)); }
void CommandLine::setFloat(const QString& key, float value) {
    // The fewest digits that read back as the same float, so that 0.1f is written "0.1".
    QString s;
    for (int prec = 1; prec <= 9; ++prec) {
        s = QString::number(static_cast<double>(value), 'g', prec);
        if (s.toFloat() == value) break;
    }
    setString(key, s);
}
void CommandLine::setDouble(const QString& key, double value) { setString(key, shortest(value)); }

void CommandLine::addMustHaveKeys(const QString& text) { appendKeys(text, m_mustHaveKeys); }
void CommandLine::addOptionalKeys(const QString& text) { appendKeys(text, m_optionalKeys); }

bool CommandLine::checkKeys() {
    std::vector<QString> registered = m_mustHaveKeys;
    registered.insert(registered.end(), m_optionalKeys.begin(), m_optionalKeys.end());
    auto resolve = [&](const QString& given, bool shortForm) -> QString {
        for (const QString& k : registered) {
            if (k == given) return k;
        }
        QString found;
        int n = 0;
        for (const QString& k : registered) {
            if (k.startsWith(given) && k != found) {
                found = k;
                ++n;
            }
        }
        if (n == 1) return found;
        return shortForm ? QString() : given;
    };
    QString pending;
    bool hasPending = false;
    for (const QString& w : m_words) {
        QString key;
        bool isKey = false;
        if (isKeyWord(w)) {
            key = resolve(w.mid(2), false);
            isKey = true;
            if (key != w.mid(2) && hasKey(w.mid(2))) {
                // The abbreviation stands for the registered key: move its value over.
                const QString v = getArgument(w.mid(2));
                m_items.erase(w.mid(2));
                setString(key, v);
            }
        } else if (w.size() == 2 && w.at(0) == QLatin1Char('-') && w.at(1) != QLatin1Char('-')) {
            key = resolve(w.mid(1), true);
            isKey = !key.isEmpty();
        }
        if (isKey) {
            pending = key;
            hasPending = true;
            if (!hasKey(key)) setString(key, QString());
        } else if (hasPending) {
            setString(pending, w);
            hasPending = false;
        }
    }
    if (hasKey(QStringLiteral("help"))) return false;
    return getFirstMissingKey().isEmpty();
}

QString CommandLine::getFirstMissingKey() const {
    for (const QString& k : m_mustHaveKeys) {
        if (!hasKey(k)) return k;
    }
    return QString();
}

QString CommandLine::buildCommandLineExample(bool withOptional) const {
    QStringList parts;
    for (const QString& k : m_mustHaveKeys) parts << kDashes + k + QStringLiteral(" arg");
    QString s;
    if (hasCommand()) s = m_command + QLatin1Char(' ');
    s += parts.join(QLatin1Char(' '));
    if (withOptional && !m_optionalKeys.empty()) {
        QStringList opt;
        for (const QString& k : m_optionalKeys) opt << kDashes + k + QStringLiteral(" arg");
        s += QStringLiteral(" [ ") + opt.join(QLatin1Char(' ')) + QStringLiteral(" ]");
    }
    return s;
}

int CommandLine::showExample(const QString& program, const QString& helpText) const {
    const QString missing = getFirstMissingKey();
    if (!hasKey(QStringLiteral("help")) && missing.isEmpty() && !helpText.isEmpty()) return EXIT_ZOR_OK;
    logInfo("missing --$", missing);
    logInfo("example:");
    logInfo("$ $", program, buildCommandLineExample(true));
    for (const QString& line : helpText.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")))) logInfo("$", line);
    return EXIT_ZOR_ARGUMENT;
}

void CommandLine::showParsedArgs(unsigned int level) const {
    detail::logAt(level, 0, "CommandLine::showParsedArgs");
    detail::logAt(level, 0, "CommandLine - program: '$'", m_program);
    detail::logAt(level, 0, "CommandLine - command: '$'", m_command);
    detail::logAt(level, 0, "CommandLine - mapItems-size:$", static_cast<unsigned int>(m_items.size()));
    for (const auto& kv : m_items) detail::logAt(level, 0, "$: '$'", kv.first, kv.second.value());
    detail::logAt(level, 0, "~CommandLine::showParsedArgs");
}

QString CommandLine::toString(FORMAT_STR format) const {
    QString s;
    const bool items = !m_items.empty();
    if (format == FORMAT_PROGRAM) {
        s += m_program;
        if (hasCommand() || items) s += QLatin1Char(' ');
    }
    if (format == FORMAT_PROGRAM || format == FORMAT_COMMAND) {
        s += m_command;
        if (items) s += QLatin1Char(' ');
    }
    for (const auto& kv : m_items) s += kDashes + kv.first + QLatin1Char(' ') + kv.second.value() + QLatin1Char(' ');
    return s;
}

QString CommandLine::toStringURL(FORMAT_STR format) const {
    QStringList parts;
    if (format == FORMAT_PROGRAM) parts << encodePart(m_program);
    if (format == FORMAT_PROGRAM || format == FORMAT_COMMAND) parts << encodePart(m_command);
    for (const auto& kv : m_items) {
        parts << (kv.second.value().isEmpty() ? encodePart(kv.first)
                                               : encodePart(kv.first) + QLatin1Char('=') + encodePart(kv.second.value()));
    }
    return parts.join(QLatin1Char(';'));
}

}  // namespace zor
