#pragma once
// Commands posted to the player thread and the notifications it posts back.

#include "Win32Defs.h"

constexpr UINT WM_PLAYER_QUIT = WM_APP + 1;    // 0, 0
constexpr UINT WM_PLAYER_OPEN = WM_APP + 2;    // heap char16_t[] path (thread frees it), 0
constexpr UINT WM_PLAYER_SEEK = WM_APP + 3;    // target, scale
constexpr UINT WM_PLAYER_PLAY = WM_APP + 4;
constexpr UINT WM_PLAYER_STOP = WM_APP + 5;
constexpr UINT WM_PLAYER_PAUSE = WM_APP + 6;

constexpr UINT WM_PLAYER_STATE = WM_APP + 0x101;  // state, 0
constexpr UINT WM_PLAYER_TOTAL = WM_APP + 0x102;  // heap TrackInfo* (receiver frees it), 0
constexpr UINT WM_PLAYER_POS = WM_APP + 0x103;    // position in whole seconds, 0

constexpr int PLAYER_ENDED = 1;
constexpr int PLAYER_PAUSED = 2;
constexpr int PLAYER_PLAYING = 3;
constexpr int PLAYER_STOPPED = 4;
