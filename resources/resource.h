// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Resource, control and command ids of the program. The dialog, menu, accelerator and
// string tables under resources/ carry the same numbers; a test keeps the two in step.
// Plain integers on purpose: this header includes nothing.

// Dialogs and the form
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_VELLUMDECK_FORM = 101;
constexpr int IDD_DELETE_BOOKMARK = 163;
constexpr int IDD_SEARCH = 164;
constexpr int IDD_SETTING = 165;

// The document template's resources: menu, accelerator table, icon and document string
constexpr int IDR_MAINFRAME = 128;
constexpr int MENU_FILE_POPUP_INDEX = 0;   // submenu positions in menu 128
constexpr int MENU_BMARK_POPUP_INDEX = 1;
constexpr int MENU_HELP_POPUP_INDEX = 2;

// Strings of the framework that the program supplies
constexpr int AFX_IDS_APP_TITLE = 0xE000;

// Bitmaps: button faces (normal / pressed / disabled as the button table pairs them)
constexpr int IDB_LOOP_AB_PRESSED = 130;
constexpr int IDB_LOOP_OFF = 131;
constexpr int IDB_LOOP_A = 132;
constexpr int IDB_LOOP_AB = 133;
constexpr int IDB_LOOP_OFF_PRESSED = 134;
constexpr int IDB_LOOP_A_PRESSED = 135;
constexpr int IDB_SKIN = 136;
constexpr int IDB_STEP_FORWARD_PRESSED = 137;
constexpr int IDB_LOGO = 138;
constexpr int IDB_STEP_FORWARD = 139;
constexpr int IDB_PAUSE_PRESSED = 140;
constexpr int IDB_PAUSE = 141;
constexpr int IDB_NEXT_PRESSED = 142;
constexpr int IDB_NEXT = 143;
constexpr int IDB_REPEAT_LIST_ON = 145;
constexpr int IDB_PLAY = 146;
constexpr int IDB_REPEAT_LIST_OFF = 147;
constexpr int IDB_PLAY_PRESSED = 148;
constexpr int IDB_STEP_BACK_PRESSED = 149;
constexpr int IDB_PREVIOUS_PRESSED = 150;
constexpr int IDB_PREVIOUS = 151;
constexpr int IDB_STEP_BACK = 152;
constexpr int IDB_REPEAT_TRACK_ON = 153;
constexpr int IDB_SOUND_OFF = 154;
constexpr int IDB_SOUND_ON = 155;
constexpr int IDB_REPEAT_TRACK_OFF = 156;
constexpr int IDB_STOP = 157;
constexpr int IDB_STOP_PRESSED = 158;
constexpr int IDB_SEEK_THUMB = 159;
constexpr int IDB_SEEK_THUMB_PRESSED = 160;
constexpr int IDB_VOLUME_THUMB = 161;
constexpr int IDB_VOLUME_THUMB_PRESSED = 162;

// Bitmap sizes in pixels
constexpr int SKIN_WIDTH = 240;
constexpr int SKIN_HEIGHT = 270;
constexpr int LOGO_WIDTH = 234;
constexpr int LOGO_HEIGHT = 205;
constexpr int BIG_BUTTON_SIZE = 38;      // play and pause faces
constexpr int SMALL_BUTTON_SIZE = 16;    // every other button face but the sound toggle
constexpr int SOUND_BUTTON_WIDTH = 9;
constexpr int SOUND_BUTTON_HEIGHT = 27;
constexpr int THUMB_LONG_SIDE = 21;      // seek thumb 11 x 21, volume thumb 21 x 11
constexpr int THUMB_SHORT_SIDE = 11;

// Controls of every dialog that has no id of its own (labels)
constexpr int IDC_STATIC = -1;

