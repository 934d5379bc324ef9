// SPDX-License-Identifier: GPL-2.0-or-later
// The colour grid and the picker button that drops it, each seen through the messages
// its owner receives and what it puts on screen.
#include "ColourMessages.h"
#include "ColourPicker.h"
#include "DialogBuilder.h"
#include "SystemLook.h"
#include "WindowMessage.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kBlue = 0xFF0000;   // entry 13
constexpr int kTop = CColourGrid::kTopBoxIndex;
constexpr int kBottom = CColourGrid::kBottomBoxIndex;

struct LoggedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const LoggedMessage&) const = default;
};

void PrintTo(const LoggedMessage& m, std::ostream* out)
{
    *out << "{0x" << std::hex << m.message << ", 0x" << m.wParam << ", " << std::dec << m.lParam << "}";
}

COLORREF TableColour(int index)
{
    return CColourGrid::kColourTable[index].colour;
}

// A window that keeps every window message it is sent, in order.
class MessageLog : public QWidget
{
public:
    std::vector<LoggedMessage> messages;
    std::function<void(UINT)> onMessage;   // runs after a message is logged, to act as a parent might
    const LoggedMessage& Last() const { return messages.back(); }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != WindowMessageEvent::EventType())
            return QWidget::event(event);
        auto* message = static_cast<WindowMessageEvent*>(event);
        messages.push_back({message->message, message->wParam, message->lParam});
        message->result = 1;
        if (onMessage)
            onMessage(message->message);
        return true;
    }
};

class ColourGridTest : public ::testing::Test
{
protected:
    void SetUp() override { owner.setGeometry(available.left() + 20, available.top() + 20, 36, 20); }

    void Open(COLORREF colour, bool boxes = true)
    {
        QString top = boxes ? QStringLiteral("Auto") : QString(), bottom = boxes ? QStringLiteral("Cancel") : QString();
        ASSERT_TRUE(grid.Create(available.topLeft() + QPoint(40, 40), colour, &owner, &top, &bottom));
        owner.messages.clear();
    }

    QPoint Centre(int index) const
    {
        return (index == kTop ? grid.GetTopBox() : index == kBottom ? grid.GetBottomBox() : grid.GetCellRect(index))
            .center();
    }
    // Tap down on the middle of a cell or box, without lifting.
    void TapDown(int index) { QTest::mousePress(&grid, Qt::LeftButton, {}, Centre(index)); }
    void Key(Qt::Key key) { QTest::keyClick(&grid, key); }

    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    MessageLog owner;
    CColourGrid grid;
};

TEST_F(ColourGridTest, OpeningMarksThePositionOfTheColour)
{
    const struct { COLORREF colour; bool boxes; int chosen; } cases[] = {
        {kBlue, true, 13}, {CLR_DEFAULT, true, kTop}, {0x123456, true, kBottom},
        // Without boxes neither the automatic colour nor a foreign one has a place.
        {CLR_DEFAULT, false, CColourGrid::kNoIndex}, {0x123456, false, CColourGrid::kNoIndex},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.colour << " boxes " << c.boxes);
        Open(c.colour, c.boxes);
        EXPECT_EQ(grid.GetChosenIndex(), c.chosen);
        grid.DestroyWindow();
    }
}

