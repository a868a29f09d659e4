#pragma once
// CommandLine: a program's arguments as program, command and "--key value" items:
//   zor compress --in a.txt --out a.z
// gives program "zor", command "compress" and the keys in and out. A key given without a value
// reads as an empty text (and as false for isBool). Copyable; not shared between threads while
// it is being changed.
#include <zor/CommandLineItem.h>
#include <zor/zor_export.h>

#include <QString>
#include <map>
#include <vector>

namespace zor {

class ZOR_EXPORT CommandLine {
public:
    CommandLine() = default;
    CommandLine(int argc, char* const argv[]) { fromMain(argc, argv); }
    virtual ~CommandLine();
    CommandLine(const CommandLine&) = default;
    CommandLine(CommandLine&&) = default;
    CommandLine& operator=(const CommandLine&) = default;
    CommandLine& operator=(CommandLine&&) = default;

    void fromMain(int argc, char* const argv[]);

    const QString& getProgram() const { return m_program; }
    void setProgram(const QString& s) { m_program = s; }
    const QString& getCommand() const { return m_command; }
    void setCommand(const QString& s) { m_command = s; }
    bool hasCommand() const { return !m_command.isEmpty(); }

    bool hasKey(const QString& key) const { return m_items.count(key) != 0; }
    bool operator[](const QString& key) const { return hasKey(key); }
    std::vector<CommandLineItem> getItems() const;

    QString getString(const QString& key, const QString& defaultValue = QString()) const;
    // Absent: the default; present: true exactly for "true", "TRUE", "on", "ON" and "1".
    bool isBool(const QString& key, bool defaultValue) const;
    bool getBool(const QString& key, bool defaultValue) const { return isBool(key, defaultValue); }
    int getInt(const QString& key, int defaultValue) const;  // 0 when the value is no number
    bool isString(const QString& key, const QString& s) const { return hasKey(key) && getArgument(key) == s; }

    void setString(const QString& key, const QString& value);
    void setBool(const QString& key, bool value);
    void setInt(const QString& key, int value);

protected:
    QString getArgument(const QString& key) const;  // the value, or empty

private:
    QString m_program;
    QString m_command;
    std::map<QString, CommandLineItem> m_items;
};

}  // namespace zor
