// UTF-8 detection, one character's UTF-8 form, and the line record with its UTF-8 counting helpers.
#include "support/CaptureAppender.h"

#include <zor/XLineInfo.h>
#include <zor/XUTF8_Detector.h>
#include <zor/XUtf8_Info.h>

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTextCodec>
#include <cstring>

using namespace zor;

namespace {

XUTF8_Detector detect(const QByteArray& b) { return XUTF8_Detector(b.constData(), static_cast<std::size_t>(b.size())); }

}  // namespace

TEST(XUTF8_Detector, CountsEveryWidthAndNamesTheDominantOne) {
    const QByteArray mixed = QString::fromUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80").toUtf8();  // a é € 😀
    XUTF8_Detector d = detect(mixed);
    EXPECT_EQ(d.countAscii(), 1u);
    EXPECT_EQ(d.count2ByteEncodings(), 1u);
    EXPECT_EQ(d.count3ByteEncodings(), 1u);
    EXPECT_EQ(d.count4ByteEncodings(), 1u);
    EXPECT_EQ(d.count_detected_characters(), 4u);
    EXPECT_EQ(d.count_un_detected_bytes(), 6);
    EXPECT_EQ(d.getTheMostSignifcantType(), UTF_TYPE::ASCII_ENCODED);  // ties go to the narrower
    EXPECT_EQ(d.toString(), QStringLiteral("4 Characters, LF:0, Type is:ASCII_ENCODED, { 1 2 3 4 }, {1-byte-enc:1, "
                                           "2-bytes-enc:1, 3-bytes-enc:1, 4-bytes-enc:1 }"));
    d = detect(mixed + QByteArray("\xF0\x9F\x98\x81"));
    EXPECT_EQ(d.getTheMostSignifcantType(), UTF_TYPE::BYTE4_ENCODED);
    EXPECT_EQ(d.get_factor_for_gui(), 4);

    d = detect(QString::fromUtf8("\xE4\xB8\x80\xE4\xBA\x8C\n").toUtf8());  // two CJK characters and a line feed
    EXPECT_EQ(d.getTheMostSignifcantType(), UTF_TYPE::BYTE3_ENCODED);
    EXPECT_EQ(d.toString(), QStringLiteral("3 Characters, LF:1, Type is:BYTE3_ENCODED, { 1 3 }, {1-byte-enc:1, "
                                           "2-bytes-enc:0, 3-bytes-enc:2, 4-bytes-enc:0 }"));
    d = detect("ab\xC3\xA9\xC3\xA9");  // two ASCII, two 2-byte: a tie
    EXPECT_EQ(d.getTheMostSignifcantType(), UTF_TYPE::ASCII_ENCODED);
    d = detect("a\xC3\xA9\xC3\xA9");
    EXPECT_EQ(d.getTheMostSignifcantType(), UTF_TYPE::BYTE2_ENCODED);
    EXPECT_TRUE(d.is2BytesType());

    EXPECT_EQ(XUTF8_Detector::utfTypeToString(0), QStringLiteral("UTF_NOT_DETECTED"));
    EXPECT_EQ(XUTF8_Detector::utfTypeToString(2), QStringLiteral("BYTE2_ENCODED"));
    EXPECT_EQ(XUTF8_Detector::utfTypeToString(7), QStringLiteral("UTF_MYSTERIOUS"));
    EXPECT_EQ(XUTF8_Detector::utfTypeToString(-1), QStringLiteral("UTF_MYSTERIOUS"));
}

