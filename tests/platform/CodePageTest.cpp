// SPDX-License-Identifier: GPL-2.0-or-later
#include "CodePage.h"

#include <gtest/gtest.h>

class CodePageTest : public ::testing::Test
{
protected:
    ~CodePageTest() override { CodePage::SetName(QByteArray()); }
};

// Bytes without a character become U+FFFD and conversion goes on after them;
// characters the code page lacks become '?', a surrogate pair counting as one.
TEST_F(CodePageTest, Cp1252RoundTripsAndMarksWhatItCannotConvert)
{
    CodePage::SetName("CP1252");
    const QByteArray bytes("caf\xE9 \x80 5\r\n", 10);
    EXPECT_EQ(CodePage::ToUnicode(bytes), QString::fromUtf8("café € 5\r\n"));
    EXPECT_EQ(CodePage::FromUnicode(CodePage::ToUnicode(bytes)), bytes);
    EXPECT_EQ(CodePage::ToUnicode("a\x81" "b"), QString::fromUtf8("a\uFFFDb"));
    EXPECT_EQ(CodePage::FromUnicode(QString::fromUtf8("a한b😀c")), "a?b?c");
    EXPECT_EQ(CodePage::FromUnicode(QString(QChar(0xD800)) + "x"), "?x") << "a lone surrogate";
}

TEST_F(CodePageTest, Cp949RoundTripsAndRecoversFromBrokenSequences)
{
    CodePage::SetName("CP949");
    const QByteArray korean("\xC7\xD1\xB1\xB9\xBE\xEE abc");
    EXPECT_EQ(CodePage::ToUnicode(korean), QString::fromUtf8("한국어 abc"));
    EXPECT_EQ(CodePage::FromUnicode(QString::fromUtf8("한국어 abc")), korean);
    EXPECT_EQ(CodePage::ToUnicode("\xC7\xD1\xFF\xC7\xD1"), QString::fromUtf8("한\uFFFD한"));
    EXPECT_EQ(CodePage::ToUnicode("ab\xC7"), QString::fromUtf8("ab\uFFFD")) << "a lead byte cut off at the end";
    EXPECT_EQ(CodePage::FromUnicode(QString::fromUtf8("é한")), "?\xC7\xD1");

    CodePage::SetName("NO-SUCH-CODEPAGE");   // falls back to Latin-1
    EXPECT_EQ(CodePage::ToUnicode("caf\xE9"), QString::fromUtf8("café"));
    EXPECT_EQ(CodePage::FromUnicode(QString::fromUtf8("café€")), "caf\xE9?");
}
