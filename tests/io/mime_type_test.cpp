// XMimeType: parsing with parameters, the text form, the extension table and the shared instances.
#include "support/CaptureAppender.h"

#include <zor/XMimeType.h>

#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace zor;

TEST(XMimeType, FromStringWithParametersAndBadInput) {
    zortest::LogCapture cap;
    XMimeType m = XMimeType::fromString(QStringLiteral("text/html; charset=utf-8"));
    EXPECT_EQ(m.type(), QStringLiteral("text"));
    EXPECT_EQ(m.subType(), QStringLiteral("html"));
    ASSERT_TRUE(m.hasParameter());
    EXPECT_EQ(m.parameter().countAttributes(), 1u);
    EXPECT_EQ(m.parameter().getString(QStringLiteral("charset"), QString()), QStringLiteral("utf-8"));
    EXPECT_EQ(m.toString(), QStringLiteral("text/html;charset=\"utf-8\""));

    // The text form parses back to the same value, parameters and all.
    m.parameter().setString(QStringLiteral("q"), QStringLiteral("0.5"));
    const XMimeType back = XMimeType::fromString(m.toString());
    EXPECT_EQ(back, m);
    EXPECT_EQ(back.parameter().getAttributes(), m.parameter().getAttributes());

    const XMimeType plain = XMimeType::fromString(QStringLiteral(" image / png "));
    EXPECT_EQ(plain.subType(), QStringLiteral("png"));
    EXPECT_FALSE(plain.hasParameter());

    EXPECT_FALSE(XMimeType::fromString(QString()).hasType());
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMimeType::fromString, strMime.length == 0")));
    EXPECT_FALSE(XMimeType::fromString(QStringLiteral("///")).hasType());
    EXPECT_TRUE(cap.containsText(QStringLiteral("XMimeType::fromString - no token ?")));
    // Odd shapes never crash: a lone type, a lone ';', unterminated quotes.
    for (const char* odd : {"text", "text/;", "a/b;c=\"", ";;;", "x/y;=;=\"\""}) {
        const XMimeType t = XMimeType::fromString(QString::fromLatin1(odd));
        EXPECT_TRUE(t.hasType()) << odd;
    }
}

TEST(XMimeType, ExtensionTableDefaultAndSharedInstance) {
    zortest::LogCapture cap;
    EXPECT_EQ(XMimeType::fromFileExtension(QStringLiteral(".PNG")).toString(), QStringLiteral("image/png"));
    EXPECT_EQ(XMimeType::fromFileExtension(QStringLiteral("c#")).toString(), QStringLiteral("text/plain"));
    EXPECT_EQ(XMimeType::fromFileExtension(QStringLiteral("mgp")).toString(), QStringLiteral("video/mpeg"));
    EXPECT_TRUE(XMimeType::fromFileExtension(QStringLiteral("weird")).isDefault());
    EXPECT_TRUE(XMimeType::defaultType().isDefault());
    EXPECT_EQ(XMimeType::fromFile(QStringLiteral("dir.d/Shot.JPEG")).getFileExtension(), QStringLiteral("jpg"));
    EXPECT_FALSE(XMimeType::fromFile(QStringLiteral("noDot")).hasType());

    XMimeType z = XMimeType::fromString(QStringLiteral("a/b;k=v"));
    z.setURL(QStringLiteral("u"));
    z.clear();
    EXPECT_FALSE(z.hasParameter());
    EXPECT_TRUE(z.toString().isEmpty());

    // One instance for every thread, created once.
    std::vector<XMimeType*> seen(4, nullptr);
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) threads.emplace_back([&seen, i] { seen[i] = &XMimeTypeMap::get(); });
    for (std::thread& t : threads) t.join();
    for (XMimeType* p : seen) EXPECT_EQ(p, &XMimeTypeMap::get());
}
