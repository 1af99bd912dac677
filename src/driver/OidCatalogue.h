// SPDX-License-Identifier: GPL-3.0-or-later
// Every OID the utility exchanges with the adapter's driver service. Codes equal to NDIS
// codes carry the NDIS name; the ZX_ codes are the driver's own.
#pragma once

#include <cstdint>

inline constexpr uint32_t OID_SET_FLAG = 0x00800000;

inline constexpr uint32_t OID_GEN_MEDIA_CONNECT_STATUS = 0x00010114;
inline constexpr uint32_t OID_GEN_RCV_OK = 0x00020102;
inline constexpr uint32_t OID_GEN_RCV_NO_BUFFER = 0x00020105;
inline constexpr uint32_t OID_802_3_CURRENT_ADDRESS = 0x01010102;
inline constexpr uint32_t OID_802_11_BSSID = 0x0D010101;
inline constexpr uint32_t OID_802_11_SSID = 0x0D010102;
inline constexpr uint32_t OID_802_11_INFRASTRUCTURE_MODE = 0x0D010108;
inline constexpr uint32_t OID_802_11_DISASSOCIATE = 0x0D010115;
inline constexpr uint32_t OID_802_11_AUTHENTICATION_MODE = 0x0D010118;
inline constexpr uint32_t OID_802_11_BSSID_LIST_SCAN = 0x0D01011A;
inline constexpr uint32_t OID_802_11_WEP_STATUS = 0x0D01011B;
inline constexpr uint32_t OID_802_11_ADD_KEY = 0x0D01011D;
inline constexpr uint32_t OID_802_11_REMOVE_KEY = 0x0D01011E;
inline constexpr uint32_t ZX_OID_802_11_QUERY_REAPPLY_REQUEST = 0x0D010120;
inline constexpr uint32_t ZX_OID_802_11_QUERY_REAPPLY_READY = 0x0D010121;
inline constexpr uint32_t OID_802_11_NETWORK_TYPES_SUPPORTED = 0x0D010203;
inline constexpr uint32_t OID_802_11_RSSI = 0x0D010206;
inline constexpr uint32_t OID_802_11_FRAGMENTATION_THRESHOLD = 0x0D010209;
inline constexpr uint32_t OID_802_11_RTS_THRESHOLD = 0x0D01020A;
inline constexpr uint32_t OID_802_11_DESIRED_RATES = 0x0D010210;
inline constexpr uint32_t OID_802_11_CONFIGURATION = 0x0D010211;
inline constexpr uint32_t OID_802_11_POWER_MODE = 0x0D010216;
inline constexpr uint32_t OID_802_11_BSSID_LIST = 0x0D010217;
inline constexpr uint32_t ZX_OID_802_11_BSSID_LIST_NEXT = 0x0D010218;
inline constexpr uint32_t OID_802_11_STATISTICS = 0x0D020212;
inline constexpr uint32_t ZX_OID_802_11_PREAMBLE = 0x0D710101;
inline constexpr uint32_t ZX_OID_802_11_QUERY_LINK_STATUS = 0x0D710102;
inline constexpr uint32_t ZX_OID_802_11_RESET_COUNTERS = 0x0D710103;
inline constexpr uint32_t ZX_OID_802_11_RADIO = 0x0D710108;
inline constexpr uint32_t ZX_OID_802_11_PHY_MODE = 0x0D71010C;
inline constexpr uint32_t ZX_OID_802_11_STA_CONFIG = 0x0D710111;
inline constexpr uint32_t ZX_OID_802_11_ADD_WPA = 0x0D710116;
inline constexpr uint32_t ZX_OID_802_11_TX_POWER_PERCENT = 0x0D710118;
inline constexpr uint32_t ZX_OID_VERSION_INFO = 0x0D710119;

// The largest request buffer of the catalogue.
inline constexpr uint32_t kMaxOidBufferSize = 4096;
