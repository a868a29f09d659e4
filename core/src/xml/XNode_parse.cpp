// The loader's entry points: a file (or a resource of the application), a text, bytes or a memory
// block, each through the tree builder. Failures are logged (with where the scanner stopped), the
// partial tree is deleted and null returned; the tree of a success belongs to the caller.
#include "XmlLoading.h"
#include "XmlUtf8.h"

#include <zor/ClockFunctions.h>
#include <zor/FileTools.h>
#include <zor/Logger.h>
#include <zor/XMem.h>
#include <zor/XMemFile.h>
#include <zor/XNode.h>
#include <zor/XNode_Parse_Control.h>
#include <zor/ZorSaxParser.h>

#include <QDir>
#include <QFile>
#include <cstring>

namespace zor {

namespace {

const QString kMemory = QStringLiteral(":MEMORY");

// Every byte, a zero byte included (the plain conversion stops at the first one). The mask tells
// the compiler that the length is never -1 (Qt's "up to the zero" marker), which otherwise trips a
// false out-of-bounds warning.
QString utf8Text(const QByteArray& bytes) {
    return xml_detail::decodeUtf8(bytes.constData(), bytes.size() & 0x7FFFFFFF);
}

// Standard mode: the text of XML bytes in the encoding that their byte-order mark or, without
// one, their declaration names; UTF-8 when neither does. False (and one error line) for an
// encoding this loader does not read.
bool decodeStandard(const QByteArray& bytes, QString& text) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const int n = bytes.size();
    auto utf16 = [&](int from, bool bigEndian) {
        const int units = (n - from) / 2;
        text.resize(units);
        QChar* d = text.data();
        for (int i = 0; i < units; ++i) {
            const unsigned char x = b[from + 2 * i];
            const unsigned char y = b[from + 2 * i + 1];
            d[i] = QChar(static_cast<char16_t>(bigEndian ? (x << 8) | y : (y << 8) | x));
        }
        // Half a surrogate pair names no character: U+FFFD instead, as for broken UTF-8.
        for (int i = 0; i < units; ++i) {
            if (!d[i].isSurrogate()) continue;
            if (d[i].isHighSurrogate() && i + 1 < units && d[i + 1].isLowSurrogate()) {
                ++i;
                continue;
            }
            d[i] = QChar(QChar::ReplacementCharacter);
        }
        return true;
    };
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        text = xml_detail::decodeUtf8(bytes.constData() + 3, n - 3);
        return true;
    }
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE) return utf16(2, false);
    if (n >= 2 && b[0] == 0xFE && b[1] == 0xFF) return utf16(2, true);
    if (n >= 4 && b[0] == '<' && b[1] == 0 && b[2] == '?' && b[3] == 0) return utf16(0, false);
    if (n >= 4 && b[0] == 0 && b[1] == '<' && b[2] == 0 && b[3] == '?') return utf16(0, true);
    QByteArray encoding = "utf-8";
    if (bytes.startsWith("<?xml")) {
        const QByteArray decl = bytes.left(std::max(0, bytes.indexOf("?>"))).left(1024);
        const int at = decl.indexOf("encoding");
        if (at >= 0) {
            int i = at + 8;
            while (i < decl.size() && (decl[i] == ' ' || decl[i] == '=' || decl[i] == '\t')) ++i;
            if (i < decl.size() && (decl[i] == '"' || decl[i] == '\'')) {
                const int end = decl.indexOf(decl[i], i + 1);
                if (end > i) encoding = decl.mid(i + 1, end - i - 1).toLower();
            }
        }
    }
    if (encoding == "utf-8" || encoding == "utf8" || encoding == "us-ascii" || encoding == "ascii") {
        text = utf8Text(bytes);
        return true;
    }
    if (encoding == "iso-8859-1" || encoding == "iso8859-1" || encoding == "latin1" || encoding == "latin-1") {
        text = QString::fromLatin1(bytes.constData(), n);
        return true;
    }
    logError("XNode::parse, encoding '$' is not read (UTF-8, UTF-16 with a byte-order mark, ISO-8859-1)",
             QString::fromLatin1(encoding));
    return false;
}

