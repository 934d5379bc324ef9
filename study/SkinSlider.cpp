// SPDX-License-Identifier: GPL-2.0-or-later
#include "SkinSlider.h"

#include "ColourRef.h"
#include "DialogTemplate.h"
#include "ResourceModule.h"

#include <algorithm>

namespace {

// A new trackbar's range and steps.
constexpr int kDefaultMaximum = 100;
constexpr int kDefaultLineSize = 1;
constexpr int kDefaultPageSize = 20;

// Geometry, in pixels.
constexpr int kDrawnThumbLength = 11;    // along the channel, when no bitmap gives it
constexpr int kChannelThickness = 4;

constexpr int kChannelMax = 255;

// Combines two colours channel by channel (red, green, blue), each result held to a
// byte; the top byte of the result is clear.
template <typename Combine>
COLORREF PerChannel(COLORREF first, COLORREF second, Combine combine)
{
    auto channel = [&](BYTE (*of)(COLORREF)) {
        return BYTE(std::clamp(combine(int(of(first)), int(of(second))), 0, kChannelMax));
    };
    return ColourRefFromRgb(channel(RedOf), channel(GreenOf), channel(BlueOf));
}

} // namespace

CSkinSlider::CSkinSlider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
    , m_backgroundColor(ToColourRef(palette().color(QPalette::Window)))
{
    setTickPosition(QSlider::TicksBelow);
    setRange(0, kDefaultMaximum);
    setSingleStep(kDefaultLineSize);
    setPageStep(kDefaultPageSize);
    // Every pixel is painted here, from the background brush up.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_pageTimer.callOnTimeout(this, [this] { OnPageTimer(); });
    UpdateColors();
}

CSkinSlider::~CSkinSlider() = default;

// ---- colours ----

COLORREF CSkinSlider::Lighten(COLORREF colour, int amount)
{
    return PerChannel(colour, 0, [amount](int channel, int) { return channel + amount; });
}

COLORREF CSkinSlider::Darken(COLORREF colour, int amount)
{
    return PerChannel(colour, 0, [amount](int channel, int) { return channel - amount; });
}

COLORREF CSkinSlider::Mix(COLORREF first, COLORREF second)
{
    return PerChannel(first, second, [](int a, int b) { return (a + b) / 2; });
}

void CSkinSlider::UpdateColors()
{
    m_highlightColor = Lighten(m_thumbColor, kHighlightAmount);
    m_shadowColor = Darken(m_thumbColor, kShadowAmount);
    m_gripColor = Mix(m_thumbColor, m_shadowColor);
    m_pressedColor = Mix(m_thumbColor, m_highlightColor);
    m_channelBrush = QBrush(ToQColor(m_channelColor));
    m_thumbBrush = QBrush(ToQColor(m_thumbColor));
    m_gripPen = QPen(ToQColor(m_gripColor), 1);
}

void CSkinSlider::SetColors(COLORREF thumbColor, COLORREF channelColor, COLORREF backgroundColor)
{
    m_thumbColor = thumbColor;
    m_channelColor = channelColor;
    m_backgroundColor = backgroundColor;
    UpdateColors();
    update();
}

void CSkinSlider::UpdateBackgroundBrush()
{
    m_backgroundBrush = std::make_unique<QBrush>(ToQColor(m_backgroundColor));
    update();
}

void CSkinSlider::SetThumbBitmaps(int normalId, int pressedId)
{
    const ResourceModule& module = GetResourceModule();
    m_normalThumb = module.LoadBitmap(normalId);
    m_pressedThumb = QImage();
    // Without a normal thumb there is nothing to show: the thumb is drawn instead.
    if (m_normalThumb.isNull()) {
        m_bitmapThumbs = false;
        update();
        return;
    }
    m_pressedThumb = module.LoadBitmap(pressedId);
    if (m_pressedThumb.isNull())
        m_pressedThumb = m_normalThumb;
    m_bitmapThumbs = true;
    update();
}

// ---- trackbar operations ----

void CSkinSlider::SetTrackbarStyle(DWORD style)
{
    setOrientation((style & TBS_VERT) != 0 ? Qt::Vertical : Qt::Horizontal);
    m_thumbBothSides = (style & TBS_BOTH) != 0;
    if ((style & TBS_NOTICKS) != 0)
        setTickPosition(QSlider::NoTicks);
    else if (m_thumbBothSides)
        setTickPosition(QSlider::TicksBothSides);
    else if ((style & TBS_TOP) != 0)
        setTickPosition(QSlider::TicksAbove);
    else
        setTickPosition(QSlider::TicksBelow);
    update();
}

