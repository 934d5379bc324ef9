#include "CodePage.h"

#include <gtest/gtest.h>

class CodePageTest : public ::testing::Test
{
protected:
    ~CodePageTest() override { CodePage::SetName(QByteArray()); }
};

TEST_F(CodePageTest, NameComesFromOverrideThenEnvironment)
{
    CodePage::SetName("CP949");
    EXPECT_EQ(CodePage::Name(), "CP949");
    CodePage::SetName(QByteArray());
    const QByteArray configured = qgetenv("VELLUMDECK_CODEPAGE");
    if (!configured.isEmpty())
        EXPECT_EQ(CodePage::Name(), configured);
    else
        EXPECT_FALSE(CodePage::Name().isEmpty()) << "the locale always names a character set";
}

TEST_F(CodePageTest, Cp1252RoundTripsAndMarksUndefinedBytes)
{
    CodePage::SetName("CP1252");
    const QByteArray bytes("caf\xE9 \x80 5\r\n", 10);
    const QString text = CodePage::ToUnicode(bytes);
    EXPECT_EQ(text, QString::fromUtf8("café € 5\r\n"));
    EXPECT_EQ(CodePage::FromUnicode(text), bytes);

    // 0x81 has no character in this code page; conversion goes on after it.
    EXPECT_EQ(CodePage::ToUnicode("a\x81" "b"), QString::fromUtf8("a\uFFFDb"));
    // Characters the code page lacks become '?', a surrogate pair counting as one.
    EXPECT_EQ(CodePage::FromUnicode(QString::fromUtf8("a한b😀c")), "a?b?c");
    EXPECT_EQ(CodePage::FromUnicode(QString(QChar(0xD800)) + "x"), "?x") << "a lone surrogate";
}

TEST_F(CodePageTest, Cp949RoundTripsAndRecoversFromBrokenSequences)
{
    CodePage::SetName("CP949");
    const QByteArray korean("\xC7\xD1\xB1\xB9\xBE\xEE abc");
    const QString text = CodePage::ToUnicode(korean);
    EXPECT_EQ(text, QString::fromUtf8("한국어 abc"));
    EXPECT_EQ(CodePage::FromUnicode(text), korean);

    EXPECT_EQ(CodePage::ToUnicode("\xC7\xD1\xFF\xC7\xD1"), QString::fromUtf8("한\uFFFD한"));
    EXPECT_EQ(CodePage::ToUnicode("ab\xC7"), QString::fromUtf8("ab\uFFFD")) << "a lead byte cut off at the end";
    EXPECT_EQ(CodePage::FromUnicode(QString::fromUtf8("é한")), "?\xC7\xD1");
}

TEST_F(CodePageTest, LongTextAndEmptyText)
{
    CodePage::SetName("CP949");
    QByteArray big;
    for (int i = 0; i < 20000; ++i)
        big += "\xC7\xD1" "a";
    const QString text = CodePage::ToUnicode(big);
    EXPECT_EQ(text.size(), 40000);
    EXPECT_EQ(CodePage::FromUnicode(text), big);
    EXPECT_TRUE(CodePage::ToUnicode(QByteArray()).isEmpty());
    EXPECT_TRUE(CodePage::FromUnicode(QString()).isEmpty());
}

TEST_F(CodePageTest, UnknownCodePageFallsBackToLatin1)
{
    CodePage::SetName("NO-SUCH-CODEPAGE");
    EXPECT_EQ(CodePage::ToUnicode("caf\xE9"), QString::fromUtf8("café"));
    EXPECT_EQ(CodePage::FromUnicode(QString::fromUtf8("café€")), "caf\xE9?");
}
