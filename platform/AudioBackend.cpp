// SPDX-License-Identifier: GPL-2.0-or-later
#include "AudioBackend.h"

#include "NullAudioBackend.h"
#include "SdlAudioBackend.h"
#include "WavAudioBackend.h"

#include <QString>

#include <cstdlib>
#include <mutex>

namespace {

constexpr char kSettingVariable[] = "VELLUMDECK_AUDIO";
constexpr char kEffectsUnderCapture[] = "null:1000";

struct BackendKind
{
    const char16_t* name;
    std::unique_ptr<AudioBackend> (*create)(const QString& options, std::string& error);
};

// Every output there is, by the name a setting gives it; the first is the default.
// A new backend is its own file and one line here.
constexpr BackendKind kBackends[] = {
    {u"sdl", &SdlAudioBackend::Create},
    {u"null", &NullAudioBackend::Create},
    {u"wav", &WavAudioBackend::Create},
};

struct Choice
{
    std::mutex lock;
    std::string setting;
};

Choice& ProgramChoice()
{
    static Choice choice;
    return choice;
}

}  // namespace

bool AudioBackend::IsValidSetting(const std::string& setting, std::string& error)
{
    return Create(setting, error) != nullptr;
}

void AudioBackend::SetSetting(const std::string& setting)
{
    Choice& choice = ProgramChoice();
    std::lock_guard guard(choice.lock);
    choice.setting = setting;
}

std::string AudioBackend::Setting()
{
    {
        Choice& choice = ProgramChoice();
        std::lock_guard guard(choice.lock);
        if (!choice.setting.empty())
            return choice.setting;
    }
    const char* value = std::getenv(kSettingVariable);
    return value ? value : "";
}

std::string AudioBackend::EffectsSetting()
{
    const std::string setting = Setting();
    return setting.rfind("wav:", 0) == 0 ? std::string(kEffectsUnderCapture) : setting;
}

std::unique_ptr<AudioBackend> AudioBackend::Create(const std::string& setting, std::string& error)
{
    const QString text = QString::fromLocal8Bit(setting);
    const qsizetype colon = text.indexOf(u':');
    const QString name = colon < 0 ? text : text.left(colon);
    const QString options = colon < 0 ? QString() : text.mid(colon + 1);
    if (name.isEmpty())
        return kBackends[0].create(options, error);
    for (const BackendKind& kind : kBackends) {
        if (name == QStringView(kind.name))
            return kind.create(options, error);
    }
    error = "unknown audio backend '" + setting + "' in " + kSettingVariable;
    return nullptr;
}
