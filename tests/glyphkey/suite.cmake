# SPDX-License-Identifier: GPL-2.0-or-later
# The button's faces are the program's bitmaps, so the suite embeds the program's resources.
vellumdeck_add_suite(glyphkey_tests glyphkey GUI LIBS glyphkey vdresources Qt6::Test)
