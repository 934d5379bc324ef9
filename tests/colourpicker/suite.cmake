# SPDX-License-Identifier: GPL-2.0-or-later
vellumdeck_add_suite(colourpicker_tests colourpicker GUI LIBS vdcolourpicker Qt6::Test)
