// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiles/AccessibleNames.h"

#include <QWidget>

namespace profiles {

void NameControlsForAccessibility(QWidget* root) {
  auto name = [](QWidget* widget) {
    const QString outlet = widget->objectName();
    if (!outlet.isEmpty() && !outlet.startsWith(QLatin1String("qt_"))) {
      widget->setAccessibleName(outlet);
    }
  };
  name(root);
  for (QWidget* child : root->findChildren<QWidget*>()) name(child);
}

}  // namespace profiles
