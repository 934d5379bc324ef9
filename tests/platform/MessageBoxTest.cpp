#include "MessageBox.h"
#include "RecordingMessageBoxPresenter.h"
#include "StderrMessageBoxPresenter.h"

#include <gtest/gtest.h>

#include <thread>

class MessageBoxTest : public ::testing::Test
{
protected:
    MessageBoxTest()
    {
        auto recorder = std::make_unique<RecordingMessageBoxPresenter>();
        m_recorder = recorder.get();
        m_previous = SetMessageBoxPresenter(std::move(recorder));
    }
    ~MessageBoxTest() override { SetMessageBoxPresenter(std::move(m_previous)); }

    RecordingMessageBoxPresenter* m_recorder = nullptr;
    std::unique_ptr<MessageBoxPresenter> m_previous;
};

TEST_F(MessageBoxTest, RecordsBoxesAndAnswersFromTheScriptThenTheDefault)
{
    m_recorder->ScriptAnswers({IDNO, IDCANCEL});
    EXPECT_EQ(MessageBoxW(nullptr, "Already bookmarked.", "Vellumdeck", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, "b", "c", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxW(nullptr, "No bookmark exists.", "", MB_OK | MB_ICONEXCLAMATION), IDOK);

    const auto records = m_recorder->Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].text, "Already bookmarked.");
    EXPECT_EQ(records[0].caption, "Vellumdeck");
    EXPECT_EQ(records[2].flags, MB_OK | MB_ICONEXCLAMATION);
    m_recorder->Clear();
    EXPECT_TRUE(m_recorder->Records().empty());
}

TEST_F(MessageBoxTest, DefaultButtonFollowsTypeAndDefButton2)
{
    EXPECT_EQ(DefaultMessageBoxResult(MB_OK | MB_ICONSTOP), IDOK);
    EXPECT_EQ(DefaultMessageBoxResult(MB_OKCANCEL), IDOK);
    EXPECT_EQ(DefaultMessageBoxResult(MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(DefaultMessageBoxResult(MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(DefaultMessageBoxResult(MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(DefaultMessageBoxResult(MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(DefaultMessageBoxResult(MB_RETRYCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(DefaultMessageBoxResult(MB_ABORTRETRYIGNORE), IDABORT);
}

TEST_F(MessageBoxTest, BoxesFromManyThreadsAreAllRecorded)
{
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([] {
            for (int j = 0; j < 25; ++j)
                MessageBoxW(nullptr, "Fail to create thread", "", MB_OK);
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(m_recorder->Records().size(), 100u);
}

TEST_F(MessageBoxTest, SwappingHandsBackThePreviousPresenter)
{
    auto second = std::make_unique<RecordingMessageBoxPresenter>();
    RecordingMessageBoxPresenter* secondRaw = second.get();
    auto first = SetMessageBoxPresenter(std::move(second));
    EXPECT_EQ(first.get(), m_recorder);
    MessageBoxW(nullptr, "x", "y", MB_OK);
    EXPECT_EQ(secondRaw->Records().size(), 1u);
    EXPECT_TRUE(m_recorder->Records().empty());

    // A null presenter restores the standard-error one, which answers the default button.
    auto back = SetMessageBoxPresenter(nullptr);
    EXPECT_EQ(back.get(), secondRaw);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxW(nullptr, "text", "Error", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: text\n");
    SetMessageBoxPresenter(std::move(first));
}
