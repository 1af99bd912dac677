// SPDX-License-Identifier: GPL-3.0-or-later
// The profile table: one ProfileItem per stored profile, and the connected mark on the
// row of the activated profile.
#pragma once

#include <vector>

#include <QAbstractTableModel>

#include "profiles/ProfileItem.h"

class ProfileTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // Column "pi" carries the mark; the others show the item's texts.
  enum Column { Mark, Profile, SSID, Channel, Authentication, Encryption, Network, ColumnCount };

  using QAbstractTableModel::QAbstractTableModel;

  void SetItems(std::vector<ProfileItem> items);
  void Clear();
  // The row that shows the mark (-1: none).
  void SetMarkedRow(int row);
  int MarkedRow() const { return markedRow_; }
  // Redraws the mark so that it follows G_bCheckedProfileConnect.
  void RedrawMark();

  const std::vector<ProfileItem>& Items() const { return items_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<ProfileItem> items_;
  int markedRow_ = -1;
};
