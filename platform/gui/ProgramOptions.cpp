// SPDX-License-Identifier: GPL-2.0-or-later
#include "ProgramOptions.h"

#include "AudioBackend.h"
#include "DevicePath.h"
#include "ScreenZoom.h"

#include <QDir>
#include <QFileInfo>

#include <array>

namespace {

const QString kEndOfOptions = QStringLiteral("--");
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");
const QString kZoom = QStringLiteral("zoom");
const QString kAudio = QStringLiteral("audio");
const QString kRoot = QStringLiteral("root");

// The options every Qt program reads itself (QGuiApplication, QApplication, xcb).
constexpr std::array kQtOptionsWithValue{"platform", "platformpluginpath", "platformtheme", "plugin",
                                         "qwindowgeometry", "qwindowicon", "qwindowtitle", "display",
                                         "geometry", "style", "stylesheet", "session", "name", "title"};
constexpr std::array kQtFlags{"reverse", "widgetcount", "nograb", "dograb", "sync"};

}  // namespace

ProgramOptions ProgramOptions::Parse(const QStringList& arguments, const QString& version)
{
    ProgramOptions options;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument.size() == 1) {
            options.m_files << argument;
            continue;
        }
        if (argument == kEndOfOptions) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.m_outcome = Outcome::Exit;
            options.m_message = HelpText(version);
            return options;
        }
        if (argument == QLatin1String("--version")) {
            options.m_outcome = Outcome::Exit;
            options.m_message = kProgramName + QLatin1Char(' ') + version + QLatin1Char('\n');
            return options;
        }
        if (!options.TakeOption(arguments, &i))
            return options;
    }
    return options;
}

bool ProgramOptions::TakeOption(const QStringList& arguments, qsizetype* index)
{
    const QString& argument = arguments.at(*index);
    const bool doubleDash = argument.startsWith(kEndOfOptions);
    const QString body = argument.mid(doubleDash ? 2 : 1);
    const qsizetype equals = body.indexOf(QLatin1Char('='));
    const QString name = equals < 0 ? body : body.left(equals);

    bool qtTakesValue = false;
    if (!doubleDash && IsQtOption(name, &qtTakesValue)) {
        // Left to the application object; only its value is stepped over here.
        if (qtTakesValue && equals < 0)
            ++*index;
        return true;
    }
    if (!doubleDash || (name != kZoom && name != kAudio && name != kRoot))
        return Fail(QStringLiteral("unknown option '%1'").arg(argument));

    if (equals >= 0)
        return TakeValue(name, body.mid(equals + 1));
    if (*index + 1 >= arguments.size())
        return Fail(QStringLiteral("option '--%1' needs a value").arg(name));
    ++*index;
    return TakeValue(name, arguments.at(*index));
}

bool ProgramOptions::TakeValue(const QString& name, const QString& value)
{
    if (name == kZoom) {
        m_zoom = ScreenZoom::Parse(value);
        if (m_zoom == 0)
            return Fail(QStringLiteral("--zoom takes a whole number from %1 to %2, not '%3'")
                            .arg(ScreenZoom::kMinZoom)
                            .arg(ScreenZoom::kMaxZoom)
                            .arg(value));
        return true;
    }
    if (name == kAudio) {
        // The backends judge their own settings; an empty one would mean the default.
        std::string reason;
        if (value.isEmpty() || !AudioBackend::IsValidSetting(value.toLocal8Bit().toStdString(), reason))
            return Fail(QStringLiteral("--audio takes sdl, null[:SPEED] or wav:PATH[:SPEED], not '%1'").arg(value));
        m_audio = value;
        return true;
    }
    const QFileInfo root(value);
    if (value.isEmpty() || !root.isDir())
        return Fail(QStringLiteral("--root: no such folder '%1'").arg(value));
    m_root = root.absoluteFilePath();
    return true;
}

bool ProgramOptions::IsQtOption(const QString& name, bool* takesValue)
{
    const QByteArray latin = name.toLatin1();
    for (const char* option : kQtOptionsWithValue) {
        if (latin == option) {
            *takesValue = true;
            return true;
        }
    }
    for (const char* flag : kQtFlags) {
        if (latin == flag) {
            *takesValue = false;
            return true;
        }
    }
    return false;
}

bool ProgramOptions::Fail(const QString& message)
{
    m_outcome = Outcome::Error;
    m_message = QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(kProgramName, message);
    return false;
}

void ProgramOptions::Apply() const
{
    if (!m_audio.isEmpty())
        AudioBackend::SetSetting(m_audio.toLocal8Bit().toStdString());
    if (!m_root.isEmpty())
        DevicePath::SetRoot(m_root);
}

QString ProgramOptions::HelpText(const QString& version)
{
    return QStringLiteral(
               "Usage: %1 [OPTION]... [FILE]\n"
               "Vellumdeck %2, a study player: plays a recording (.mp3, .vds) or a playlist (.vdl)\n"
               "and shows its study text. FILE is opened and played at start; when Vellumdeck\n"
               "already runs, FILE is handed to it instead.\n"
               "\n"
               "  --zoom N          enlarge the window N times (1 to %3); default: fit the screen\n"
               "  --audio BACKEND   sound output: sdl (default), null[:SPEED] or wav:PATH[:SPEED]\n"
               "  --root DIR        use DIR as the whole device: every device path maps under it\n"
               "  -h, --help        show this help and exit\n"
               "      --version     show the version and exit\n"
               "  --                end of options (for a file whose name starts with '-')\n"
               "\n"
               "The environment variables VELLUMDECK_ZOOM, VELLUMDECK_AUDIO, VELLUMDECK_ROOT,\n"
               "VELLUMDECK_CODEPAGE and VELLUMDECK_REGISTRY set the same and more; an option wins.\n")
        .arg(kProgramName, version)
        .arg(ScreenZoom::kMaxZoom);
}
