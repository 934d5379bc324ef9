// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The order in which the dialog lists folders and files: as a learner counts them, with
// runs of digits compared as numbers ("Unit 2" before "Unit 10") and letter case
// ignored; names that differ only in case or in leading zeros are told apart by their
// characters, so the order never depends on the order of an enumeration.

#include <QString>

namespace NaturalOrder {

bool Before(const QString& left, const QString& right);

}  // namespace NaturalOrder
