// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The system's error of the last failed platform call on this thread, and its text.

#include <QString>

namespace SystemError {

int Last();
void SetLast(int error);
// The system's own words for an error number (strerror), e.g. "No such file or directory".
QString Text(int error);

}  // namespace SystemError
