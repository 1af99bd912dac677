// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiles/ProfileTableModel.h"

#include <QIcon>

#include "app/state/GlobalState.h"

void ProfileTableModel::SetItems(std::vector<ProfileItem> items) {
  beginResetModel();
  items_ = std::move(items);
  endResetModel();
}

void ProfileTableModel::Clear() {
  SetItems({});
}

void ProfileTableModel::SetMarkedRow(int row) {
  markedRow_ = row;
  RedrawMark();
}

void ProfileTableModel::RedrawMark() {
  if (items_.empty()) return;
  emit dataChanged(index(0, Mark), index(static_cast<int>(items_.size()) - 1, Mark));
}

int ProfileTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int ProfileTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProfileTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(items_.size())) return {};
  const ProfileItem& item = items_[static_cast<std::size_t>(index.row())];
  if (index.column() == Mark) {
    if (index.row() != markedRow_) return {};
    const bool connected = G_bCheckedProfileConnect != 0;
    if (role == Qt::DecorationRole) {
      return QIcon(connected ? QStringLiteral(":/images/CHECKMRK.svg")
                             : QStringLiteral(":/images/UNCHECKMRK.svg"));
    }
    // The image's name, for tests and screen readers.
    if (role == Qt::AccessibleTextRole || role == Qt::UserRole) {
      return connected ? QStringLiteral("CHECKMRK") : QStringLiteral("UNCHECKMRK");
    }
    return {};
  }
  if (role != Qt::DisplayRole) return {};
  const std::string* text = nullptr;
  switch (index.column()) {
    case Profile:
      text = &item.profile();
      break;
    case SSID:
      text = &item.ssid();
      break;
    case Channel:
      text = &item.channel();
      break;
    case Authentication:
      text = &item.authentication();
      break;
    case Encryption:
      text = &item.encryption();
      break;
    case Network:
      text = &item.network();
      break;
    default:
      return {};
  }
  return QString::fromStdString(*text);
}

QVariant ProfileTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case Mark:
      return QString();
    case Profile:
      return tr("Profile");
    case SSID:
      return tr("SSID");
    case Channel:
      return tr("Channel");
    case Authentication:
      return tr("Authentication");
    case Encryption:
      return tr("Encryption");
    case Network:
      return tr("Network Type");
    default:
      return {};
  }
}
