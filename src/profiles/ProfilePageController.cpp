// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiles/ProfilePageController.h"

#include <cstdio>

#include <QDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

#include "app/state/GlobalState.h"
#include "platform/AlertPanel.h"
#include "platform/qt/RunLoopTimer.h"
#include "profiles/AccessibleNames.h"
#include "profiles/ProfileEditorController.h"
#include "profiles/ProfileItem.h"
#include "profiles/ProfileRecordBuilder.h"
#include "profiles/ProfileTableModel.h"
#include "survey/SiteSurveyPageController.h"
#include "ui_ProfilePageController.h"

using namespace profiles;

namespace {

void Trace(const char* method) {
  if (__DEBUG__) std::fprintf(stderr, "#### ProfilePageController - %s ####\n", method);
}

}  // namespace

ProfilePageController::ProfilePageController(AppContext& context, QObject* parent)
    : QObject(parent),
      context_(context),
      ui_(std::make_unique<Ui::ProfilePageController>()),
      store_(context.Defaults) {
  Trace("init");
  widget_ = new QWidget;
  ui_->setupUi(widget_);
  profileList = ui_->profileList;
  model_ = new ProfileTableModel(this);
  profileList->setModel(model_);
  profileList->horizontalHeader()->setSectionResizeMode(ProfileTableModel::Mark,
                                                        QHeaderView::ResizeToContents);
  profileList->horizontalHeader()->setStretchLastSection(true);
  NameControlsForAccessibility(widget_);

  connect(ui_->AddButton, &QPushButton::clicked, this, &ProfilePageController::OnAdd);
  connect(ui_->EditButton, &QPushButton::clicked, this, &ProfilePageController::OnEdit);
  connect(ui_->DeleteButton, &QPushButton::clicked, this, &ProfilePageController::OnDelete);
  connect(ui_->ActivateButton, &QPushButton::clicked, this, &ProfilePageController::OnActivate);
}

ProfilePageController::~ProfilePageController() = default;

void ProfilePageController::awakeFromNib() {
  Trace("awakeFromNib");
  connect(profileList, &QTableView::doubleClicked, this, &ProfilePageController::OnActivate);
  timer_ = new platform::RunLoopTimer(
      2.0, [this] { OnTimer(); }, this);
  timer_->Start();
}

void ProfilePageController::RefreshProfileList() {
  Trace("RefreshProfileList");
  records = store_.LoadProfiles();
  recordActivate.Load(store_);
  ClearProfileList();
  std::vector<ProfileItem> items;
  items.reserve(records.RowCount());
  for (std::size_t row = 0; row < records.RowCount(); ++row) {
    items.push_back(ProfileItem::FromEntry(records.Row(row)));
  }
  model_->SetItems(std::move(items));
  profileList->clearSelection();
  profileList->setCurrentIndex(QModelIndex());
}

void ProfilePageController::ClearProfileList() {
  Trace("ClearProfileList");
  model_->Clear();
}

void ProfilePageController::OnTimer() {
  model_->RedrawMark();
}

int ProfilePageController::SelectedRow() const {
  const QModelIndexList rows = profileList->selectionModel()->selectedRows();
  if (rows.isEmpty()) return -1;
  const int row = rows.first().row();
  return row < static_cast<int>(records.RowCount()) ? row : -1;
}

void ProfilePageController::SetCurrentSelectedItem(int row) {
  CurrentSelectedItem_ = row;
  model_->SetMarkedRow(row);
}

bool ProfilePageController::QueueProfileRecord(const ProfileEntry& entry) {
  auto built = BuildProfileRecord(entry);
  if (auto* refusal = std::get_if<RecordRefusal>(&built)) {
    context_.Alerts.Run(refusal->title, refusal->message);
    return false;
  }
  G_bRescan = 0;
  if (outlets_.SiteSurveyPage) {
    outlets_.SiteSurveyPage->SetTaskQueue(
        std::move(std::get<std::unique_ptr<ProfileRecord>>(built)));
  }
  return true;
}

