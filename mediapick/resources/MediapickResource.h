// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Resource and control ids of the select-file dialog library. The library's own dialog
// and bitmap live in its own resource module ("mediapick"), apart from the program's.

constexpr const char* MEDIAPICK_RESOURCE_MODULE = "mediapick";

constexpr int IDD_SELECT_FILE = 129;
constexpr int IDB_FOLDER = 166;
constexpr int FOLDER_PICTURE_SIZE = 16;

// Controls of dialog 129
constexpr int IDC_TYPE_COMBO = 1000;
constexpr int IDC_FOLDER_TREE = 1001;
constexpr int IDC_FILE_LIST = 1002;
constexpr int IDC_SELECT_ALL = 1005;
constexpr int IDC_UP = 1006;
constexpr int IDC_DOWN = 1007;
constexpr int IDC_SELECT = 1008;

// Filter codes of the file list: which name endings an entry may have to be listed
constexpr unsigned long FILTER_ALL = 1001;
constexpr unsigned long FILTER_MP3_TXT = 1002;
constexpr unsigned long FILTER_MP3 = 1003;
constexpr unsigned long FILTER_TXT = 1004;
constexpr unsigned long FILTER_HTM = 1005;
constexpr unsigned long FILTER_MP3_TXT_VDL = 1006;
constexpr unsigned long FILTER_MP3_VDS = 1007;
constexpr unsigned long FILTER_VDS = 1008;
constexpr unsigned long FILTER_VDL = 1009;