// Form 101 and the main view's children
constexpr int IDC_SEEK_SLIDER = 1007;
constexpr int IDC_VOLUME_SLIDER = 1008;
constexpr int IDC_POS_TEXT = 1010;
constexpr int IDC_TOTAL_TEXT = 1011;
constexpr int IDC_SOUND = 1029;
constexpr int IDC_REPEAT_LIST_OFF = 1030;
constexpr int IDC_STOP = 1031;
constexpr int IDC_STEP_BACK = 1032;
constexpr int IDC_STEP_FORWARD = 1033;
constexpr int IDC_PREVIOUS = 1034;
constexpr int IDC_NEXT = 1035;
constexpr int IDC_LOOP_AB = 1036;
constexpr int IDC_LOOP_OFF = 1037;
constexpr int IDC_LOOP_A = 1038;
constexpr int IDC_REPEAT_TRACK_OFF = 1039;
constexpr int IDC_PLAY = 1040;
constexpr int IDC_PAUSE = 1041;
constexpr int IDC_REPEAT_TRACK_ON = 1042;
constexpr int IDC_REPEAT_LIST_ON = 1043;
constexpr int IDC_TEXT_PANE = 3535;
constexpr int IDC_LOGO_WND = 5555;

// About dialog 100
constexpr int IDC_ABOUT_ICON = 1001;
constexpr int IDC_ABOUT_VERSION = 1002;
constexpr int IDC_ABOUT_NOTE = 1003;

// Delete Bookmark dialog 163
constexpr int IDC_BOOKMARK_LIST = 1017;
constexpr int IDC_DELETE = 1018;
constexpr int IDC_DELETE_ALL = 1019;

// Search dialog 164 (its push button is IDOK)
constexpr int IDC_SEARCH_TEXT = 1019;

// Setting dialog 165
constexpr int IDC_FONT_LIST = 1022;
constexpr int IDC_FONT_SIZE = 1023;
constexpr int IDC_SIZE_SPIN = 1025;
constexpr int IDC_BOLD = 1026;
constexpr int IDC_BK_COLOR = 1027;
constexpr int IDC_TXT_COLOR = 1028;

// Menu and accelerator commands of the framework
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;

// Menu commands of the program
constexpr int ID_SET_BOOKMARK = 32771;
constexpr int ID_DEL_BOOKMARK = 32772;
constexpr int ID_SEARCH = 32773;
constexpr int ID_TEXT_OPEN = 32774;
constexpr int ID_SETTING = 32775;
// A recording or playlist from any folder, through the desktop's file dialog.
constexpr int ID_OPEN_FILE = 32776;

// The Play menu: every panel command from the keyboard, the tempo and the loop's
// passes. The tempo items carry ID_SPEED_FIRST + the tempo in tenths (5 to 20).
constexpr int ID_PLAY_PAUSE = 32780;
constexpr int ID_STOP = 32781;
constexpr int ID_STEP_BACK = 32782;
constexpr int ID_STEP_FORWARD = 32783;
constexpr int ID_PREVIOUS = 32784;
constexpr int ID_NEXT = 32785;
constexpr int ID_LOOP_AB = 32786;
constexpr int ID_REPEAT_TRACK = 32787;
constexpr int ID_REPEAT_LIST = 32788;
constexpr int ID_MUTE = 32789;
constexpr int ID_VOLUME_UP = 32790;
constexpr int ID_VOLUME_DOWN = 32791;
constexpr int ID_SPEED_SLOWER = 32792;
constexpr int ID_SPEED_FASTER = 32793;
constexpr int ID_SPEED_NORMAL = 32794;
constexpr int ID_PAUSE_AFTER_PASS = 32795;
constexpr int ID_PASSES_ENDLESS = 32796;
constexpr int ID_PASSES_3 = 32797;
constexpr int ID_PASSES_5 = 32798;
constexpr int ID_PASSES_10 = 32799;
constexpr int ID_SPEED_FIRST = 32800;
constexpr int ID_SPEED_LAST = 32820;

// Bookmark menu items: item k carries ID_BOOKMARK_FIRST + k; the range routed to the
// jump handler ends at ID_BOOKMARK_LAST.
constexpr int ID_BOOKMARK_FIRST = 3000;
constexpr int ID_BOOKMARK_LAST = 3100;