TEST(XUTF8_Detector, RejectsInvalidSequences) {
    struct Case {
        const char* bytes;
        unsigned ascii, two, three, four;
    };
    const Case cases[] = {
        {"\xE0\x80\x80", 0, 0, 0, 0},      // overlong three-byte form
        {"\xC0\x80\xC1\xBF", 0, 0, 0, 0},  // overlong two-byte forms
        {"\xED\xA0\x80", 0, 0, 0, 0},      // a surrogate
        {"\xED\x9F\xBF", 0, 0, 1, 0},      // the last code point before the surrogates
        {"\xF0\x80\x80\x80", 0, 0, 0, 0},  // overlong four-byte form
        {"\xF5\x80\x80\x80", 0, 0, 0, 0},  // no such lead byte
        {"\x80\xBF", 0, 0, 0, 0},          // stray continuation bytes
        {"\xC3", 0, 0, 0, 0},              // cut off at the end
        {"\xE2\x82", 0, 0, 0, 0},
        {"\xC3\xC3\xA9", 0, 0, 0, 0},      // a lead byte that breaks a waiting sequence goes with it
        {"\xC3z\xA9", 1, 1, 0, 0},         // ASCII inside a sequence counts and keeps the state
        {"\xF4\x8F\xBF\xBF", 0, 0, 0, 1},
    };
    for (const Case& c : cases) {
        const XUTF8_Detector d(c.bytes, std::strlen(c.bytes));
        SCOPED_TRACE(QByteArray(c.bytes).toHex().constData());
        EXPECT_EQ(d.countAscii(), c.ascii);
        EXPECT_EQ(d.count2ByteEncodings(), c.two);
        EXPECT_EQ(d.count3ByteEncodings(), c.three);
        EXPECT_EQ(d.count4ByteEncodings(), c.four);
    }
    const XUTF8_Detector none("\xFF\xFE", 2);
    EXPECT_EQ(none.getTheMostSignifcantType(), UTF_TYPE::UTF_NOT_DETECTED);
    EXPECT_EQ(none.get_factor_for_gui(), 1);
    EXPECT_EQ(none.count_un_detected_bytes(), 2);

    for (int b = 0; b < 256; ++b) {
        const bool lead = b <= 0x7F || (b >= 0xC2 && b <= 0xF4);
        EXPECT_EQ(XUTF8_Detector::matchFirstByteOfSequences(static_cast<unsigned char>(b)), lead) << b;
    }
}

