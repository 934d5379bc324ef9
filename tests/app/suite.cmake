# SPDX-License-Identifier: GPL-2.0-or-later
# The program's pieces: player controller, main view, application shell.
vellumdeck_add_suite(app_tests app GUI LIBS vdapp Qt6::Test)