DWORD CSkinSlider::GetTrackbarStyle() const
{
    DWORD style = IsHorizontal() ? TBS_HORZ : TBS_VERT;
    if (tickPosition() == QSlider::NoTicks)
        style |= TBS_NOTICKS;
    if (ThumbBothSides())
        style |= TBS_BOTH;
    else if (ThumbTowardTop())
        style |= TBS_TOP;
    return style;
}

DWORD CSkinSlider::TrackbarStyleOf(std::uint32_t controlStyles)
{
    DWORD style = (controlStyles & ControlStyle::Vertical) != 0 ? TBS_VERT : TBS_HORZ;
    if ((controlStyles & ControlStyle::NoTicks) != 0)
        style |= TBS_NOTICKS;
    if ((controlStyles & ControlStyle::BothSides) != 0)
        style |= TBS_BOTH;
    if ((controlStyles & ControlStyle::TicksTop) != 0)
        style |= TBS_TOP;
    return style;
}

void CSkinSlider::SetRange(int minimum, int maximum, bool)
{
    setRange(minimum, maximum);
}

void CSkinSlider::SetRangeMin(int minimum, bool)
{
    setMinimum(minimum);
}

void CSkinSlider::SetRangeMax(int maximum, bool)
{
    setMaximum(maximum);
}

void CSkinSlider::SetPos(int position)
{
    setValue(position);
    update();
}

int CSkinSlider::SetLineSize(int size)
{
    const int previous = singleStep();
    setSingleStep(size);
    return previous;
}

int CSkinSlider::SetPageSize(int size)
{
    const int previous = pageStep();
    setPageStep(size);
    return previous;
}

bool CSkinSlider::SetTic(int position)
{
    if (position < minimum() || position > maximum())
        return false;
    m_tics.push_back(position);
    update();
    return true;
}

void CSkinSlider::SetMark(double position)
{
    if (position < minimum() || position > maximum())
        return;
    m_marks.push_back(position);
    update();
}

void CSkinSlider::ClearTics(bool redraw)
{
    m_tics.clear();
    m_marks.clear();
    if (redraw)
        update();
}

int CSkinSlider::GetNumTics() const
{
    constexpr int kEndTics = 2;
    return tickPosition() == QSlider::NoTicks ? 0 : int(m_tics.size()) + kEndTics;
}

int CSkinSlider::GetTic(int index) const
{
    return index >= 0 && index < int(m_tics.size()) ? m_tics[std::size_t(index)] : -1;
}

// ---- geometry ----

int CSkinSlider::ThumbLength() const
{
    if (!m_bitmapThumbs)
        return kDrawnThumbLength;
    return IsHorizontal() ? m_normalThumb.width() : m_normalThumb.height();
}

int CSkinSlider::Travel() const
{
    return std::max(0, Length() - ThumbLength());
}

int CSkinSlider::OffsetOf(int position) const
{
    const qint64 span = qint64(maximum()) - minimum();
    if (span <= 0)
        return 0;
    const qint64 along = (qint64(position) - minimum()) * Travel();
    return int((along + span / 2) / span);
}

double CSkinSlider::OffsetOf(double position) const
{
    const double span = double(maximum()) - minimum();
    return span > 0 ? (position - minimum()) * Travel() / span : 0.0;
}

int CSkinSlider::PositionAt(int offset) const
{
    const int travel = Travel();
    if (travel == 0)
        return minimum();
    const qint64 span = qint64(maximum()) - minimum();
    const qint64 clamped = std::clamp(offset, 0, travel);
    return int(minimum() + (clamped * span + travel / 2) / travel);
}

QRect CSkinSlider::GetThumbRect() const
{
    const int offset = OffsetOf(value());
    if (IsHorizontal())
        return QRect(offset, 0, ThumbLength(), height());
    return QRect(0, offset, width(), ThumbLength());
}

QRect CSkinSlider::GetChannelRect() const
{
    const int inset = ThumbLength() / 2;
    const int length = std::max(0, Length() - 2 * inset);
    if (IsHorizontal())
        return QRect(inset, (height() - kChannelThickness) / 2, length, kChannelThickness);
    return QRect((width() - kChannelThickness) / 2, inset, kChannelThickness, length);
}