ZorSaxParser::Stop stopOf(const ZorSaxParser& p, const QString& file) {
    const AbstractSaxHelper::TextPosition pos = p.textPosition();
    return ZorSaxParser::Stop{file, pos.line, pos.column};
}

// parseString and parseQByteArray: the text through a builder with a private control.
XNode* parseText(const QString& text, XmlNodeCreator* creator, const char* failText, const char* whereText,
                 bool standard = false) {
    ZorSaxParser parser(creator);
    parser.setFile(kMemory);
    parser.setString(text);
    parser.setStandard(standard);
    XNode_Parse_Control ctl;
    ctl.listener.enable(false);
    if (!parser.parse(ctl)) {
        const ZorSaxParser::Stop stop = stopOf(parser, kMemory);
        ZorSaxParser::setLastStop(stop);
        logError(failText);
        logError(whereText, stop.line, stop.column);
        delete parser.takeRoot();
        return nullptr;
    }
    ZorSaxParser::setLastStop({});
    XNode* root = parser.takeRoot();
    if (root == nullptr) {
        logError("XNode::parseString, no element found");
        return nullptr;
    }
    root->setFile(kMemory);
    return root;
}

}  // namespace

XNode* XNode::parseFile(const QString& path, const XmlNodeCreator* creator, XNode_Parse_Control* control) {
    if (path.isEmpty()) {
        logError("XNode::parseFile, s.length() == 0 !, no file ?");
        return nullptr;
    }
    XNode_Parse_Control own;
    own.listener.enable(false);
    XNode_Parse_Control& ctl = control != nullptr ? *control : own;
    ctl.cancel = false;
    ctl.percent = 0;
    ctl.timeStart = 0;
    ctl.timeCurrent = 0;
    ctl.nRoot = nullptr;
    ctl.timeStart = getMicroseconds();

    QString file = path;
    QString text;
    if (file.startsWith(QLatin1Char(':'))) {
        Logger::printToCout(QStringLiteral("XNode_parse::parseFile, RESOURCE:'") + file + QLatin1Char('\''));
        QFile res(file);
        if (!res.open(QIODevice::ReadOnly)) {
            logError("XNode::parseFile, problems opening '$'", file);
            return nullptr;
        }
        const QByteArray bytes = res.readAll();
        if (!ctl.standard)
            text = utf8Text(bytes);
        else if (!decodeStandard(bytes, text))
            return nullptr;
    } else if (!file.startsWith(QLatin1Char('/')) && !(file.size() > 1 && file.at(1) == QLatin1Char(':'))) {
        file = QDir::current().absoluteFilePath(file);
    }
    if (file.contains(QLatin1Char('$'))) {
        logDebug("XNode::parseFile, DOLLAR signes where not resolved!");
        return nullptr;
    }
    if (text.isEmpty() && ctl.standard && fileExists(file)) {
        QFile f(file);
        if (f.open(QIODevice::ReadOnly) && !decodeStandard(f.readAll(), text)) return nullptr;
    }
    if (text.isEmpty()) {
        if (!ctl.standard && fileExists(file)) text = xml_detail::fileText(file);
        if (text.isEmpty()) {
            logError("XNode::parseFile,  file '$' does not exist", file);
            return nullptr;
        }
    }

    xml_detail::LoadingGuard loading(file);
    const bool outermost = xml_detail::LoadingGuard::outermost();
    ZorSaxParser parser(creator);
    parser.setFile(file);
    parser.setString(text);
    parser.setStandard(ctl.standard);
    text.clear();  // the parser shares the characters; one owner is enough
    const bool ok = parser.parse(ctl);
    XNode* root = parser.takeRoot();

    // A cancellation wins over the scan's own result: the scan may have ended at the cancel point
    // inside an element (a failure) or run to the end before noticing it.
    if (ctl.cancel) {
        logWarning("XNode::parseFile, cancelled");
        if (root != nullptr) {
            detail::logAt(WARNING, 4, "XNode::parseFile, delete node, return nullptr");
            delete root;
        }
        return nullptr;
    }
    if (ok) {
        if (outermost) ZorSaxParser::setLastStop({});
        ctl.timeCurrent = getMicroseconds();
        ctl.percent = 100;
        ctl.nRoot = root;
        ctl.notifyListeners();
        if (root == nullptr) logError("XNode::parseFile, no element in '$'", file);
        return root;
    }
    const ZorSaxParser::Stop stop = stopOf(parser, file);
    ZorSaxParser::setLastStop(stop);
    logError("XNode::parseFile,2, cannot parse file '$'", file);
    logError("XNode::parseFile, the scanner stopped at line $, column $ of '$'", stop.line, stop.column, file);
    ctl.percent = 100;
    if (root != nullptr) {
        logDebug("XNode::parseFile,3, delete nRoot ( partial parsed stuff )");
        delete root;
    }
    ctl.notifyListeners();
    return nullptr;
}

