// The study text inside a ".vds": exactly the bytes its trailer measures, or nothing
// at all when the trailer cannot be right.

#include "EmbeddedText.h"
#include "TempDeviceRoot.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

const QString kRecording = QStringLiteral("\\My documents\\Lesson1.vds");

QByteArray Trailer(std::uint32_t length)
{
    QByteArray bytes;
    for (int i = 0; i < CEmbeddedText::kTrailerBytes; ++i)
        bytes.append(char((length >> (8 * i)) & 0xFF));
    return bytes;
}

std::vector<char> Bytes(const QByteArray& bytes)
{
    return std::vector<char>(bytes.begin(), bytes.end());
}

TEST(EmbeddedTextTest, ReadsExactlyTheBytesTheTrailerMeasures)
{
    TempDeviceRoot root;
    const QByteArray frames(700, '\xff');
    const QByteArray text("Unit 1\r\nA: Hello.\r\n");
    struct Case
    {
        const char* name;
        QByteArray file;
        QByteArray expected;
    } cases[] = {
        {"after frames", frames + text + Trailer(text.size()), text},
        {"the whole file", text + Trailer(text.size()), text},
        {"part of the frames too", frames + text + Trailer(text.size() + 5), frames.right(5) + text},
        {"no text", frames + Trailer(0), QByteArray()},
        {"nothing but the trailer", Trailer(0), QByteArray()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(root.WriteFile(kRecording, c.file));
        std::vector<char> read{'o', 'l', 'd'};
        ASSERT_TRUE(CEmbeddedText::Read(kRecording, &read));
        EXPECT_EQ(read, Bytes(c.expected));
    }
}

TEST(EmbeddedTextTest, RefusedFileLeavesTheTextAsItWas)
{
    TempDeviceRoot root;
    const QByteArray text("Hello");
    struct Case
    {
        const char* name;
        QByteArray file;
    } cases[] = {
        {"a trailer of four 0xff bytes", text + Trailer(0xFFFFFFFFu)},
        {"one byte more than the file holds", text + Trailer(text.size() + 1)},
        {"shorter than a trailer", QByteArray("\x05\0\0", 3)},
        {"empty", QByteArray()},
    };
    const std::vector<char> before{'o', 'l', 'd'};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(root.WriteFile(kRecording, c.file));
        std::vector<char> read = before;
        EXPECT_FALSE(CEmbeddedText::Read(kRecording, &read));
        EXPECT_EQ(read, before);
    }
    std::vector<char> read = before;
    EXPECT_FALSE(CEmbeddedText::Read(QStringLiteral("\\My documents\\Missing.vds"), &read));
    EXPECT_FALSE(CEmbeddedText::Read(QStringLiteral("\\My documents"), &read)) << "a folder";
    EXPECT_EQ(read, before);
}

}  // namespace
