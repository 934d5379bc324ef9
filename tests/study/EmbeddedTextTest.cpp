// SPDX-License-Identifier: GPL-2.0-or-later
// The study text inside a ".vds": exactly the bytes its trailer measures, or nothing
// at all (the text read before left as it was) when the trailer cannot be right.

#include "EmbeddedText.h"
#include "TempDeviceRoot.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace {

QByteArray Trailer(std::uint32_t length)
{
    QByteArray bytes;
    for (int i = 0; i < CEmbeddedText::kTrailerBytes; ++i)
        bytes.append(char((length >> (8 * i)) & 0xFF));
    return bytes;
}

TEST(EmbeddedTextTest, ReadsExactlyTheBytesTheTrailerMeasuresOrNothing)
{
    TempDeviceRoot root;
    const QString recording = QStringLiteral("\\My documents\\Lesson1.vds");
    const QByteArray frames(700, '\xff');
    const QByteArray text("Unit 1\r\nA: Hello.\r\n");
    const struct
    {
        const char* name;
        QByteArray file;
        std::optional<QByteArray> expected;   // none: refused
    } cases[] = {
        {"the whole file", text + Trailer(text.size()), text},
        {"part of the frames too", frames + text + Trailer(text.size() + 5), frames.right(5) + text},
        {"no text", frames + Trailer(0), QByteArray()},
        {"nothing but the trailer", Trailer(0), QByteArray()},
        {"a trailer of four 0xff bytes", text + Trailer(0xFFFFFFFFu), std::nullopt},
        {"one byte more than the file holds", text + Trailer(text.size() + 1), std::nullopt},
        {"empty", QByteArray(), std::nullopt},
    };
    const std::vector<char> before{'o', 'l', 'd'};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(root.WriteFile(recording, c.file));
        std::vector<char> read = before;
        EXPECT_EQ(CEmbeddedText::Read(recording, &read), c.expected.has_value());
        const QByteArray expected = c.expected.value_or(QByteArray(before.data(), qsizetype(before.size())));
        EXPECT_EQ(read, std::vector<char>(expected.begin(), expected.end()));
    }
    std::vector<char> read = before;
    EXPECT_FALSE(CEmbeddedText::Read(QStringLiteral("\\My documents\\Missing.vds"), &read));
    EXPECT_FALSE(CEmbeddedText::Read(QStringLiteral("\\My documents"), &read)) << "a folder";
    EXPECT_EQ(read, before);
}

}  // namespace
