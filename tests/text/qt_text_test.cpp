// The text forms of Qt values: exact texts of every form, the edges (far corner, null values,
// zero bytes, unsupported variants) and the byte list round trip.
#include "support/CaptureAppender.h"
#include "support/TestFiles.h"

#include <zor/QtText.h>

#include <gtest/gtest.h>

#include <QLine>
#include <QLineF>
#include <QTemporaryDir>

using namespace zor;

TEST(QtText, GeometryDatesAndFiles) {
    EXPECT_EQ(qt::toString(QPoint(-3, 4)), QStringLiteral("-3,4"));
    EXPECT_EQ(qt::toString(QPointF(0.5, 2)), QStringLiteral("0.500000,2.000000"));
    EXPECT_EQ(qt::toString(QSize(640, 480)), QStringLiteral("640,480"));
    EXPECT_EQ(qt::toString(QSizeF(1.25, 0)), QStringLiteral("1.250000,0.000000"));
    EXPECT_EQ(qt::toString(QRect(1, 2, 3, 4)), QStringLiteral("1,2,3,4"));
    EXPECT_EQ(qt::to_string_rect_as_coord(QRect(1, 2, 3, 4)), QStringLiteral("1,2,4,6")) << "x + width, not right()";
    EXPECT_EQ(qt::to_string_rect_as_coord(QRect(-5, -5, 10, 0)), QStringLiteral("-5,-5,5,-5"));
    EXPECT_EQ(qt::toString(QRectF(0.5, 1, 2, 3)), QStringLiteral("0.500000,1.000000,2.000000,3.000000"));
    EXPECT_EQ(qt::to_string_rect_as_coord(QRectF(0.5, 1, 2, 3)), QStringLiteral("0.500000,1.000000,2.500000,4.000000"));
    EXPECT_EQ(qt::toString(QMargins(1, 2, 3, 4)), QStringLiteral("1,2,3,4"));
    EXPECT_EQ(qt::toString(QMarginsF(1, 2, 3, 4.5)), QStringLiteral("1.000000,2.000000,3.000000,4.500000"));
    EXPECT_EQ(qt::toString(Res(1920, 1080)), QStringLiteral("1920,1080"));

    const QDateTime dt(QDate(2021, 3, 1), QTime(8, 5, 3, 250));
    EXPECT_EQ(qt::toString(dt, false), QStringLiteral("2021/03/01"));
    EXPECT_EQ(qt::toString(dt, true), QStringLiteral("2021/03/01 08:05:03,250"));
    EXPECT_EQ(qt::toString(dt.date()), QStringLiteral("2021/03/01"));
    EXPECT_EQ(qt::toString(dt.time()), QStringLiteral("08:05:03,250"));
    EXPECT_EQ(qt::toString(QUrl(QStringLiteral("http://h:8080/p?q=1"))), QStringLiteral("http://h:8080/p?q=1"));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("f.bin"));
    ASSERT_NO_FATAL_FAILURE(zortest::writeFile(file, QByteArray(2500, 'x')));
    EXPECT_EQ(qt::toString(QFileInfo(file)), file + QStringLiteral(", sz:2.50 KB"));
    EXPECT_EQ(qt::toString(QFileInfo(dir.path())), QLatin1Char('[') + QFileInfo(dir.path()).absoluteFilePath() + QLatin1Char(']'));
    EXPECT_EQ(qt::toString(QDir(dir.path())), QFileInfo(dir.path()).absoluteFilePath());
    EXPECT_EQ(qt::toString(QFileInfo(QStringLiteral("/"))), QStringLiteral("fi ??? </>"));
    EXPECT_EQ(qt::toString(QFileInfo(QStringLiteral("d:/"))), QStringLiteral("[D:]"));
}

