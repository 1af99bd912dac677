// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/AccessPointTableModel.h"

#include "app/state/GlobalState.h"

AccessPointTableModel::AccessPointTableModel(QObject* parent)
    : QAbstractTableModel(parent), connectedIcon_(QStringLiteral(":/images/HANDSHAK.svg")) {}

void AccessPointTableModel::SetRows(std::vector<AccessPoint> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

void AccessPointTableModel::Clear() {
  SetRows({});
}

void AccessPointTableModel::Reload() {
  if (rows_.empty()) return;
  emit dataChanged(index(0, 0), index(static_cast<int>(rows_.size()) - 1, ColumnCount - 1));
}

int AccessPointTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int AccessPointTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QString AccessPointTableModel::Field(const AccessPoint& row, int column) {
  switch (column) {
    case SsidColumn:
      return row.ssid();
    case BssidColumn:
      return row.bssid();
    case SignalColumn:
      return row.signal();
    case ChannelColumn:
      return row.channel();
    case AuthenticationColumn:
      return row.authentication();
    case EncryptionColumn:
      return row.encryption();
    case NetworkTypeColumn:
      return row.network();
    default:
      return {};
  }
}

QVariant AccessPointTableModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const int row = index.row();
  if (index.column() == ConnectedMarker) {
    const bool connected = row == G_bCurSelItem;
    if (role == Qt::DecorationRole && connected) return connectedIcon_;
    if (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) {
      return connected ? tr("Connected") : QVariant();
    }
    return {};
  }
  if (role == Qt::DisplayRole || role == Qt::EditRole) return Field(rows_[row], index.column());
  if (role == Qt::TextAlignmentRole &&
      (index.column() == SignalColumn || index.column() == ChannelColumn)) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  return {};
}

bool AccessPointTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return false;
  AccessPoint& row = rows_[index.row()];
  const QString text = value.toString();
  switch (index.column()) {
    case SsidColumn:
      row.setssid(text);
      break;
    case BssidColumn:
      row.setbssid(text);
      break;
    case SignalColumn:
      row.setsignal(text);
      break;
    case ChannelColumn:
      row.setchannel(text);
      break;
    case AuthenticationColumn:
      row.setauthentication(text);
      break;
    case EncryptionColumn:
      row.setencryption(text);
      break;
    case NetworkTypeColumn:
      row.setnetwork(text);
      break;
    default:
      return false;
  }
  emit dataChanged(index, index, {role});
  return true;
}

QVariant AccessPointTableModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  switch (section) {
    case ConnectedMarker:
      return QString();
    case SsidColumn:
      return tr("SSID");
    case BssidColumn:
      return tr("BSSID");
    case SignalColumn:
      return tr("Signal (%)");
    case ChannelColumn:
      return tr("Channel");
    case AuthenticationColumn:
      return tr("Authentication");
    case EncryptionColumn:
      return tr("Encryption");
    case NetworkTypeColumn:
      return tr("Network Type");
    default:
      return {};
  }
}
