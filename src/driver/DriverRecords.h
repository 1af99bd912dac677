// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed-layout records that cross to the driver service. Integers are in host byte order
// (utility and driver run on one host); 64-bit counters sit at 4-byte alignment, so the
// records are packed to 4 bytes. Sizes and offsets are part of the wire contract.
#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 4)

struct NDIS_802_11_SSID {
  uint32_t SsidLength;  // 0..32
  uint8_t Ssid[32];
};
static_assert(sizeof(NDIS_802_11_SSID) == 36);
static_assert(offsetof(NDIS_802_11_SSID, Ssid) == 4);

struct NDIS_802_11_CONFIGURATION_FH {
  uint32_t Length;
  uint32_t HopPattern;
  uint32_t HopSet;
  uint32_t DwellTime;
};

struct NDIS_802_11_CONFIGURATION {
  uint32_t Length;  // 32
  uint32_t BeaconPeriod;
  uint32_t ATIMWindow;
  uint32_t DSConfig;  // centre frequency in kHz
  NDIS_802_11_CONFIGURATION_FH FHConfig;
};
static_assert(sizeof(NDIS_802_11_CONFIGURATION) == 32);
static_assert(offsetof(NDIS_802_11_CONFIGURATION, DSConfig) == 12);
static_assert(offsetof(NDIS_802_11_CONFIGURATION, FHConfig) == 16);

using NDIS_802_11_RATES = uint8_t[8];
using NDIS_802_11_RATES_EX = uint8_t[16];

// Fixed part of one scan-list entry; IELength bytes of IEs follow at offset 116.
struct NDIS_WLAN_BSSID_EX {
  uint32_t Length;
  uint8_t MacAddress[6];
  uint8_t Reserved[2];
  NDIS_802_11_SSID Ssid;
  uint32_t Privacy;
  int32_t Rssi;
  uint32_t NetworkTypeInUse;
  NDIS_802_11_CONFIGURATION Configuration;
  uint32_t InfrastructureMode;
  NDIS_802_11_RATES_EX SupportedRates;
  uint32_t IELength;
  // uint8_t IEs[IELength] follows
};
static_assert(sizeof(NDIS_WLAN_BSSID_EX) == 116);
static_assert(offsetof(NDIS_WLAN_BSSID_EX, MacAddress) == 4);
static_assert(offsetof(NDIS_WLAN_BSSID_EX, Ssid) == 12);
static_assert(offsetof(NDIS_WLAN_BSSID_EX, Privacy) == 48);
static_assert(offsetof(NDIS_WLAN_BSSID_EX, Rssi) == 52);
static_assert(offsetof(NDIS_WLAN_BSSID_EX, NetworkTypeInUse) == 56);
static_assert(offsetof(NDIS_WLAN_BSSID_EX, Configuration) == 60);
static_assert(offsetof(NDIS_WLAN_BSSID_EX, Configuration) +
                  offsetof(NDIS_802_11_CONFIGURATION, DSConfig) ==
              72);
static_assert(offsetof(NDIS_WLAN_BSSID_EX, InfrastructureMode) == 92);
static_assert(offsetof(NDIS_WLAN_BSSID_EX, SupportedRates) == 96);
static_assert(offsetof(NDIS_WLAN_BSSID_EX, IELength) == 112);

inline constexpr uint32_t kBssidExFixedSize = 116;
// Entries of this Length or less carry no information elements.
inline constexpr uint32_t kBssidExNoIeLength = 104;
// Fixed beacon fields at the start of the IE area (timestamp, interval, capabilities).
inline constexpr uint32_t kFixedIeSize = 12;

// Header of NDIS_802_11_BSSID_LIST_EX and of every continuation block.
struct NDIS_802_11_BSSID_LIST_EX {
  uint32_t NumberOfItems;
  // NDIS_WLAN_BSSID_EX Bssid[NumberOfItems] follow back to back
};
static_assert(sizeof(NDIS_802_11_BSSID_LIST_EX) == 4);

// NDIS_802_11_KEY as this system builds it: Length = KeyLength + 39.
struct NDIS_802_11_KEY {
  uint32_t Length;
  uint32_t KeyIndex;  // slot 0..3, bit 31 on the transmit key; WPA: 0x80000000
  uint32_t KeyLength;
  uint8_t BSSID[6];
  uint8_t Alignment[2];
  uint8_t KeyRSC[8];
  uint8_t KeyMaterial[32];  // KeyLength bytes used, then 11 zero bytes of tail
  uint8_t Tail[11];
};
static_assert(offsetof(NDIS_802_11_KEY, KeyIndex) == 4);
static_assert(offsetof(NDIS_802_11_KEY, KeyLength) == 8);
static_assert(offsetof(NDIS_802_11_KEY, BSSID) == 12);
static_assert(offsetof(NDIS_802_11_KEY, KeyRSC) == 20);
static_assert(offsetof(NDIS_802_11_KEY, KeyMaterial) == 28);
inline constexpr uint32_t kKeyRecordOverhead = 39;  // Length - KeyLength
inline constexpr uint32_t kKeyTransmitBit = 0x80000000u;
inline constexpr uint32_t kWpaKeyRecordLength = 32 + kKeyRecordOverhead;  // 71
static_assert(sizeof(NDIS_802_11_KEY) >= kWpaKeyRecordLength);

