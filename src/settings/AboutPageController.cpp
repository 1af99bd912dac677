// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/AboutPageController.h"

#include <cstdint>
#include <cstdio>

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "app/state/GlobalState.h"
#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"
#include "platform/BundleInfo.h"
#include "platform/qt/OpenUrl.h"
#include "ui_AboutPage.h"

namespace {

std::string InformationFileBesideProgram(const char* program) {
  return (QCoreApplication::applicationDirPath() + QStringLiteral("/../share/") +
          QString::fromLatin1(program) + QStringLiteral("/Info.plist"))
      .toStdString();
}

// The date part of the file's date text: YYYY-MM-DD.
QString DateOf(const platform::BundleInfo& info) {
  return QString::fromStdString(info.modificationDate.substr(0, 10));
}

}  // namespace

AboutPageController::AboutPageController(AppContext& context, QObject* parent)
    : QObject(parent),
      context_(context),
      ui_(std::make_unique<Ui::AboutPage>()),
      openUrl_([](const QString& address) { platform::OpenUrl(address); }) {
  widget_ = new QWidget;
  ui_->setupUi(widget_);
  ui_->ZorvikWWW->setText(QString::fromLatin1(kWebSiteAddress));
  connect(ui_->ZorvikWWW, &QPushButton::clicked, this, &AboutPageController::OpenZorvikWeb);
}

AboutPageController::~AboutPageController() = default;

void AboutPageController::awakeFromNib() {}

void AboutPageController::setInformationFiles(std::string utilityInfoPath,
                                              std::string driverInfoPath) {
  utilityInfoPath_ = std::move(utilityInfoPath);
  driverInfoPath_ = std::move(driverInfoPath);
}

void AboutPageController::GetAllInformation() {
  if (__DEBUG__) std::fprintf(stderr, "#### AboutPageController - GetAllInformation ####\n");
  if (utilityInfoPath_.empty()) utilityInfoPath_ = InformationFileBesideProgram("zvconfig");
  if (driverInfoPath_.empty()) driverInfoPath_ = InformationFileBesideProgram("trelvane");

  // Without the utility's own information file the page keeps what it shows, the adapter
  // fields included.
  const auto utility = platform::ReadBundleInfo(utilityInfoPath_);
  if (!utility) return;
  const platform::BundleInfo driver =
      platform::ReadBundleInfo(driverInfoPath_).value_or(platform::BundleInfo{});

  ui_->ZvConfigVersion->setText(QString::fromStdString(utility->shortVersion));
  ui_->ZvConfigDate->setText(DateOf(*utility));
  ui_->DriverVersion->setText(QString::fromStdString(driver.shortVersion));
  ui_->DriverDate->setText(DateOf(driver));

  // Failed queries leave the zeros: EEPROM 0.0, address 00-00-00-00-00-00.
  uint32_t returned = 0;
  uint32_t version = 0;
  context_.Adapter.OidQueryInformation(ZX_OID_VERSION_INFO, &version, sizeof version, &returned);
  const unsigned major = (version >> 8) & 0xFFu;
  const unsigned minor = version & 0xFFu;
  ui_->EEPROMVersion->setText(QStringLiteral("%1.%2").arg(major).arg(minor));

  uint8_t mac[6] = {};
  context_.Adapter.OidQueryInformation(OID_802_3_CURRENT_ADDRESS, mac, sizeof mac, &returned);
  ui_->MacAddress->setText(QString::asprintf("%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1],
                                             mac[2], mac[3], mac[4], mac[5]));
}

void AboutPageController::OpenZorvikWeb() {
  if (__DEBUG__) std::fprintf(stderr, "#### AboutPageController - OpenZorvikWeb ####\n");
  if (openUrl_) openUrl_(QString::fromLatin1(kWebSiteAddress));
}
