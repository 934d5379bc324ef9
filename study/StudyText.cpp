// SPDX-License-Identifier: GPL-2.0-or-later
#include "StudyText.h"

#include <algorithm>

namespace {

constexpr char16_t kCarriageReturn = u'\r';
constexpr char16_t kLineFeed = u'\n';

// The document would take these for paragraph or frame breaks and lose a character
// position; they are shown as the replacement character instead.
bool IsDocumentBreak(char16_t unit)
{
    return unit == 0x2029 || unit == 0xFDD0 || unit == 0xFDD1;
}

constexpr char16_t kReplacement = 0xFFFD;

// The length of the line end starting at index, or 0 when there is none.
int LineEndAt(const QString& text, int index)
{
    const char16_t unit = text.at(index).unicode();
    if (unit == kLineFeed)
        return 1;
    if (unit != kCarriageReturn)
        return 0;
    return (index + 1 < text.size() && text.at(index + 1).unicode() == kLineFeed) ? 2 : 1;
}

}  // namespace

CStudyText::CStudyText(const QString& source)
    : m_source(source)
{
    m_document.reserve(source.size());
    Paragraph paragraph;
    int index = 0;
    while (index < source.size()) {
        const int lineEnd = LineEndAt(source, index);
        if (lineEnd == 0) {
            const char16_t unit = source.at(index).unicode();
            m_document.append(QChar(IsDocumentBreak(unit) ? kReplacement : unit));
            ++paragraph.length;
            ++index;
            continue;
        }
        m_paragraphs.push_back(paragraph);
        m_document.append(QChar(kLineFeed));
        index += lineEnd;
        paragraph = Paragraph{index, int(m_document.size()), 0};
    }
    m_paragraphs.push_back(paragraph);
}

int CStudyText::ToDocument(int sourcePosition) const
{
    const Paragraph& paragraph = ParagraphAtSource(sourcePosition);
    const int offset = std::clamp(sourcePosition - paragraph.sourceStart, 0, paragraph.length);
    return paragraph.documentStart + offset;
}

int CStudyText::ToSource(int documentPosition) const
{
    const Paragraph& paragraph = ParagraphAtDocument(documentPosition);
    const int offset = std::clamp(documentPosition - paragraph.documentStart, 0, paragraph.length);
    return paragraph.sourceStart + offset;
}

const CStudyText::Paragraph& CStudyText::ParagraphAtSource(int sourcePosition) const
{
    auto after = std::upper_bound(m_paragraphs.begin(), m_paragraphs.end(), sourcePosition,
                                  [](int position, const Paragraph& p) { return position < p.sourceStart; });
    return after == m_paragraphs.begin() ? m_paragraphs.front() : *(after - 1);
}

const CStudyText::Paragraph& CStudyText::ParagraphAtDocument(int documentPosition) const
{
    auto after = std::upper_bound(m_paragraphs.begin(), m_paragraphs.end(), documentPosition,
                                  [](int position, const Paragraph& p) { return position < p.documentStart; });
    return after == m_paragraphs.begin() ? m_paragraphs.front() : *(after - 1);
}