// The tally above is no validation; validUtf8Prefix is: it names the first byte of the first
// ill-formed sequence, and agrees with Qt's own UTF-8 decoder on every short sequence of the bytes
// at the edges of the ranges.
TEST(XUTF8_Detector, StrictValidationNamesTheFirstIllFormedByte) {
    const XUTF8_Detector above = detect("\xF4\x90\x80\x80");
    EXPECT_EQ(above.count4ByteEncodings(), 1u) << "the tally counts a code point above U+10FFFF";
    const XUTF8_Detector cut = detect("\x78\xC3\x41\xA9");
    EXPECT_EQ(cut.count_detected_characters(), 3u) << "the tally completes a sequence across an ASCII byte";
    struct Case {
        QByteArray bytes;
        std::size_t valid;
    };
    const Case cases[] = {
        {"\xF4\x90\x80\x80", 0},
        {"\x78\xC3\x41\xA9", 1},
        {"\xE0\x80\x80", 0},
        {"\xC0\x80", 0},
        {"\xED\xA0\x80", 0},
        {"\xED\x9F\xBF", 3},
        {"\xF0\x8F\xBF\xBF", 0},
        {"\xF0\x90\x80\x80", 4},
        {"\xF4\x8F\xBF\xBF", 4},
        {"\xF5\x80\x80\x80", 0},
        {"ab\xE2\x82", 2},
        {"ab\xE2\x82\xAC", 5},
        {QByteArray("a\0b", 3), 3},
        {"", 0},
        {QByteArray(20, 'a') + "\xC3" + QByteArray(10, 'a'), 20},
        {QByteArray(16, 'a') + "\xC3\xA9" + QByteArray(7, 'a') + "\xFF", 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().constData());
        EXPECT_EQ(XUTF8_Detector::validUtf8Prefix(c.bytes.constData(), static_cast<std::size_t>(c.bytes.size())),
                  c.valid);
    }
    EXPECT_EQ(XUTF8_Detector::validUtf8Prefix(nullptr, 4), 0u);

    const unsigned char edges[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0,
                                   0xC1, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    QTextCodec* utf8 = QTextCodec::codecForName("UTF-8");
    ASSERT_NE(utf8, nullptr);
    int disagreements = 0;
    for (std::size_t n = 1; n <= 4; ++n) {
        std::size_t combos = 1;
        for (std::size_t k = 0; k < n; ++k) combos *= sizeof edges;
        for (std::size_t i = 0; i < combos; ++i) {
            char bytes[4];
            for (std::size_t k = 0, rest = i; k < n; ++k, rest /= sizeof edges)
                bytes[k] = static_cast<char>(edges[rest % sizeof edges]);
            QTextCodec::ConverterState state;
            utf8->toUnicode(bytes, static_cast<int>(n), &state);
            const bool qtValid = state.invalidChars == 0 && state.remainingChars == 0;
            if (XUTF8_Detector::isValidUtf8(bytes, n) != qtValid && ++disagreements <= 5)
                ADD_FAILURE() << QByteArray(bytes, static_cast<int>(n)).toHex().constData() << " Qt says " << qtValid;
        }
    }
    EXPECT_EQ(disagreements, 0);
}

TEST(XUTF8_Detector, BomZeroBytesAndCStrings) {
    zortest::LogCapture cap;
    XUTF8_Detector d = detect("\xEF\xBB\xBFok");
    EXPECT_TRUE(d.isBOM());
    EXPECT_EQ(d.count3ByteEncodings(), 1u);  // the mark itself is a valid three-byte sequence
    EXPECT_FALSE(detect("\xEF\xBB").isBOM());
    EXPECT_FALSE(detect("x\xEF\xBB\xBF").isBOM());

    const char ten[10] = {'a', 'b', 'c', 'd', 0, 'x', 'y', 'z', 'w', 'v'};
    d.analyze(ten, 10);
    EXPECT_EQ(d.countAscii(), 4u);
    EXPECT_EQ(d.countBytes(), 10u);
    EXPECT_TRUE(cap.containsText("UTF8_Detector::analyze, len > lenTmp, 10 > 4, set len to 4")) << cap.lastLines(3);

    d.analyze("hello\n", 0);  // a C string
    EXPECT_EQ(d.countAscii(), 6u);
    EXPECT_EQ(d.countLineFeeds(), 1u);
    EXPECT_EQ(d.countBytes(), 0u);
    EXPECT_EQ(d.count_un_detected_bytes(), -6);

    d.analyze("", 0);
    EXPECT_EQ(d.count_detected_characters(), 0u);
    EXPECT_TRUE(cap.containsText("UTF8_Detector::analyze, empty string"));
    const char zero[3] = {0, 'a', 'b'};
    d.analyze(zero, 3);
    EXPECT_EQ(d.countAscii(), 0u);
}

TEST(XUtf8_Info, DescribesOneCharacter) {
    XUtf8_Info e(QChar(0xE9));
    EXPECT_EQ(e.hex, QStringLiteral("C3 A9 "));
    EXPECT_EQ(e.value, 0xC3A9u);
    EXPECT_EQ(e.toString(), QString::fromUtf8("'\xC3\xA9', hex:C3 A9 , dec:50089"));
    EXPECT_EQ(e.toHTML(), QStringLiteral("&#233;"));
    XUtf8_Info euro(QChar(0x20AC));
    EXPECT_EQ(euro.hex, QStringLiteral("E2 82 AC "));
    EXPECT_EQ(euro.value, 0xE282ACu);
    EXPECT_EQ(euro.toHTML(), QStringLiteral("&#8364;"));
    XUtf8_Info a(QChar('A'));
    EXPECT_EQ(a.toString(), QStringLiteral("'A', hex:41 , dec:65"));
}

TEST(XLineInfo, RangesAndTextForms) {
    XLineInfo li(1200, 1500, 1502, 7, 0, true);
    EXPECT_EQ(li.toString(), QStringLiteral("{ [7/0] 1200/2700 => LEN:1.500,(1.502), FULL-LINE, LF:1 }"));
    XLineInfo w(10, 4, 4, 3, -1, false);
    EXPECT_EQ(w.toString(), QStringLiteral("{ [3] 10/14 => LEN:4,(4), WRAPPED-LINE, LF:0 }"));
    EXPECT_TRUE(w.isInRange(10));
    EXPECT_TRUE(w.isInRange(14));  // the end is inclusive
    EXPECT_FALSE(w.isInRange(9));
    EXPECT_FALSE(w.isInRange(15));
    EXPECT_TRUE(w.containsRange(11, 14));
    EXPECT_FALSE(w.containsRange(11, 15));
    EXPECT_EQ(w.getRelPos(13), 3);
    EXPECT_EQ(w.getRelPos(20), -1);
    EXPECT_FALSE(XLineInfo());
    EXPECT_EQ(XLineInfo().pieceIndex, -1);
    w.setLengths(6, 0);
    EXPECT_EQ(w.lenTotal, 6u);
    w.setLengths(6, 8);
    EXPECT_EQ(w.lenTotal, 8u);
}

TEST(XLineInfo, Utf8Counting) {
    const QString s = QString::fromUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");  // a é € 😀 z
    const QByteArray u = s.toUtf8();
    EXPECT_EQ(XLineInfo::countBytes(s), 11u);
    EXPECT_EQ(XLineInfo::countBytes(QChar(0xE9)), 2u);
    EXPECT_EQ(XLineInfo::countBytes(QChar(0x4E00)), 3u);
    EXPECT_EQ(XLineInfo::get_UTF8_Bytes(s), u);
    // Byte offsets to QString positions: each prefix must decode to exactly that many characters.
    for (unsigned n : {0u, 1u, 3u, 6u, 10u, 11u})
        EXPECT_EQ(XLineInfo::get_UTF8_Chars_CountFromBytes(u.constData(), n), static_cast<unsigned>(QString::fromUtf8(u.left(int(n))).size())) << n;
    EXPECT_EQ(XLineInfo::get_UTF8_Chars_CountFromBytes(u.constData(), 10), 5u);  // the emoji is two UTF-16 units
    EXPECT_EQ(XLineInfo::get_UTF8_Chars_CountFromBytes("\xC3", 1), 1u);           // a cut sequence: one replacement
    EXPECT_EQ(XLineInfo::get_UTF8_Chars_CountFromBytes(s, 2), 1u);                // é does not fit in 2 bytes after a
    EXPECT_EQ(XLineInfo::get_UTF8_Chars_CountFromBytes(s, 3), 2u);
    EXPECT_EQ(XLineInfo::get_UTF8_Chars_CountFromBytes(s, 9), 3u);                // half an emoji does not count
    EXPECT_EQ(XLineInfo::get_UTF8_Chars_CountFromBytes(s, 10), 5u);
    EXPECT_EQ(XLineInfo::get_UTF8_Chars_CountFromBytes(s, 100), static_cast<unsigned>(s.size()));
    EXPECT_EQ(XLineInfo::get_UTF8_Bytes_CountFromString(s, 1, 2), 5u);
    EXPECT_EQ(XLineInfo::get_UTF8_Bytes_CountFromString(s, 3, -1), 5u);
    EXPECT_EQ(XLineInfo::elidedText("abcdefgh", 8), QStringLiteral("abcdefgh"));
    EXPECT_EQ(XLineInfo::elidedText("abcdefgh", 7), QStringLiteral("abcd..."));
    EXPECT_EQ(XLineInfo::elidedText("abcdefgh", 2), QStringLiteral("ab"));
    EXPECT_EQ(XLineInfo::elidedText("abc", -1), QString());
}
