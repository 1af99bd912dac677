// SPDX-License-Identifier: GPL-3.0-or-later
// The Profile page: stored profiles, activation and automatic re-application.
#pragma once

#include <memory>
#include <optional>

#include <QObject>
#include <QString>

#include "app/AppContext.h"
#include "profiles/ProfileStore.h"

class QWidget;
class QDialog;
class QTableView;
class ProfileTableModel;
namespace platform {
class RunLoopTimer;
}
namespace Ui {
class ProfilePageController;
}

class ProfilePageController : public QObject {
  Q_OBJECT
 public:
  explicit ProfilePageController(AppContext& context, QObject* parent = nullptr);
  ~ProfilePageController() override;

  // Outlets to the other controllers, set once every controller exists.
  void setOutlets(const Outlets& outlets) { outlets_ = outlets; }
  // Runs once the whole window is loaded and every outlet is set: double-click activates,
  // and the table is redrawn every 2 seconds so that the connected mark follows the link.
  void awakeFromNib();
  QWidget* widget() const { return widget_; }

  // Reloads the profile list and the activation list from the store and rebuilds the
  // table with no row selected. Called by the main controller when the adapter is found
  // again, by the survey page after it added a profile, and here whenever the editor
  // closes and after a deletion.
  void RefreshProfileList();
  // Applies the activated profile again, from the values copied when it was activated,
  // when the activation record says "YES". Called by the main controller's supervision.
  void CheckProfileSettingForConnect();
  // Switches automatic re-application off: the activation record is rewritten with
  // "Active Profile Flag" "NO" (nothing happens when there is no record). Called by the
  // survey page when the user connects to a surveyed network.
  void DisabledActivateProfile();
  // Empties the table.
  void ClearProfileList();

  // Actions of the page's controls.
  void OnActivate();  // double-click on a row, or the Activate button
  void OnAdd();
  void OnEdit();
  void OnDelete();
  void OnTimer();

  // The row of the activated profile; -1 until a profile is activated.
  int CurrentSelectedItem() const { return CurrentSelectedItem_; }

 private:
  // The selected row, or -1.
  int SelectedRow() const;
  // Builds the record of `entry` and queues it; false (after an alert) when refused.
  bool QueueProfileRecord(const profiles::ProfileEntry& entry);
  // Runs the editor's window as a sheet on the main window until the editor closes it.
  void RunEditorSheet();
  // Keeps the stored activation row on the same profile after row `deletedRow` went.
  void FollowActivatedProfileAfterDelete(int deletedRow);
  void SetCurrentSelectedItem(int row);

  AppContext& context_;
  Outlets outlets_;
  QWidget* widget_ = nullptr;  // the tab page, owned by the tab view once inserted
  std::unique_ptr<Ui::ProfilePageController> ui_;
  ProfileTableModel* model_ = nullptr;
  QTableView* profileList = nullptr;
  platform::RunLoopTimer* timer_ = nullptr;

  profiles::ProfileStore store_;
  profiles::ProfileList records;
  profiles::ActivationList recordActivate;
  int CurrentSelectedItem_ = -1;
};