void ProfilePageController::OnActivate() {
  Trace("OnActivate");
  const int row = SelectedRow();
  if (row < 0) return;
  const ProfileEntry entry = records.Row(static_cast<std::size_t>(row));
  // A profile that cannot become a configuration is not activated at all.
  if (!QueueProfileRecord(entry)) return;
  SetCurrentSelectedItem(row);
  recordActivate.Save(store_, MakeActivationRecord(entry, "YES", row, /*withHidden=*/true));
  if (outlets_.SiteSurveyPage) outlets_.SiteSurveyPage->resetFlag();
  G_configFromProfile = 1;
}

void ProfilePageController::CheckProfileSettingForConnect() {
  Trace("CheckProfileSettingForConnect");
  const ProfileEntry* record = recordActivate.Record();
  if (!record || EntryText(*record, key::kActiveProfileFlag) != "YES") return;
  SetCurrentSelectedItem(EntryNumber(*record, key::kSelected));
  // The values copied at activation, not the list's current entry.
  const ProfileEntry snapshot = *record;
  if (!QueueProfileRecord(snapshot)) return;
  G_configFromProfile = 1;
}

void ProfilePageController::DisabledActivateProfile() {
  Trace("DisabledActivateProfile");
  const ProfileEntry* record = recordActivate.Record();
  if (!record) return;
  recordActivate.Save(store_, MakeActivationRecord(*record, "NO", CurrentSelectedItem_,
                                                   /*withHidden=*/false));
}

void ProfilePageController::RunEditorSheet() {
  ProfileEditorController* editor = outlets_.ProfileEditor;
  if (!editor) return;
  QDialog* sheet = editor->window();
  if (outlets_.mainWindow && sheet->parentWidget() != outlets_.mainWindow) {
    sheet->setParent(outlets_.mainWindow, sheet->windowFlags() | Qt::Sheet);
  }
  sheet->setWindowModality(Qt::WindowModal);
  sheet->update();
  sheet->exec();  // the editor ends the run with OK or Cancel; its result is not needed
  sheet->hide();
}

void ProfilePageController::OnAdd() {
  Trace("OnAdd");
  if (G_bDeviceExist == 0) {
    context_.Alerts.Run("Device not exist.",
                        "Please insert your Network Card and then set profile.");
    return;
  }
  if (outlets_.ProfileEditor) outlets_.ProfileEditor->AddInit();
  RunEditorSheet();
  RefreshProfileList();
}

void ProfilePageController::OnEdit() {
  Trace("OnEdit");
  const int row = SelectedRow();
  if (row < 0) {
    context_.Alerts.Run("No selected item", "Please select an item to edit.");
    return;
  }
  if (outlets_.ProfileEditor) outlets_.ProfileEditor->EditInit(row);
  RunEditorSheet();
  RefreshProfileList();
}

void ProfilePageController::FollowActivatedProfileAfterDelete(int deletedRow) {
  // The mark and the stored row stay with the activated profile: gone when it was the
  // deleted one, one row up when it stood below it.
  if (CurrentSelectedItem_ == deletedRow) {
    CurrentSelectedItem_ = -1;
  } else if (CurrentSelectedItem_ > deletedRow) {
    --CurrentSelectedItem_;
  }
  const ProfileEntry* record = recordActivate.Record();
  if (!record) return;
  const int selected = EntryNumber(*record, key::kSelected);
  if (selected == deletedRow) {
    recordActivate.Forget(store_);
  } else if (selected > deletedRow) {
    ProfileEntry moved = *record;
    moved[key::kSelected] = ProfileNumberText(selected - 1);
    recordActivate.Save(store_, std::move(moved));
  }
}

void ProfilePageController::OnDelete() {
  Trace("OnDelete");
  const int row = SelectedRow();
  if (row < 0) {
    context_.Alerts.Run("No selected item", "Please select an item to delete.");
    return;
  }
  records.Remove(static_cast<std::size_t>(row));
  store_.WriteProfilesFile(records);
  FollowActivatedProfileAfterDelete(row);
  store_.StoreProfilesInDefaults(records);
  RefreshProfileList();
  model_->SetMarkedRow(CurrentSelectedItem_);
}
