// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A study text as the pane holds it. The text keeps its line ends ("\r\n", "\n" or a
// lone "\r"), and character positions (bookmarks, search results) count them, as
// stored bookmark files expect. The document shown has one paragraph per line of the
// text instead; this class maps positions between the two.

#include <QString>

#include <vector>

class CStudyText
{
public:
    CStudyText() : CStudyText(QString()) {}
    explicit CStudyText(const QString& source);

    const QString& Source() const { return m_source; }
    // The paragraphs joined by '\n', ready for the document.
    const QString& DocumentText() const { return m_document; }

    // A source position as a document position; a position inside a line end or past
    // the end goes to the end of that paragraph.
    int ToDocument(int sourcePosition) const;
    int ToSource(int documentPosition) const;

private:
    struct Paragraph
    {
        int sourceStart = 0;
        int documentStart = 0;
        int length = 0;
    };

    const Paragraph& ParagraphAtSource(int sourcePosition) const;
    const Paragraph& ParagraphAtDocument(int documentPosition) const;

    QString m_source;
    QString m_document;
    std::vector<Paragraph> m_paragraphs;   // never empty
};
