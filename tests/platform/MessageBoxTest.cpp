// SPDX-License-Identifier: GPL-2.0-or-later
#include "MessageBox.h"

#include <gtest/gtest.h>

// Without a window to ask, the box answers its default button: a question whose
// second button is the default (the safe "No") must never be answered "Yes".
TEST(MessageBoxTest, StandardErrorPresenterPrintsTheBoxAndAnswersTheDefaultButton)
{
    EXPECT_EQ(DefaultMessageBoxResult(MB_OK | MB_ICONSTOP), IDOK);
    EXPECT_EQ(DefaultMessageBoxResult(MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(DefaultMessageBoxResult(MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(DefaultMessageBoxResult(MB_RETRYCANCEL | MB_DEFBUTTON2), IDCANCEL);
    EXPECT_EQ(DefaultMessageBoxResult(MB_ABORTRETRYIGNORE), IDABORT);

    auto previous = SetMessageBoxPresenter(nullptr);   // null restores the standard-error one
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxW(nullptr, "text", "Error", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: text\n");
    SetMessageBoxPresenter(std::move(previous));
}
