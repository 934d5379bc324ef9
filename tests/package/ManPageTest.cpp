// SPDX-License-Identifier: GPL-2.0-or-later
// The manual page is written beside the help text: it must name the same options (with
// the same values) and the same environment variables, or one of them has fallen behind.

#include "PackageFiles.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// The option column of the help: "--zoom N", "-h, --help", "--".
QStringList HelpOptions(const QString& help)
{
    QStringList options;
    for (const QString& line : help.split(QLatin1Char('\n'))) {
        const QString entry = line.trimmed();
        if (line.startsWith(QLatin1Char(' ')) && entry.startsWith(QLatin1Char('-')))
            options << entry.section(QStringLiteral("  "), 0, 0);
    }
    options.sort();
    return options;
}

QStringList HelpVariables(const QString& help)
{
    QStringList variables;
    for (const QRegularExpressionMatch& match : QRegularExpression(QStringLiteral("VELLUMDECK_[A-Z]+")).globalMatch(help))
        variables << match.captured();
    variables.sort();
    return variables;
}

// A request line of the page as it reads: ".BI \-\-zoom " N"" is "--zoom N". The
// alternating-font requests run their arguments together, the others space them.
QString RequestText(const QString& line)
{
    static const QRegularExpression argument(QStringLiteral(R"re("([^"]*)"|(\S+))re"));
    const QString request = line.section(QLatin1Char(' '), 0, 0);
    QStringList arguments;
    for (const QRegularExpressionMatch& match : argument.globalMatch(line.mid(request.size())))
        arguments << (match.hasCaptured(1) ? match.captured(1) : match.captured(2));
    const bool alternating = request.size() == 3;
    QString text = arguments.join(alternating ? QString() : QStringLiteral(" "));
    text.remove(QRegularExpression(QStringLiteral(R"(\\f[BIRP])")));
    return text.replace(QStringLiteral("\\-"), QStringLiteral("-")).replace(QStringLiteral("\\e"), QStringLiteral("\\"));
}

// The tags of the indented paragraphs (".TP" and the line after it) of one section.
QStringList SectionTags(const QString& page, const QString& section)
{
    QStringList tags;
    bool inSection = false;
    bool tagNext = false;
    for (const QString& line : page.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String(".SH "))) {
            inSection = line.mid(4).trimmed() == section;
            continue;
        }
        if (!inSection)
            continue;
        if (tagNext)
            tags << RequestText(line);
        tagNext = line.trimmed() == QLatin1String(".TP");
    }
    tags.sort();
    return tags;
}

class ManPageTest : public ::testing::Test
{
protected:
    const QString m_help = ProgramOutput({QStringLiteral("--help")});
    const QString m_page = ReadText(QStringLiteral(VD_MAN_PAGE));
};

TEST_F(ManPageTest, NamesEveryOptionOfTheHelpWithItsValueAndNoOther)
{
    const QStringList options = HelpOptions(m_help);
    ASSERT_TRUE(options.contains(QStringLiteral("--zoom N"))) << m_help.toStdString();
    const QStringList tags = SectionTags(m_page, QStringLiteral("OPTIONS"));
    EXPECT_EQ(tags, options) << "page: " << tags.join(" | ").toStdString() << "\nhelp: " << options.join(" | ").toStdString();
}

TEST_F(ManPageTest, NamesEveryEnvironmentVariableOfTheHelpAndNoOther)
{
    const QStringList variables = HelpVariables(m_help);
    ASSERT_TRUE(variables.contains(QStringLiteral("VELLUMDECK_AUDIO"))) << m_help.toStdString();
    const QStringList tags = SectionTags(m_page, QStringLiteral("ENVIRONMENT"));
    EXPECT_EQ(tags, variables) << "page: " << tags.join(" ").toStdString() << "\nhelp: " << variables.join(" ").toStdString();
}

}  // namespace
