// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TaskEngine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "app/state/GlobalState.h"
#include "driver/DriverRecords.h"
#include "driver/OidCatalogue.h"
#include "driver/ZX7100Access.h"
#include "engine/TaskQueue.h"

namespace {

// Sends one set of the series. The series goes on whatever the driver answers, so the
// result is not looked at; `returned` is the output-size cell shared by the series.
class SetSeries {
 public:
  explicit SetSeries(ZX7100Access& adapter) : adapter_(adapter) {}

  void Set(uint32_t oid, void* buffer, uint32_t length) {
    adapter_.OidSetInformation(oid, buffer, length, &returned_, 0);
  }
  void SetValue(uint32_t oid, uint32_t value) { Set(oid, &value, sizeof value); }
  void SetValue(uint32_t oid, int32_t value) { Set(oid, &value, sizeof value); }

  uint32_t* returned() { return &returned_; }

 private:
  ZX7100Access& adapter_;
  uint32_t returned_ = 0;
};

// Sends a key record of the task's record. A reference without a record, or a length that
// would run past the record, sends nothing: the driver must never be handed bytes from
// outside the key record.
void SendKeyRecord(SetSeries& series, uint32_t oid, const NDIS_802_11_KEY* key, uint32_t length) {
  if (key == nullptr || length == 0 || length > sizeof(NDIS_802_11_KEY)) return;
  NDIS_802_11_KEY copy = *key;
  series.Set(oid, &copy, length);
}

void SendRemoveKey(SetSeries& series, uint32_t slot) {
  NDIS_802_11_REMOVE_KEY record{};
  record.Length = sizeof(NDIS_802_11_REMOVE_KEY);
  record.KeyIndex = slot;
  std::memset(record.BSSID, 0xFF, sizeof record.BSSID);
  series.Set(OID_802_11_REMOVE_KEY, &record, sizeof record);
}

void SendKeys(SetSeries& series, const ProfileRecord& record) {
  const PROFILE_DATA& r = record.data();
  if (r.AuthMode == Ndis802_11AuthModeWPAPSK) {
    SendKeyRecord(series, ZX_OID_802_11_ADD_WPA, record.WpaKey(), r.WpaKeyLength);
  } else if (r.AuthMode == Ndis802_11AuthModeWPANone) {
    SendKeyRecord(series, OID_802_11_ADD_KEY, record.WpaKey(), r.WpaKeyLength);
  } else if (r.AuthMode == Ndis802_11AuthModeShared || r.WepStatus == Ndis802_11WEPEnabled) {
    for (int slot = 0; slot < 4; ++slot) {
      const uint32_t length = record.WepKeyLength(slot);
      if (length != 0) {
        SendKeyRecord(series, OID_802_11_ADD_KEY, record.WepKey(slot), length);
      } else {
        SendRemoveKey(series, static_cast<uint32_t>(slot));
      }
    }
  }
}

// Ad hoc networks take their channel from the configuration record: the driver's current
// record is read back and only its DSConfig is replaced.
void SendAdHocChannel(ZX7100Access& adapter, SetSeries& series, uint32_t channelFrequency) {
  NDIS_802_11_CONFIGURATION configuration{};
  adapter.OidQueryInformation(OID_802_11_CONFIGURATION, &configuration, sizeof configuration,
                              series.returned());
  std::fprintf(stderr,
               "#### SiteSurveyPageController - OID_802_11_CONFIGURATION - "
               "Configuration.BeaconPeriod = %d ####\n",
               static_cast<int>(configuration.BeaconPeriod));
  configuration.DSConfig = channelFrequency;
  series.Set(OID_802_11_CONFIGURATION, &configuration, sizeof configuration);
}

// The SSID record as sent: a length above 32 is cut to 32 so that the driver never reads
// past the 32 name bytes.
NDIS_802_11_SSID SsidToSend(const NDIS_802_11_SSID& ssid) {
  NDIS_802_11_SSID copy = ssid;
  copy.SsidLength = std::min<uint32_t>(copy.SsidLength, sizeof copy.Ssid);
  return copy;
}

void SelectBySsid(SetSeries& series, const PROFILE_DATA& r) {
  NDIS_802_11_SSID ssid = SsidToSend(r.Ssid);
  series.Set(OID_802_11_SSID, &ssid, sizeof ssid);
}

void SelectByBssid(SetSeries& series, const PROFILE_DATA& r) {
  uint8_t bssid[6];
  std::memcpy(bssid, r.Bssid, sizeof bssid);
  series.Set(OID_802_11_BSSID, bssid, sizeof bssid);
}

void ApplyRescan(ZX7100Access& adapter) {
  std::fputs("#### SiteSurveyPageController - Probe - 1 ####\n", stderr);
  adapter.RescanBssidList();
  adapter.QueryBssidList();
  G_bRescan = 1;
}

void ApplyConfiguration(ZX7100Access& adapter, const ProfileRecord& record) {
  std::fputs("#### SiteSurveyPageController - Probe - 2 ####\n", stderr);
  const PROFILE_DATA& r = record.data();
  SetSeries series(adapter);

  if (r.bDisassociateFirst != 0) {
    uint8_t zeros[4] = {};
    series.Set(OID_802_11_DISASSOCIATE, zeros, sizeof zeros);
  }
  series.SetValue(OID_802_11_INFRASTRUCTURE_MODE, r.NetworkType);
  series.SetValue(ZX_OID_802_11_PREAMBLE, r.PreambleType);
  series.SetValue(OID_802_11_RTS_THRESHOLD, r.RtsThreshold);
  series.SetValue(OID_802_11_FRAGMENTATION_THRESHOLD, r.FragThreshold);
  series.SetValue(OID_802_11_AUTHENTICATION_MODE, r.AuthMode);
  series.SetValue(OID_802_11_WEP_STATUS, r.WepStatus);
  series.SetValue(ZX_OID_802_11_TX_POWER_PERCENT, TxPowerPercent(r.TxPowerIndex));
  SendKeys(series, record);

  if (r.NetworkType == Ndis802_11IBSS) {
    SendAdHocChannel(adapter, series, r.ChannelFrequency);
  } else {
    series.SetValue(OID_802_11_POWER_MODE, r.PowerMode);
  }

  if (r.bApplyAdvanced != 0) {
    int32_t wirelessMode = G_enumWirelessMode;
    series.Set(ZX_OID_802_11_PHY_MODE, &wirelessMode, sizeof wirelessMode);
    ZX_802_11_STA_CONFIG staConfig = r.StaConfig;
    series.Set(ZX_OID_802_11_STA_CONFIG, &staConfig, sizeof staConfig);
    uint8_t rates[sizeof r.DesiredRates];
    std::memcpy(rates, r.DesiredRates, sizeof rates);
    series.Set(OID_802_11_DESIRED_RATES, rates, sizeof rates);
  }

  if (r.bUseBssid != 0) {
    SelectByBssid(series, r);
  } else {
    SelectBySsid(series, r);
  }
}

void ApplySelectBySsid(ZX7100Access& adapter, const ProfileRecord& record) {
  std::fputs("#### SiteSurveyPageController - Probe - 3 ####\n", stderr);
  SetSeries series(adapter);
  SelectBySsid(series, record.data());
}

void ApplySelectByBssid(ZX7100Access& adapter, const ProfileRecord& record) {
  std::fputs("#### SiteSurveyPageController - Probe - 4 ####\n", stderr);
  SetSeries series(adapter);
  SelectByBssid(series, record.data());
}

}  // namespace

