// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The five display values of the study text pane in the registry, under
// HKEY_CURRENT_USER\Software\Quorvane\Vellumdeck, and beside them what the learner
// chose for practice (the tempo, the loop's passes and pauses) and the window's size
// and place. Each call opens the key (creating it when missing), reads or writes one
// value and closes the key again.

#include "Win32Defs.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

class CRegSettings
{
public:
    static constexpr char kKeyPath[] = "Software\\Quorvane\\Vellumdeck";
    static constexpr char kFontNameValue[] = "FontName";
    static constexpr char kHeightValue[] = "Height";
    static constexpr char kBoldValue[] = "Bold";
    static constexpr char kBkColorValue[] = "BkColor";
    static constexpr char kTxtColorValue[] = "TxtColor";
    static constexpr char kSpeedValue[] = "Speed";                  // hundredths
    static constexpr char kPauseAfterPassValue[] = "PauseAfterPass";  // 0 or 1
    static constexpr char kLoopPassesValue[] = "LoopPasses";        // 0: endless
    static constexpr char kWindowValue[] = "Window";                // the frame's geometry

    // What a name that cannot be read reads as.
    static constexpr char kUnreadableName[] = "ERROR";
    // A face name longer than this many bytes counts as unreadable.
    static constexpr DWORD kMaxNameBytes = 510;

    // The values written on the first run.
    static constexpr char kDefaultFontName[] = "Tahoma";
    static constexpr std::int32_t kDefaultHeight = 15;
    static constexpr int kDefaultBold = 0;
    static constexpr COLORREF kDefaultBkColor = 0x5E0000;   // dark blue
    static constexpr COLORREF kDefaultTxtColor = 0xFFFFFF;  // white

    virtual ~CRegSettings() = default;

    // 1 when written, 0 when the key did not open or the write failed.
    int SetFontName(const QString& name);
    int SetHeight(std::int32_t height);
    int SetBold(int bold);   // any non-zero flag is stored as 1
    int SetBkColor(COLORREF color);
    int SetTxtColor(COLORREF color);

    // The stored name, or "ERROR" when the key or the value cannot be read.
    QString GetFontName();
    // The stored height; 0 when the key cannot be opened, -1 when the value cannot be read.
    std::int32_t GetHeight();
    // 1 only when the value reads as 1.
    int GetBold();
    // The stored colours; 0 when the key or the value cannot be read.
    COLORREF GetBkColor();
    COLORREF GetTxtColor();

    // A number as stored, or nothing when the key or the value cannot be read (so a
    // stored 0 and an unreadable value can be told apart).
    std::optional<DWORD> QueryNumber(const char* valueName);
    // 1 when written, 0 otherwise.
    int SetNumber(const char* valueName, DWORD number);
    // Raw bytes (REG_BINARY) of at most kMaxBytes; empty when they cannot be read.
    static constexpr DWORD kMaxBytes = 4096;
    int SetBytes(const char* valueName, const QByteArray& bytes);
    QByteArray GetBytes(const char* valueName);

private:
    enum class NumberRead { Ok, KeyFailed, ValueFailed };
    NumberRead ReadNumber(const char* valueName, DWORD* number);
};
