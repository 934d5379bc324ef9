// SPDX-License-Identifier: GPL-2.0-or-later
#include "NaturalOrder.h"

namespace NaturalOrder {

namespace {

// The run of digits that starts at *at, with its leading zeros skipped; *at moves past it.
QStringView NumberAt(const QString& text, qsizetype* at)
{
    while (*at < text.size() && text[*at] == QLatin1Char('0') && *at + 1 < text.size() && text[*at + 1].isDigit())
        ++*at;
    const qsizetype start = *at;
    while (*at < text.size() && text[*at].isDigit())
        ++*at;
    return QStringView(text).mid(start, *at - start);
}

// Below 0 when left comes first, 0 when they read the same way.
int CompareCaseless(const QString& left, const QString& right)
{
    qsizetype l = 0;
    qsizetype r = 0;
    while (l < left.size() && r < right.size()) {
        if (left[l].isDigit() && right[r].isDigit()) {
            const QStringView leftNumber = NumberAt(left, &l);
            const QStringView rightNumber = NumberAt(right, &r);
            // Without leading zeros, the longer number is the larger.
            if (leftNumber.size() != rightNumber.size())
                return leftNumber.size() < rightNumber.size() ? -1 : 1;
            if (const int digits = leftNumber.compare(rightNumber); digits != 0)
                return digits;
            continue;
        }
        const char32_t leftChar = left[l].toCaseFolded().unicode();
        const char32_t rightChar = right[r].toCaseFolded().unicode();
        if (leftChar != rightChar)
            return leftChar < rightChar ? -1 : 1;
        ++l;
        ++r;
    }
    const bool leftLeft = l < left.size();
    const bool rightLeft = r < right.size();
    return leftLeft == rightLeft ? 0 : (leftLeft ? 1 : -1);
}

}  // namespace

bool Before(const QString& left, const QString& right)
{
    const int caseless = CompareCaseless(left, right);
    return caseless != 0 ? caseless < 0 : QString::compare(left, right, Qt::CaseSensitive) < 0;
}

}  // namespace NaturalOrder
