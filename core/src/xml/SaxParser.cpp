#include <zor/SaxParser.h>

namespace zor {

SaxParser::SaxParser() = default;
SaxParser::~SaxParser() = default;

bool SaxParser::readFile(const QString& path) {
    m_file = path;
    return AbstractSaxHelper::readFile(path);
}

void SaxParser::set_QByteArray(const QByteArray& utf8) { setBuffer(QString::fromUtf8(utf8)); }

void SaxParser::inspectDefinition(const QString&) {}
void SaxParser::inspectCommend(const QString&, int) {}
void SaxParser::inspectText(const QString&, int) {}
bool SaxParser::inspectTypeAttribs(const QString&, const std::map<QString, QString>&, int) { return true; }

}  // namespace zor