struct NDIS_802_11_REMOVE_KEY {
  uint32_t Length;  // 16
  uint32_t KeyIndex;
  uint8_t BSSID[6];
  uint8_t Padding[2];
};
static_assert(sizeof(NDIS_802_11_REMOVE_KEY) == 16);
static_assert(offsetof(NDIS_802_11_REMOVE_KEY, BSSID) == 8);

// Answer of OID_802_11_NETWORK_TYPES_SUPPORTED.
struct NDIS_802_11_NETWORK_TYPE_LIST {
  uint32_t NumberOfItems;
  uint32_t NetworkType[4];
};
static_assert(sizeof(NDIS_802_11_NETWORK_TYPE_LIST) == 20);

struct NDIS_802_11_STATISTICS {
  uint32_t Length;
  int64_t TransmittedFragmentCount;
  int64_t MulticastTransmittedFrameCount;
  int64_t FailedCount;
  int64_t RetryCount;
  int64_t MultipleRetryCount;
  int64_t RTSSuccessCount;
  int64_t RTSFailureCount;
  int64_t ACKFailureCount;
  int64_t FrameDuplicateCount;
  int64_t ReceivedFragmentCount;
  int64_t MulticastReceivedFrameCount;
  int64_t FCSErrorCount;
};
static_assert(sizeof(NDIS_802_11_STATISTICS) == 100);
static_assert(offsetof(NDIS_802_11_STATISTICS, TransmittedFragmentCount) == 4);
static_assert(offsetof(NDIS_802_11_STATISTICS, FailedCount) == 20);
static_assert(offsetof(NDIS_802_11_STATISTICS, FCSErrorCount) == 92);

// Answer of ZX_OID_802_11_QUERY_LINK_STATUS.
struct ZX_802_11_LINK_STATUS {
  uint32_t TxRate;  // units of 500 kbit/s
  uint32_t LinkQualityRaw;
  uint32_t TxBytes;  // wraps at 2^32
  uint32_t RxBytes;  // wraps at 2^32
};
static_assert(sizeof(ZX_802_11_LINK_STATUS) == 16);
static_assert(offsetof(ZX_802_11_LINK_STATUS, RxBytes) == 12);

struct ZX_802_11_STA_CONFIG {
  uint32_t EnableTxBurst;
  uint32_t EnableTurboRate;
  uint32_t UseBGProtection;
  uint32_t UseShortSlotTime;
  uint32_t UseOfdmRatesIn11gAdhoc;
  uint32_t HwRadioStatus;      // 0 when the radio is off
  uint32_t Rsv1;               // written back as read
  uint32_t SystemErrorBitmap;  // bit 0: EEPROM version error
};
static_assert(sizeof(ZX_802_11_STA_CONFIG) == 32);
static_assert(offsetof(ZX_802_11_STA_CONFIG, HwRadioStatus) == 20);
static_assert(offsetof(ZX_802_11_STA_CONFIG, SystemErrorBitmap) == 28);

#pragma pack(pop)

// NDIS enumerations as this system uses them.
enum NDIS_802_11_NETWORK_INFRASTRUCTURE : int32_t {
  Ndis802_11IBSS = 0,
  Ndis802_11Infrastructure = 1,
  Ndis802_11AutoUnknown = 2,
};
enum NDIS_802_11_AUTHENTICATION_MODE : int32_t {
  Ndis802_11AuthModeOpen = 0,
  Ndis802_11AuthModeShared = 1,
  Ndis802_11AuthModeAutoSwitch = 2,
  Ndis802_11AuthModeWPA = 3,
  Ndis802_11AuthModeWPAPSK = 4,
  Ndis802_11AuthModeWPANone = 5,
};
enum NDIS_802_11_WEP_STATUS : int32_t {
  Ndis802_11WEPEnabled = 0,
  Ndis802_11WEPDisabled = 1,
  Ndis802_11WEPKeyAbsent = 2,
  Ndis802_11WEPNotSupported = 3,
  Ndis802_11Encryption2Enabled = 4,
  Ndis802_11Encryption2KeyAbsent = 5,
  Ndis802_11Encryption3Enabled = 6,
  Ndis802_11Encryption3KeyAbsent = 7,
};
enum NDIS_802_11_POWER_MODE : int32_t {
  Ndis802_11PowerModeCAM = 0,
  Ndis802_11PowerModeMAX_PSP = 1,
  Ndis802_11PowerModeFast_PSP = 2,
};
enum NDIS_802_11_NETWORK_TYPE : int32_t {
  Ndis802_11FH = 0,
  Ndis802_11DS = 1,
  Ndis802_11OFDM5 = 2,
  Ndis802_11OFDM24 = 3,
};
