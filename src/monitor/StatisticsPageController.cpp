// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/StatisticsPageController.h"

#include <cstdio>

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"
#include "platform/qt/RunLoopTimer.h"
#include "ui_StatisticsPage.h"

namespace {

constexpr double kRefreshIntervalSeconds = 2.0;

QString SignedCount(int64_t value) {
  return QString::number(static_cast<qint64>(value));
}
QString UnsignedCount(uint32_t value) {
  return QString::number(value);
}

}  // namespace

StatisticsPageController::StatisticsPageController(AppContext& context, QObject* parent)
    : QObject(parent), context_(context), ui_(std::make_unique<Ui::StatisticsPage>()) {
  widget_ = new QWidget;
  ui_->setupUi(widget_);
  refreshTimer_ = new platform::RunLoopTimer(
      kRefreshIntervalSeconds, [this] { OnTimer(); }, this);
  connect(ui_->ResetCounter, &QPushButton::clicked, this,
          &StatisticsPageController::OnResetCounter);
}

StatisticsPageController::~StatisticsPageController() = default;

void StatisticsPageController::awakeFromNib() {
  if (__DEBUG__) std::fputs("#### StatisticsPageController - awakeFromNib ####\n", stderr);
  refreshTimer_->Start();
}

std::array<QLabel*, StatisticsPageController::kCounterCount>
StatisticsPageController::CounterFields() const {
  return {ui_->FTS,    ui_->FTSWR, ui_->FTSAR, ui_->FFTRAAA, ui_->RFSRC,
          ui_->RFFTRC, ui_->FRS,   ui_->FRWCE, ui_->FDDTO,   ui_->DFR};
}

void StatisticsPageController::ShowCounters(const std::array<QString, kCounterCount>& texts) {
  const auto fields = CounterFields();
  for (std::size_t i = 0; i < kCounterCount; ++i) fields[i]->setText(texts[i]);
}

void StatisticsPageController::ShowZeros() {
  std::array<QString, kCounterCount> zeros;
  zeros.fill(QStringLiteral("0"));
  ShowCounters(zeros);
}

void StatisticsPageController::OnTimer() {
  if (__DEBUG__) std::fputs("#### StatisticsPageController - OnTimer ####\n", stderr);
  if (!G_bDeviceExist) {
    ShowZeros();
    return;
  }
  ZX7100Access& adapter = context_.Adapter;

  // Cleared buffers: a failed query shows zeros.
  NDIS_802_11_STATISTICS statistics{};
  uint32_t returned = 0;
  adapter.OidQueryInformation(OID_802_11_STATISTICS, &statistics, sizeof statistics, &returned);
  uint32_t framesReceived = 0;
  adapter.OidQueryInformation(OID_GEN_RCV_OK, &framesReceived, sizeof framesReceived, &returned);
  uint32_t framesDropped = 0;
  adapter.OidQueryInformation(OID_GEN_RCV_NO_BUFFER, &framesDropped, sizeof framesDropped,
                              &returned);

  // Computed in unsigned arithmetic so that extreme driver values cannot overflow.
  const int64_t withoutRetry =
      static_cast<int64_t>(static_cast<uint64_t>(statistics.TransmittedFragmentCount) -
                           static_cast<uint64_t>(statistics.RetryCount));
  ShowCounters({
      SignedCount(statistics.TransmittedFragmentCount),
      SignedCount(withoutRetry),
      SignedCount(statistics.RetryCount),
      SignedCount(statistics.FailedCount),
      SignedCount(statistics.RTSSuccessCount),
      SignedCount(statistics.RTSFailureCount),
      UnsignedCount(framesReceived),
      SignedCount(statistics.FCSErrorCount),
      UnsignedCount(framesDropped),
      SignedCount(statistics.FrameDuplicateCount),
  });
}

void StatisticsPageController::OnResetCounter() {
  ShowZeros();
  // A set with no data, sent through the query path with the set flag already in the OID:
  // the 4-byte buffer goes along but is not counted.
  uint32_t unused = 0;
  uint32_t returned = 0;
  context_.Adapter.OidQueryInformation(ZX_OID_802_11_RESET_COUNTERS | OID_SET_FLAG, &unused, 0,
                                       &returned);
}
