// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Commands posted to the player thread and the notifications it posts back.

#include "Win32Defs.h"

constexpr UINT WM_PLAYER_QUIT = WM_APP + 1;    // 0, 0
constexpr UINT WM_PLAYER_OPEN = WM_APP + 2;    // heap char16_t[] path (thread frees it), 0
constexpr UINT WM_PLAYER_SEEK = WM_APP + 3;    // target, scale
constexpr UINT WM_PLAYER_PLAY = WM_APP + 4;
constexpr UINT WM_PLAYER_STOP = WM_APP + 5;
constexpr UINT WM_PLAYER_PAUSE = WM_APP + 6;
// The loop, repeat-one, the tempo and the pauses for repeating act on the sample that
// is heard, so the engine keeps them.
constexpr UINT WM_PLAYER_LOOP = WM_APP + 7;     // kind: 0 A at the heard sample, 1 B there and loop, 2 clear
constexpr UINT WM_PLAYER_REPEAT = WM_APP + 8;   // 1 repeat-one, 0 not
constexpr UINT WM_PLAYER_TEMPO = WM_APP + 9;    // the tempo in hundredths, 50 to 200
constexpr UINT WM_PLAYER_SHADOW = WM_APP + 10;  // 1 a pause after each pass, passes (0 endless)
constexpr UINT WM_PLAYER_TICK = WM_APP + 11;    // the thread's own: the next heard second is due

constexpr UINT WM_PLAYER_STATE = WM_APP + 0x101;  // state, 0
constexpr UINT WM_PLAYER_TOTAL = WM_APP + 0x102;  // heap TrackInfo* (receiver frees it), 0
constexpr UINT WM_PLAYER_POS = WM_APP + 0x103;    // heard position in whole seconds, 0
constexpr UINT WM_PLAYER_LOOPPOINT = WM_APP + 0x104;  // kind (0 A, 1 B, 2 the loop ended), its milliseconds

constexpr int LOOP_POINT_A = 0;
constexpr int LOOP_POINT_B = 1;
constexpr int LOOP_CLEAR = 2;
constexpr int TEMPO_NORMAL = 100;
constexpr int TEMPO_SLOWEST = 50;
constexpr int TEMPO_FASTEST = 200;

constexpr int PLAYER_ENDED = 1;
constexpr int PLAYER_PAUSED = 2;
constexpr int PLAYER_PLAYING = 3;
constexpr int PLAYER_STOPPED = 4;
