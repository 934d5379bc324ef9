// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Setting command: runs the Setting dialog on the pane's font and colours and, on OK,
// applies the choice to the pane and stores it in the registry. Anything but OK changes
// nothing.

class CStudyEdit;
class QWidget;

void RunSettingCommand(QWidget* view, CStudyEdit& pane);
