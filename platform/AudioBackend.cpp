#include "AudioBackend.h"

#include "NullAudioBackend.h"
#include "SdlAudioBackend.h"
#include "WavAudioBackend.h"

#include <QString>

#include <cmath>
#include <cstdlib>

namespace {

constexpr char kSettingVariable[] = "VELLUMDECK_AUDIO";
constexpr double kRealTime = 1.0;
constexpr char kEffectsUnderCapture[] = "null:1000";

// A positive, finite multiple of real time, or nothing.
bool ParseSpeed(const QString& text, double& speed)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0.0)
        return false;
    speed = value;
    return true;
}

std::unique_ptr<AudioBackend> CreateNull(const QString& options, std::string& error)
{
    double speed = kRealTime;
    if (!options.isEmpty() && !ParseSpeed(options, speed)) {
        error = "null audio: bad speed '" + options.toStdString() + "'";
        return nullptr;
    }
    return std::make_unique<NullAudioBackend>(speed);
}

// PATH[:SPEED]; a path may hold colons of its own, so only a last part that reads
// as a speed is taken for one.
std::unique_ptr<AudioBackend> CreateWav(const QString& options, std::string& error)
{
    QString path = options;
    double speed = AudioPump::kUnpaced;
    const qsizetype colon = options.lastIndexOf(u':');
    if (colon >= 0 && ParseSpeed(options.mid(colon + 1), speed))
        path = options.left(colon);
    if (path.isEmpty()) {
        error = "wav audio: no file named";
        return nullptr;
    }
    return std::make_unique<WavAudioBackend>(path, speed);
}

}  // namespace

std::string AudioBackend::Setting()
{
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
    if (name.isEmpty() || name == u"sdl")
        return std::make_unique<SdlAudioBackend>();
    if (name == u"null")
        return CreateNull(options, error);
    if (name == u"wav")
        return CreateWav(options, error);
    error = "unknown audio backend '" + setting + "' in " + kSettingVariable;
    return nullptr;
}