uint32_t TxPowerPercent(uint32_t txPowerIndex) {
  static constexpr uint32_t kPercent[] = {100, 75, 50, 25, 12};
  if (txPowerIndex >= std::size(kPercent)) return 100;
  return kPercent[txPowerIndex];
}

void DoTask(ZX7100Access& adapter, int8_t& runFlag) {
  ProfileData* task = TaskQueue::GetTaskObject();
  if (task == nullptr) {
    runFlag = 0;
    return;
  }
  if (runFlag != 0) return;

  runFlag = 1;
  const int32_t taskType = task->getTaskType();
  std::fprintf(stderr, "#### SiteSurveyPageController - DoTask - taskType = %d ####\n",
               static_cast<int>(taskType));

  if (const ProfileRecord* record = task->Profile(); record != nullptr) {
    switch (taskType) {
      case kTaskRescan:
        ApplyRescan(adapter);
        break;
      case kTaskConfigure:
        ApplyConfiguration(adapter, *record);
        break;
      case kTaskSelectBySsid:
        ApplySelectBySsid(adapter, *record);
        break;
      case kTaskSelectByBssid:
        ApplySelectByBssid(adapter, *record);
        break;
      default:
        break;  // unknown types are dropped without a request
    }
  }

  TaskQueue::RemoveTaskObject();
  runFlag = 0;
}
