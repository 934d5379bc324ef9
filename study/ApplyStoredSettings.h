// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Applies the display settings kept in the registry to the study text pane, once,
// when the main view is first shown. A first run (no readable face name) stores the
// defaults first.

class CStudyEdit;

void ApplyStoredSettings(CStudyEdit& pane);
