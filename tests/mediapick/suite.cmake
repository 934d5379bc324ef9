# SPDX-License-Identifier: GPL-2.0-or-later
vellumdeck_add_suite(mediapick_tests mediapick GUI LIBS mediapick Qt6::Test)
