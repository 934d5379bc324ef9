// SPDX-License-Identifier: GPL-2.0-or-later
// Reads the input as a ".vds" recording's study text: the trailer's count of text
// bytes in the last four bytes, the text before it, then the text's conversion as
// the pane makes it, in a single-byte, a multibyte and a variable-length code page
// as the first input byte chooses. The text read must be exactly the bytes the
// trailer measures, and a refused file must leave the caller's text as it was.

#include "CodePage.h"
#include "EmbeddedText.h"
#include "FuzzCheck.h"
#include "FuzzInputFile.h"
#include "LittleEndian.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const char* const kCodePages[] = {"CP1252", "CP949", "UTF-8"};
constexpr std::size_t kCodePageCount = sizeof(kCodePages) / sizeof(kCodePages[0]);

// The count the last four bytes give, when there are four.
bool Measured(const std::uint8_t* data, std::size_t size, std::uint64_t* length)
{
    if (size < std::size_t(CEmbeddedText::kTrailerBytes))
        return false;
    const std::uint8_t* t = data + size - CEmbeddedText::kTrailerBytes;
    *length = LittleEndian::Read<std::uint32_t>(t);
    return *length <= size - CEmbeddedText::kTrailerBytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzInputFile input("Lesson1.vds");
    const std::size_t choice = size > 0 ? data[0] % kCodePageCount : 0;
    CodePage::SetName(QByteArray(kCodePages[choice]));
    input.Write(data, size);

    const std::vector<char> sentinel{'k', 'e', 'p', 't'};
    std::vector<char> text = sentinel;
    const bool read = CEmbeddedText::Read(input.Path(), &text);

    std::uint64_t length = 0;
    const bool fits = Measured(data, size, &length);
    FuzzCheck(read == fits, "the text reads exactly when the trailer fits the file");
    if (!read) {
        FuzzCheck(text == sentinel, "a refused file leaves the caller's text");
        return 0;
    }
    const std::uint8_t* start = data + size - CEmbeddedText::kTrailerBytes - length;
    FuzzCheck(text.size() == length && (length == 0 || std::memcmp(text.data(), start, length) == 0),
              "the text is the bytes the trailer measures");

    const QString shown = CodePage::ToUnicode(QByteArray(text.data(), qsizetype(text.size())));
    FuzzCheck(length == 0 || !shown.isEmpty(), "a text of some bytes shows some characters");
    return 0;
}