TEST(QtText, StringsAndBytes) {
    EXPECT_EQ(qt::toString(QStringRef()), QStringLiteral("{nullptr}"));
    const QString s = QStringLiteral("hello world");
    EXPECT_EQ(qt::toString(s.midRef(6, 5)), QStringLiteral("world"));
    EXPECT_EQ(qt::toString(QByteArray()), QStringLiteral("nullptr"));
    EXPECT_EQ(qt::toString(QByteArray("")), QString());
    EXPECT_EQ(qt::toString(QByteArray("ab\0cd", 5)), QStringLiteral("ab")) << "up to the first zero byte";
    EXPECT_EQ(qt::toString(QByteArray("\xe9t\xe9")), QString::fromUtf8("\xc3\xa9t\xc3\xa9")) << "bytes as Latin-1";

    const QByteArray three("\x00\x7f\xff", 3);
    EXPECT_EQ(qt::asString(three), QStringLiteral("0, 127, 255"));
    EXPECT_EQ(qt::fromString(QStringLiteral("0, 127, 255")), three);
    EXPECT_EQ(qt::asString(QByteArray()), QString());
    EXPECT_TRUE(qt::fromString(QString()).isEmpty());
    EXPECT_EQ(qt::fromString(QStringLiteral("1,2 3,,  4")), QByteArray("\x01\x02\x03\x04"));
    EXPECT_EQ(qt::fromString(QStringLiteral("256, -1, x, 4294967297")), QByteArray("\x00\xff\x00\x01", 4))
        << "the low byte of a 64-bit number, 0 for a word";
    QByteArray all;
    for (int i = 0; i < 256; ++i) all.append(static_cast<char>(i));
    EXPECT_EQ(qt::fromString(qt::asString(all)), all);
}

TEST(QtText, Variants) {
    zortest::LogCapture cap;
    EXPECT_EQ(qt::toString(QVariant()), QStringLiteral("{nullptr}"));
    EXPECT_EQ(qt::toString(QVariant(true)), QStringLiteral("true"));
    EXPECT_EQ(qt::toString(QVariant(false)), QStringLiteral("false"));
    EXPECT_EQ(qt::toString(QVariant(-7)), QStringLiteral("-7"));
    EXPECT_EQ(qt::toString(QVariant(7u)), QStringLiteral("7"));
    EXPECT_EQ(qt::toString(QVariant(-9000000000LL)), QStringLiteral("-9000000000"));
    EXPECT_EQ(qt::toString(QVariant(18446744073709551615ULL)), QStringLiteral("18446744073709551615"));
    EXPECT_EQ(qt::toString(QVariant(0.25)), QStringLiteral("0.250000"));
    EXPECT_EQ(qt::toString(QVariant(1.5f)), QStringLiteral("1.500000"));
    EXPECT_EQ(qt::toString(QVariant(QChar('z'))), QStringLiteral("z"));
    EXPECT_EQ(qt::toString(QVariant(QStringLiteral("text"))), QStringLiteral("text"));
    EXPECT_EQ(qt::toString(QVariant(QRect(1, 2, 3, 4))), QStringLiteral("1,2,3,4"));
    EXPECT_EQ(qt::toString(QVariant(QRectF(1, 2, 3, 4))), QStringLiteral("1.000000,2.000000,3.000000,4.000000"));
    EXPECT_EQ(qt::toString(QVariant(QSize(5, 6))), QStringLiteral("5,6"));
    EXPECT_EQ(qt::toString(QVariant(QSizeF(5, 6))), QStringLiteral("5.000000,6.000000"));
    EXPECT_EQ(qt::toString(QVariant(QPoint(7, 8))), QStringLiteral("7,8"));
    EXPECT_EQ(qt::toString(QVariant(QPointF(7, 8))), QStringLiteral("7.000000,8.000000"));
    EXPECT_EQ(qt::toString(QVariant(QLine(1, 2, 3, 4))), QStringLiteral("1,2,3,4"));
    EXPECT_EQ(qt::toString(QVariant(QLineF(1, 2, 3, 4.5))), QStringLiteral("1.000000,2.000000,3.000000,4.500000"));

    EXPECT_EQ(qt::toString(QVariant(QUrl(QStringLiteral("http://x")))), QStringLiteral("QVARIANT-TYPE-NOT-SUPPORTED"));
    EXPECT_EQ(cap.linesStartingWith(QStringLiteral("::variantToString")),
              QStringList{QStringLiteral("::variantToString, type 'QUrl' actually not supported !")});

    EXPECT_EQ(qt::variantTypeAsString(QVariant(QStringLiteral("s"))), QStringLiteral("string"));
    EXPECT_EQ(qt::variantTypeAsString(QVariant(1.5f)), QStringLiteral("float"));
    EXPECT_EQ(qt::variantTypeAsString(QVariant(QLineF())), QStringLiteral("lineF"));
    EXPECT_EQ(qt::variantTypeAsString(QVariant(QVariant::Type(86))), QStringLiteral("polygonF"));
    EXPECT_EQ(qt::variantTypeAsString(QVariant(QUrl())), QStringLiteral("unknown type:17"));
    EXPECT_EQ(qt::variantTypeAsString(QVariant()), QStringLiteral("unknown type:0"));
}
