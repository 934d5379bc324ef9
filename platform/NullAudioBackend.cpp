// SPDX-License-Identifier: GPL-2.0-or-later
#include "NullAudioBackend.h"

std::unique_ptr<AudioBackend> NullAudioBackend::Create(const QString& options, std::string& error)
{
    constexpr double kRealTime = 1.0;
    double speed = kRealTime;
    if (!options.isEmpty() && !ParseSpeed(options, speed)) {
        error = "null audio: bad speed '" + options.toStdString() + "'";
        return nullptr;
    }
    return std::make_unique<NullAudioBackend>(speed);
}
