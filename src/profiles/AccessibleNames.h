// SPDX-License-Identifier: GPL-3.0-or-later
// Gives every named control of a form the accessible name of its outlet, so that screen
// readers and tests find it by the same name.
#pragma once

class QWidget;

namespace profiles {

// Sets accessibleName = objectName on `root` and on every named child widget (Qt's own
// internal children, named "qt_...", are left alone).
void NameControlsForAccessibility(QWidget* root);

}  // namespace profiles