TEST_F(ColourGridTest, EachWayOfEndingTellsTheOwnerOnceAndLetsTheMouseGo)
{
    const auto tap = [this](int index) { QTest::mouseClick(&grid, Qt::LeftButton, {}, Centre(index)); };
    const LoggedMessage cancelled{WM_COLOUR_SELCANCEL, kBlue, 0};
    const auto ok = [](int cell) { return LoggedMessage{WM_COLOUR_SELOK, TableColour(cell), 0}; };
    const struct
    {
        const char* name;
        std::function<void()> steps;
        LoggedMessage last;
    } cases[] = {
        // Each case presses a cell of its own, never where an earlier press was left down.
        {"Escape", [&] { TapDown(19); Key(Qt::Key_Escape); }, cancelled},
        {"Return", [&] { TapDown(20); Key(Qt::Key_Return); }, ok(20)},
        {"Enter", [&] { TapDown(21); Key(Qt::Key_Enter); }, ok(21)},
        {"Space", [&] { TapDown(22); Key(Qt::Key_Space); }, ok(22)},
        // The bottom box reached by keys stands for the colour at opening, but Return on it
        // ends with the colour of the cell left.
        {"Return on the bottom box",
         [&] {
             TapDown(34);
             Key(Qt::Key_Down);
             EXPECT_EQ(owner.Last(), (LoggedMessage{WM_COLOUR_SELCHANGE, kBlue, 0}));
             Key(Qt::Key_Return);
         },
         ok(34)},
        {"tap on a cell", [&] { tap(26); }, ok(26)},
        {"tap on the top box", [&] { tap(kTop); }, {WM_COLOUR_SELOK, CLR_DEFAULT, 0}},
        {"tap up outside",
         [&] {
             TapDown(27);
             // Pressing outside every cell changes nothing.
             for (QPoint away : {QPoint(grid.width() + 40, 30), QPoint(30, grid.height() + 40), QPoint(-60, -60)})
                 QTest::mousePress(&grid, Qt::LeftButton, {}, away);
             EXPECT_EQ(owner.messages.size(), 1u);
             EXPECT_EQ(grid.GetHotIndex(), 27);
             QTest::mouseRelease(&grid, Qt::LeftButton, {}, QPoint(-30, 10));
         },
         cancelled},
        {"closed by the window system", [&] { TapDown(23); grid.close(); }, cancelled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(kBlue);
        c.steps();
        EXPECT_EQ(owner.Last(), c.last);
        EXPECT_EQ(std::count_if(owner.messages.begin(), owner.messages.end(),
                                [](const LoggedMessage& m) { return m.message != WM_COLOUR_SELCHANGE; }),
                  1);
        EXPECT_FALSE(grid.IsOpen());
        EXPECT_NE(QWidget::mouseGrabber(), &grid);
        if (grid.IsOpen())
            grid.DestroyWindow();
    }
}

// Each walk starts with nothing hot (a colour of no cell, or none of its own) and checks
// the hot position after every arrow key; together they cross every edge of the grid
// with both boxes, with one, and with none, so that the order in which the boxes are
// preferred shows.
TEST_F(ColourGridTest, ArrowKeysWalkAcrossTheEdgesToTheBoxesThatExist)
{
    using Step = std::pair<Qt::Key, int>;
    constexpr auto kDown = Qt::Key_Down, kUp = Qt::Key_Up, kLeft = Qt::Key_Left, kRight = Qt::Key_Right;
    const struct
    {
        const char* boxes;
        QString top, bottom;
        std::vector<Step> steps;
    } walks[] = {
        {"both", QStringLiteral("Auto"), QStringLiteral("Cancel"),
         {{kDown, kBottom}, {kDown, kTop}, {kDown, 0}, {kUp, kTop}, {kUp, kBottom}, {kUp, 39}, {kDown, kBottom},
          {kRight, kTop}, {kRight, 0}, {kLeft, kTop}, {kLeft, kBottom}, {kLeft, 39}, {kRight, kBottom},
          {kRight, kTop}, {kRight, 0}, {kDown, 8}, {kLeft, 7}, {kRight, 8}, {kUp, 0}, {kDown, 8}, {kDown, 16},
          {kDown, 24}, {kDown, 32}, {kDown, kBottom}}},
        {"top only", QStringLiteral("Auto"), QString(),
         {{kDown, kTop}, {kDown, 0}, {kUp, kTop}, {kUp, 39}, {kDown, kTop}, {kLeft, 39}, {kRight, kTop},
          {kRight, 0}, {kLeft, kTop}}},
        {"bottom only", QString(), QStringLiteral("Cancel"),
         {{kDown, kBottom}, {kDown, 0}, {kUp, kBottom}, {kUp, 39}, {kDown, kBottom}, {kRight, 0}, {kLeft, kBottom},
          {kLeft, 39}, {kRight, kBottom}}},
        {"none", QString(), QString(), {{kUp, 39}, {kDown, 0}, {kLeft, 39}, {kRight, 0}, {kUp, 39}, {kRight, 0}}},
    };
    for (const auto& walk : walks) {
        SCOPED_TRACE(walk.boxes);
        // A grid of its own, so that the walk starts from no hot position.
        CColourGrid walked;
        QString top = walk.top, bottom = walk.bottom;
        ASSERT_TRUE(walked.Create(available.topLeft() + QPoint(40, 40), 0x123456, &owner, &top, &bottom));
        ASSERT_EQ(walked.GetHotIndex(), CColourGrid::kNoIndex);
        // The rest of a walk that went astray says nothing more.
        for (std::size_t i = 0; i < walk.steps.size(); ++i) {
            QTest::keyClick(&walked, walk.steps[i].first);
            EXPECT_EQ(walked.GetHotIndex(), walk.steps[i].second) << "after key " << i + 1;
            if (walked.GetHotIndex() != walk.steps[i].second)
                break;
        }
        walked.DestroyWindow();
    }
}

TEST_F(ColourGridTest, HoldsTheMouseWhileOpen)
{
    QWidget other;
    other.show();
    Open(kBlue);
    EXPECT_EQ(QWidget::mouseGrabber(), &grid);

    other.grabMouse();
    QEvent anything(QEvent::User);
    QCoreApplication::sendEvent(&owner, &anything);
    EXPECT_EQ(QWidget::mouseGrabber(), &grid);

    // Losing the focus lets the mouse go but leaves the grid open.
    QFocusEvent focusOut(QEvent::FocusOut);
    QCoreApplication::sendEvent(&grid, &focusOut);
    EXPECT_NE(QWidget::mouseGrabber(), &grid);
    EXPECT_TRUE(grid.IsOpen());
}

constexpr int kPickerId = 1027;
// The colour box of an adjusted 36 x 20 picker.
constexpr QRect kBox(4, 4, 12, 12);

QRgb Sys(int index)
{
    return SystemLook::GetSysColor(index).rgb();
}

bool RegionHasColour(const QImage& image, const QRect& region, QRgb colour)
{
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (image.pixel(x, y) == colour)
                return true;
    return false;
}

class ColourPickerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        dialog.setGeometry(available.left() + 10, available.top() + 10, 175, 193);
        picker = new CColourPicker(&dialog);
        picker->SetDlgCtrlID(kPickerId);
        picker->setGeometry(DialogBuilder::ToPixels(QRect(16, 71, 16, 12)));
        picker->SetColour(kBlue);
        picker->SetAutoText(QStringLiteral("Auto"));
        dialog.show();
        dialog.messages.clear();
    }

    CColourGrid& Grid() { return const_cast<CColourGrid&>(picker->GetGrid()); }
    QImage Picture() { return picker->grab().toImage(); }

    MessageLog dialog;
    CColourPicker* picker = nullptr;
};

