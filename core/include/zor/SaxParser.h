#pragma once
/// \zclass{SaxParser,xml} The scanner with a file name, accepting every event. Derive from it and override the
/// callbacks that matter (the tree builder overrides the text and element events).
/// \code
///   struct Counter : SaxParser { int n = 0;
///       bool inspectTypeAttribs(const QString&, const std::map<QString, QString>&, int) override
///       { ++n; return true; } };
///   Counter c;  c.set_QByteArray(bytes);  XNode_Parse_Control ctl;  bool ok = c.parse(ctl);
/// \endcode
/// One object scans one text once, on one thread.
#include <zor/AbstractSaxHelper.h>
#include <zor/zor_export.h>

#include <QByteArray>
#include <QString>

namespace zor {

class ZOR_EXPORT SaxParser : public AbstractSaxHelper {
public:
    SaxParser();
    ~SaxParser() override;

    void setFile(const QString& name) { m_file = name; }
    QString getFile() const { return m_file; }
    /// Stores the name, then reads the file as UTF-8 text; false when it gives no text.
    bool readFile(const QString& path);
    /// Decodes UTF-8 and installs the text.
    void set_QByteArray(const QByteArray& utf8);
    /// Installs a text that is already decoded.
    void setString(const QString& text) { setBuffer(text); }
    using AbstractSaxHelper::parse;

    void inspectDefinition(const QString& text) override;
    void inspectCommend(const QString& text, int depth) override;
    void inspectText(const QString& text, int depth) override;
    bool inspectTypeAttribs(const QString& tag, const std::map<QString, QString>& attributes, int depth) override;

protected:
    QString m_file;
};

}  // namespace zor
