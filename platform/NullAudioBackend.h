// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Plays into nothing, taking buffers at a multiple of real time: for tests and for
// machines without sound. Setting: "null[:SPEED]", real time when no speed is given.

#include "PumpedAudioBackend.h"

#include <memory>

class NullAudioBackend final : public PumpedAudioBackend
{
public:
    explicit NullAudioBackend(double speed) : PumpedAudioBackend(speed) {}
    ~NullAudioBackend() override { Close(); }

    static std::unique_ptr<AudioBackend> Create(const QString& options, std::string& error);

private:
    bool Prepare(const AudioFormat&, std::string&) override { return true; }
    void Sink(const std::uint8_t*, std::size_t) override {}
};
