// SPDX-License-Identifier: GPL-3.0-or-later
// The site survey table's data: one AccessPoint per scan-list entry, in list order, and a
// marker column that shows the "HANDSHAK" image on the row of the connected network.
#pragma once

#include <vector>

#include <QAbstractTableModel>
#include <QIcon>

#include "survey/AccessPoint.h"

class AccessPointTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column {
    ConnectedMarker = 0,  // the "pi" image column
    SsidColumn,
    BssidColumn,
    SignalColumn,
    ChannelColumn,
    AuthenticationColumn,
    EncryptionColumn,
    NetworkTypeColumn,
    ColumnCount
  };

  explicit AccessPointTableModel(QObject* parent = nullptr);

  // Replaces every row at once (one reset for the view).
  void SetRows(std::vector<AccessPoint> rows);
  void Clear();
  // Asks the view to fetch every cell again (the connected row may have moved).
  void Reload();
  const std::vector<AccessPoint>& rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  static QString Field(const AccessPoint& row, int column);
  std::vector<AccessPoint> rows_;
  QIcon connectedIcon_;
};
