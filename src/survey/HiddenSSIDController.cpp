// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/HiddenSSIDController.h"

#include <QByteArray>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "driver/DriverRecords.h"
#include "platform/AlertPanel.h"
#include "survey/SiteSurveyPageController.h"
#include "ui_HiddenSSIDController.h"

HiddenSSIDController::HiddenSSIDController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context), ui_(std::make_unique<Ui::HiddenSSIDController>()) {
  window_ = new QDialog;
  ui_->setupUi(window_);
  connect(ui_->OKButton, &QPushButton::clicked, this, &HiddenSSIDController::OnOK);
  connect(ui_->CancelButton, &QPushButton::clicked, this, &HiddenSSIDController::OnCANCEL);
}

HiddenSSIDController::~HiddenSSIDController() {
  delete window_;
}

void HiddenSSIDController::awakeFromNib() {}

void HiddenSSIDController::OnOK() {
  const QByteArray name = ui_->HiddenSSIDText->text().toUtf8();
  if (static_cast<std::size_t>(name.size()) > sizeof(NDIS_802_11_SSID::Ssid)) {
    context_.Alerts.Run(kHiddenNameTooLongAlert, "");
    return;
  }
  if (outlets_.SiteSurveyPage) {
    outlets_.SiteSurveyPage->ReceiveHiddenSSID(static_cast<int>(name.size()), name.constData());
  }
  window_->done(1);
}

void HiddenSSIDController::OnCANCEL() {
  window_->done(0);
}
