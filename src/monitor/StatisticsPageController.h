// SPDX-License-Identifier: GPL-3.0-or-later
// The Statistics page: ten transmit and receive counters of the adapter, refreshed every
// 2 seconds, and a button that resets the driver's counters.
#pragma once

#include <array>
#include <memory>

#include <QObject>
#include <QString>

#include "app/AppContext.h"

class QLabel;
class QWidget;

namespace Ui {
class StatisticsPage;
}
namespace platform {
class RunLoopTimer;
}

class StatisticsPageController : public QObject {
  Q_OBJECT
 public:
  explicit StatisticsPageController(AppContext& context, QObject* parent = nullptr);
  ~StatisticsPageController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Starts the refresh timer.
  void awakeFromNib();
  QWidget* widget() const { return widget_; }

  // One refresh (the timer tick).
  void OnTimer();
  // The Reset Counters button.
  void OnResetCounter();

 private:
  static constexpr std::size_t kCounterCount = 10;
  // The counter fields in the order every refresh fills them.
  std::array<QLabel*, kCounterCount> CounterFields() const;
  void ShowCounters(const std::array<QString, kCounterCount>& texts);
  void ShowZeros();

  AppContext& context_;
  Outlets outlets_;
  QWidget* widget_ = nullptr;  // the tab page, owned by the tab view once inserted
  std::unique_ptr<Ui::StatisticsPage> ui_;
  platform::RunLoopTimer* refreshTimer_ = nullptr;
};