TEST_F(ColourPickerTest, ClickDropsTheGridBelowChoosingACellReportsEachStepAndASecondClickCancels)
{
    picker->click();
    ASSERT_TRUE(Grid().IsOpen());
    EXPECT_EQ(Grid().GetWindowRect().topLeft(), picker->mapToGlobal(QPoint(0, picker->height())));
    EXPECT_EQ(Grid().GetChosenIndex(), 13);
    QTest::mouseClick(&Grid(), Qt::LeftButton, {}, Grid().GetCellRect(20).center());
    const COLORREF chosen = TableColour(20);
    EXPECT_EQ(dialog.messages, (std::vector<LoggedMessage>{{WM_COLOUR_DROPDOWN, kBlue, kPickerId},
                                                           {WM_COLOUR_SELCHANGE, chosen, kPickerId},
                                                           {WM_COLOUR_CLOSEUP, chosen, kPickerId},
                                                           {WM_COLOUR_SELOK, chosen, kPickerId}}));

    // A second click on the picker cancels back to the colour it had on opening.
    picker->click();
    QTest::mousePress(&Grid(), Qt::LeftButton, {}, Grid().GetCellRect(9).center());
    dialog.messages.clear();
    picker->click();
    EXPECT_EQ(dialog.messages,
              (std::vector<LoggedMessage>{{WM_COLOUR_CLOSEUP, chosen, kPickerId}, {WM_COLOUR_SELCANCEL, chosen, kPickerId}}));
    EXPECT_FALSE(Grid().IsOpen());
    EXPECT_FALSE(picker->IsOpen());
    EXPECT_EQ(picker->GetColour(), chosen);
}

