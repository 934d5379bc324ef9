// SPDX-License-Identifier: GPL-2.0-or-later
#include "ListeningFixture.h"

#include "Dither.h"
#include "MessageQueue.h"
#include "PlayTool.h"
#include "Registry.h"
#include "TempDeviceRoot.h"
#include "TrackInfo.h"
#include "WaitFor.h"

#include <algorithm>

namespace {

constexpr int kWaitMs = 30000;
// After the end the monitor records this much longer: anything still on its way to
// the sink would be heard in it.
constexpr double kAfterEndSeconds = 0.5;

}  // namespace

void ListeningFixture::SetUp()
{
    // A volume stored by another run must not scale what is heard.
    Registry::SetFilePath(m_settings.filePath("registry.ini"));
    auto boxes = std::make_unique<RecordingMessageBoxPresenter>();
    m_boxes = boxes.get();
    m_previousBoxes = SetMessageBoxPresenter(std::move(boxes));
    QString reason;
    if (!m_server.UseRunServer(reason))
        GTEST_SKIP() << reason.toStdString();
}

void ListeningFixture::TearDown()
{
    if (m_threadStarted) {
        Post(WM_PLAYER_QUIT);
        EXPECT_TRUE(m_thread.WaitForExit(kWaitMs));
        for (Message msg; m_target.Take(msg, 0);) {
            if (msg.message == WM_PLAYER_TOTAL)
                tuneboxThread::TakeTrackInfo(msg.wParam);
        }
        EXPECT_TRUE(m_boxes->Records().empty()) << "a message box was shown while it played";
    }
    m_recorder.Stop();
    SetMessageBoxPresenter(std::move(m_previousBoxes));
    Registry::SetFilePath(QString());
}

void ListeningFixture::Prepare(const QString& testDataName)
{
    PlayTool tool;
    const QString capture = m_settings.filePath("reference.wav");
    ASSERT_TRUE(tool.Capture(TestDataPath(testDataName), capture, kWaitMs)) << tool.Errors().toStdString();
    ASSERT_TRUE(HeardPcm::Load(capture, m_reference));
    QString reason;
    ASSERT_TRUE(m_server.AddSink(m_reference.rate, m_reference.channels, reason)) << reason.toStdString();
    // The engine tool began from a clean dither, as the player thread must to make
    // the very same samples.
    Dither::ResetAll();
    // Before any thread of the player's or of libpulse starts: they read these.
    m_server.UseInThisProcess();
    qputenv("VELLUMDECK_AUDIO", "sdl");
    std::string error;
    ASSERT_TRUE(m_recorder.Start(m_server.Monitor().toStdString(), m_reference.rate, m_reference.channels, error))
        << error;
    m_thread.m_bAutoDelete = false;
    m_thread.SetOwner(&m_target);
    ASSERT_TRUE(m_thread.CreateThread());
    m_threadStarted = true;
}

void ListeningFixture::Post(UINT msg, WPARAM wParam, LPARAM lParam)
{
    EXPECT_TRUE(PostThreadMessageW(m_thread.m_nThreadID, msg, wParam, lParam));
}

void ListeningFixture::PlayThrough(const QString& testDataName, double seconds, const std::function<void()>& change)
{
    Prepare(testDataName);
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(tuneboxThread::PostOpen(m_thread.m_nThreadID, TestDataPath(testDataName)));
    Post(WM_PLAYER_PLAY);
    if (change) {
        ASSERT_TRUE(WaitForSoundHeard(seconds));
        change();
        if (HasFatalFailure())
            return;
    }
    ASSERT_TRUE(WaitForState(PLAYER_ENDED));
    StopRecording();
    m_lag = HeardCompare::Align(m_reference, m_heard);
    ASSERT_GE(m_lag, 0) << "the recording's first sound was never heard";
    m_changedAt = HeardCompare::FirstDifference(m_reference, 0, m_heard, m_lag);
}

bool ListeningFixture::WaitForState(int state)
{
    for (Message msg; m_target.Take(msg, kWaitMs);) {
        if (msg.message == WM_PLAYER_TOTAL)
            m_durationSeconds = tuneboxThread::TakeTrackInfo(msg.wParam)->durationSeconds;
        if (msg.message == WM_PLAYER_STATE && static_cast<int>(msg.wParam) == state)
            return true;
    }
    return false;
}

bool ListeningFixture::WaitForSoundHeard(double seconds)
{
    const auto wanted = static_cast<long>(seconds * m_reference.rate * m_reference.channels);
    return WaitFor(
        [&] {
            const std::vector<std::int16_t> samples = m_recorder.Samples();
            return std::count_if(samples.begin(), samples.end(), [](std::int16_t s) { return s != 0; }) >= wanted;
        },
        kWaitMs);
}

bool ListeningFixture::WaitForSilenceHeard(double seconds)
{
    const auto tail = static_cast<long>(seconds * m_reference.rate * m_recorder.Channels());
    return WaitFor(
        [&] {
            const std::vector<std::int16_t> samples = m_recorder.Samples();
            return static_cast<long>(samples.size()) >= tail &&
                   std::all_of(samples.end() - tail, samples.end(), [](std::int16_t s) { return s == 0; });
        },
        kWaitMs);
}

void ListeningFixture::StopRecording()
{
    const std::size_t until = m_recorder.Frames() + static_cast<std::size_t>(kAfterEndSeconds * m_reference.rate);
    EXPECT_TRUE(WaitFor([&] { return m_recorder.Frames() >= until || !m_recorder.Running(); }, kWaitMs));
    m_recorder.Stop();
    EXPECT_TRUE(m_recorder.Error().empty()) << m_recorder.Error();
    m_heard = {m_recorder.Rate(), m_recorder.Channels(), m_recorder.Samples()};
}
