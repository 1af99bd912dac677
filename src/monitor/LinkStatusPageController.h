// SPDX-License-Identifier: GPL-3.0-or-later
// The Link Status page: every 2 seconds it shows whether the adapter is present and
// associated, and while associated the network, channel, transmit rate, throughput and
// the smoothed link quality and signal strength. The same refresh gives the survey page
// its connection line and keeps G_bCheckedProfileConnect.
#pragma once

#include <cstdint>
#include <memory>

#include <QObject>
#include <QString>

#include "app/AppContext.h"

class QWidget;

namespace Ui {
class LinkStatusPage;
}
namespace platform {
class RunLoopTimer;
}

class LinkStatusPageController : public QObject {
  Q_OBJECT
 public:
  explicit LinkStatusPageController(AppContext& context, QObject* parent = nullptr);
  ~LinkStatusPageController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Takes the throughput baseline and starts the refresh timer.
  void awakeFromNib();
  QWidget* widget() const { return widget_; }

  // One refresh (the timer tick).
  void OnTimer();

 private:
  // No device or no link: shows `status`, empties every other field.
  void ShowUnlinked(const QString& status);
  void RefreshConnected();
  QString NotConnectedStatus();
  void UpdateSurveyConnectStatus(const QString& text);

  AppContext& context_;
  Outlets outlets_;
  QWidget* widget_ = nullptr;  // the tab page, owned by the tab view once inserted
  std::unique_ptr<Ui::LinkStatusPage> ui_;
  platform::RunLoopTimer* refreshTimer_ = nullptr;

  uint32_t TxCount = 0;         // TxBytes at the previous connected refresh
  uint32_t RxCount = 0;         // RxBytes at the previous connected refresh
  uint32_t ChannelQuality = 0;  // smoothed link quality; 0 = no sample yet
  uint32_t SignalQuality = 0;   // smoothed signal strength; 0 = no sample yet
  QString LinkQualityGrade;
  QString LinkQualityPercent;
  QString SignalQualityGrade;
  QString SignalQualityPercent;
};
