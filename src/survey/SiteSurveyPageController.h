// SPDX-License-Identifier: GPL-3.0-or-later
// The Site Survey page: scan table, probe, connect, add profile and the task engine tick.
#pragma once

#include <memory>

#include <QObject>
#include <QString>

#include "app/AppContext.h"
#include "engine/ProfileRecord.h"

class QWidget;
class QDialog;

class SiteSurveyPageController : public QObject {
  Q_OBJECT
 public:
  explicit SiteSurveyPageController(AppContext& context, QObject* parent = nullptr);
  ~SiteSurveyPageController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Runs once the whole window is loaded and every outlet is set.
  void awakeFromNib();
  QWidget* widget() const { return widget_; }

  void StartSiteSurveyTimer();
  void StopSiteSurveyTimer();
  void ClearAPList();
  void RefreshAPList();
  void UpdateConnectStatus(const QString& text);
  // Task engine entry points (the queue itself is the engine's).
  void SetTaskQueue(std::unique_ptr<ProfileRecord> record);
  void resetFlag();
  void DoTask();

 private:
  AppContext& context_;
  Outlets outlets_;
  QWidget* widget_ = nullptr;  // the tab page, owned by the tab view once inserted
  int8_t SetSsid = 0;          // the last connect request associated by network name
  int8_t SetBssid = 0;         // the last connect request associated by BSSID
  int8_t runFlag = 0;          // nonzero while the task engine applies a task
};
