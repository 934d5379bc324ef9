# SPDX-License-Identifier: GPL-2.0-or-later
vellumdeck_add_suite(study_tests study GUI LIBS vdstudy Qt6::Test)