TEST_F(ColourPickerTest, FaceShowsTheColourThePushedStateAndTheDisabledState)
{
    // Raised, the arrow's outer edge is light at its top-left; pushed, it is a flat shadow.
    const QPoint arrowCorner = picker->GetArrowRect().topLeft();
    EXPECT_EQ(Picture().pixel(arrowCorner), Sys(SystemLook::COLOR_3DLIGHT));
    picker->click();
    EXPECT_EQ(Picture().pixel(arrowCorner), Sys(SystemLook::COLOR_BTNSHADOW));

    // The automatic colour shows the button face.
    QTest::mouseClick(&Grid(), Qt::LeftButton, {}, Grid().GetTopBox().center());
    EXPECT_EQ(Picture().pixel(arrowCorner), Sys(SystemLook::COLOR_3DLIGHT));
    EXPECT_EQ(Picture().pixel(kBox.center()), Sys(SystemLook::COLOR_BTNFACE));

    // Disabled: an inactive arrow, a plain box whatever the colour, an embossed caption.
    picker->SetColour(0x0000FF);
    picker->setText(QStringLiteral("Ab"));
    QFont font = picker->font();
    font.setPixelSize(10);
    font.setStyleStrategy(QFont::NoAntialias);
    picker->setFont(font);
    const QRect arrow = picker->GetArrowRect().adjusted(2, 2, -2, -2);
    const QImage enabled = Picture();
    EXPECT_TRUE(RegionHasColour(enabled, arrow, Sys(SystemLook::COLOR_BTNTEXT)));
    EXPECT_EQ(enabled.pixel(kBox.center()), QColor(Qt::red).rgb());

    picker->setEnabled(false);
    const QImage disabled = Picture();
    EXPECT_FALSE(RegionHasColour(disabled, arrow, Sys(SystemLook::COLOR_BTNTEXT)));
    EXPECT_TRUE(RegionHasColour(disabled, arrow, Sys(SystemLook::COLOR_BTNSHADOW)));
    EXPECT_FALSE(RegionHasColour(disabled, kBox, QColor(Qt::red).rgb()));
    EXPECT_TRUE(RegionHasColour(disabled, kBox, Sys(SystemLook::COLOR_BTNSHADOW)));
    EXPECT_TRUE(RegionHasColour(disabled, kBox, Sys(SystemLook::COLOR_BTNHIGHLIGHT)));
}

TEST_F(ColourPickerTest, WithoutAParentTheColourStillChanges)
{
    CColourPicker orphan;
    orphan.setGeometry(40, 40, 36, 20);
    orphan.show();
    orphan.click();
    auto& grid = const_cast<CColourGrid&>(orphan.GetGrid());
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.GetCellRect(26).center());
    EXPECT_EQ(orphan.GetColour(), TableColour(26));
    EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(ColourPickerTest, AParentThatClosesOnCloseUpGetsNoMore)
{
    dialog.onMessage = [this](UINT message) {
        if (message == WM_COLOUR_CLOSEUP) {
            delete picker;
            picker = nullptr;
        }
    };
    picker->click();
    QTest::keyClick(&Grid(), Qt::Key_Return);
    EXPECT_EQ(picker, nullptr);
    EXPECT_EQ(dialog.Last().message, WM_COLOUR_CLOSEUP);
}

} // namespace
