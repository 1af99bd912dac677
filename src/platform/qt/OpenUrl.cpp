// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/OpenUrl.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

bool OpenUrl(const QString& address) {
  const QUrl url(address, QUrl::StrictMode);
  if (!url.isValid()) return false;
  return QDesktopServices::openUrl(url);
}

}  // namespace platform
