#pragma once
/// \zclass{CommandLine,program} A program's arguments as program, command and "--key value" items:
/// \code zor compress --in a.txt --out a.z \endcode
/// gives program "zor", command "compress" and the keys in and out. A key given without a value
/// reads as an empty text (and as false for isBool). Parsed from main's arguments, from one string
/// (double quotes keep blanks inside a word) or from a URL query (parts separated by ';' or '&').
///
/// Parsing never fails loudly: a bad string or URL gives false and one log line, and leaves the
/// command line as it was. Typed getters never fail: an absent key gives the caller's default, a
/// value that does not convert gives 0.
///
/// Copyable and movable; not shared between threads while it is being changed. cmdMain, the
/// program's main command line, is set once at start-up before other threads read it.
#include <zor/CommandLineItem.h>
#include <zor/LogLevel.h>
#include <zor/zor_export.h>

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

class QUrl;

namespace zor {

class ZOR_EXPORT CommandLine {
public:
    /// The layout of toString and toStringURL: with the program, from the command on, or the items only.
    enum FORMAT_STR : int { FORMAT_PROGRAM = 0, FORMAT_COMMAND = 1, FORMAT_ITEMS = 2 };

    /// The program's main command line (not owned); getCMD() gives it.
    static CommandLine* cmdMain;
    static CommandLine& getCMD();

    CommandLine() = default;
    CommandLine(int argc, char* const argv[]) { fromMain(argc, argv); }
    virtual ~CommandLine();
    CommandLine(const CommandLine&) = default;
    CommandLine(CommandLine&&) = default;
    CommandLine& operator=(const CommandLine&) = default;
    CommandLine& operator=(CommandLine&&) = default;

    /// argv[0] is the program, argv[1] the command, then "--key" and values; a value with no key
    /// before it is dropped, a key given twice keeps the last value given to it.
    void fromMain(int argc, char* const argv[]);
    /// The same grammar from one string; the program stays, the command is replaced, items already
    /// present are kept. Values get $(NAME) environment references replaced. An unclosed quote or a
    /// word beginning with a single '-' where a command would stand gives false.
    bool fromString(const QString& text);
    /// "scheme:...?program;command;key=value;key2=value2" ('&' separates as well; a double-quoted
    /// part may hold either separator). A key may be written with or without its leading "--".
    bool fromURL(const QString& url);
    bool fromURL(const QUrl& url);

    const QString& getProgram() const { return m_program; }
    void setProgram(const QString& s) { m_program = s; }
    /// The application's name without a trailing ".exe", ".EXE" or ".Exe"; when the application has
    /// no name, the file name of the program.
    QString getProgramName() const;
    const QString& getCommand() const { return m_command; }
    void setCommand(const QString& s) { m_command = s; }
    bool hasCommand() const { return !m_command.isEmpty(); }

    bool hasKey(const QString& key) const { return m_items.count(key) != 0; }
    bool operator[](const QString& key) const { return hasKey(key); }
    std::vector<CommandLineItem> getItems() const;  ///< in key order
    void removeKey(const QString& key) { m_items.erase(key); }

    QString getString(const QString& key, const QString& defaultValue = QString()) const;
    /// getString with $(NAME) environment references replaced.
    QString getStringExt(const QString& key, const QString& defaultValue = QString()) const;
    /// Absent: the default; present: true exactly for "true", "TRUE", "on", "ON" and "1".
    bool isBool(const QString& key, bool defaultValue) const;
    bool getBool(const QString& key, bool defaultValue) const { return isBool(key, defaultValue); }
    /// Absent: the default; present: the value in base 10, or 0 when it does not convert.
    int getInt(const QString& key, int defaultValue) const;
    unsigned int getUInt(const QString& key, unsigned int defaultValue) const;
    unsigned long long getULong(const QString& key, unsigned long long defaultValue) const;
    float getFloat(const QString& key, float defaultValue) const;
    double getDouble(const QString& key, double defaultValue) const;
    QFileInfo getFile(const QString& key, const QFileInfo& defaultValue) const;
    bool isString(const QString& key, const QString& s) const { return hasKey(key) && getArgument(key) == s; }

    void setString(const QString& key, const QString& value);
    void setBool(const QString& key, bool value);  ///< "true" or "false"
    void setChar(const QString& key, char value);  ///< the decimal number
    void setShort(const QString& key, short value);
    void setInt(const QString& key, int value);
    void setLONG(const QString& key, long long value);
    void setFloat(const QString& key, float value);  ///< shortest text that reads back the same
    void setDouble(const QString& key, double value);

    /// Comma-separated key lists that a program requires and accepts in addition.
    void addMustHaveKeys(const QString& text);
    void addOptionalKeys(const QString& text);
    const std::vector<QString>& getMustHaveKeys() const { return m_mustHaveKeys; }
    const std::vector<QString>& getOptionalKeys() const { return m_optionalKeys; }
    /// Reads the arguments again with the registered keys in mind: "-k" stands for the one
    /// registered key beginning with k, "--pre" for the one registered key beginning with pre (a
    /// key that is registered as given always stands for itself; an abbreviation that fits several
    /// keys, or none, stays as written). False when "help" was asked for or a must-have key is missing.
    bool checkKeys();
    QString getFirstMissingKey() const;  ///< empty when every must-have key is present
    /// "run --in arg --out arg [ --v arg ]"
    QString buildCommandLineExample(bool withOptional) const;
    /// With "help" present or a must-have key missing (or an empty help text): logs the first
    /// missing key, an example and the help text, and gives 6 (argument problem); otherwise 0.
    int showExample(const QString& program, const QString& helpText) const;

    void showParsedArgs(unsigned int level = DEBUG) const;
    /// "program command --key value --key2 value2 " (see FORMAT_STR for what is left out).
    QString toString(FORMAT_STR format = FORMAT_PROGRAM) const;
    /// The query form that fromURL reads: "program;command;key=value;..." with every part
    /// percent-encoded. Double quotes stay as they are, so a value with an unpaired one does not
    /// read back.
    QString toStringURL(FORMAT_STR format = FORMAT_PROGRAM) const;

protected:
    QString getArgument(const QString& key) const;  ///< the value, or empty

private:
    QString m_program;
    QString m_command;
    std::map<QString, CommandLineItem> m_items;
    std::vector<QString> m_mustHaveKeys;
    std::vector<QString> m_optionalKeys;
    // The words after program and command as they were given, for checkKeys.
    QStringList m_words;
};

}  // namespace zor