XNode* XNode::parseFile(const QFileInfo& fi, const XmlNodeCreator* creator, XNode_Parse_Control* control) {
    if (!fi.isFile()) {
        logError("XNode::parseFile <<<$>>> not a file", fi.filePath());
        return nullptr;
    }
    if (!fi.exists()) {
        logError("XNode::parseFile <<<$>>> does not exist", fi.filePath());
        return nullptr;
    }
    return parseFile(fi.absoluteFilePath(), creator, control);
}

XNode* XNode::parseString(const QString& xml, XmlNodeCreator* creator) {
    if (xml.isEmpty()) {
        logError("XNode::parseString, strXmlInMemory.length() == 0");
        return nullptr;
    }
    return parseText(xml, creator, "XNode::parseString, cannot parse memory !",
                     "XNode::parseString, the scanner stopped at line $, column $");
}

XNode* XNode::parseQByteArray(const QByteArray& data, XmlNodeCreator* creator) {
    if (data.isEmpty()) {
        logError("XNode::parseQByteArray, ar.size() == 0");
        return nullptr;
    }
    return parseText(utf8Text(data), creator, "XNode::parseQByteArray, cannot parse memory !",
                     "XNode::parseQByteArray, the scanner stopped at line $, column $");
}

XNode* XNode::parseQByteArray(const QByteArray& data, XmlNodeCreator* creator, XNode_Parse_Control* control) {
    if (control == nullptr || !control->standard) return parseQByteArray(data, creator);
    if (data.isEmpty()) {
        logError("XNode::parseQByteArray, ar.size() == 0");
        return nullptr;
    }
    QString text;
    if (!decodeStandard(data, text)) return nullptr;
    XNode* root = parseText(text, creator, "XNode::parseQByteArray, cannot parse memory !",
                            "XNode::parseQByteArray, the scanner stopped at line $, column $", true);
    control->percent = 100;
    control->nRoot = root;
    return root;
}

XNode* XNode::parseXMem(const XMem& mem, XmlNodeCreator* creator) {
    // The text ends at the first zero byte (a string block ends with one) or with the block.
    const char* data = mem.mem();
    std::size_t n = mem.length();
    if (data != nullptr) {
        const void* zero = std::memchr(data, 0, n);
        if (zero != nullptr) n = static_cast<std::size_t>(static_cast<const char*>(zero) - data);
    }
    const int len = static_cast<int>(std::min<std::size_t>(n, 0x7FFFFFFF));
    return parseString(data == nullptr ? QString() : xml_detail::decodeUtf8(data, len), creator);
}

bool XNode::parseCustomType(const QString& file, XmlNodeCreator& creator) {
    logTest("XNode::parseCustomType, i am a <$>", m_type);
    XNode* loaded = parseFile(file, &creator, nullptr);
    if (loaded == nullptr) return false;
    logTest("XNode::parseCustomType, n is a <$>", loaded->m_type);
    if (loaded->m_type != m_type) {
        logWarning("XNode::parseCustomType, different types");
        delete loaded;
        return false;
    }
    m_file = loaded->m_file;
    m_text = loaded->m_text;
    moveAttributes(this, loaded);
    moveChildren(this, loaded);
    delete loaded;
    return true;
}

}  // namespace zor
