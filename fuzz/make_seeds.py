#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the seed corpora under fuzz/corpus/<target>/: a few well-formed inputs of each
# kind plus the malformed shapes the readers must survive. Run it again after changing it;
# the fuzzers only ever add files of their own beside these in a separate folder.
import os
import plistlib
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ---- scan lists

WPA_PSK_TKIP = bytes([221, 22, 0x00, 0x50, 0xF2, 1, 1, 0, 0x00, 0x50, 0xF2, 2, 1, 0,
                      0x00, 0x50, 0xF2, 2, 1, 0, 0x00, 0x50, 0xF2, 2])
WPA_8021X_AES = bytes([221, 22, 0x00, 0x50, 0xF2, 1, 1, 0, 0x00, 0x50, 0xF2, 4, 1, 0,
                       0x00, 0x50, 0xF2, 4, 1, 0, 0x00, 0x50, 0xF2, 1])


def ies(*elements):
    fixed = bytes(8) + struct.pack("<HH", 100, 0x0011)  # timestamp, interval, capabilities
    return fixed + b"".join(elements)


def entry(ssid, mac, ie_bytes, mode=1, privacy=0, rssi=-50, length=None, ie_length=None):
    ssid = ssid.encode()
    body = struct.pack("<6s2s", mac, b"\0\0")
    body += struct.pack("<I32s", len(ssid), ssid)
    body += struct.pack("<IiI", privacy, rssi, 1)
    body += struct.pack("<IIII", 32, 100, 0, 2412000) + bytes(16)  # configuration, FH
    body += struct.pack("<I", mode)
    body += bytes([0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0x24]) + bytes(8)
    body += struct.pack("<I", len(ie_bytes) if ie_length is None else ie_length)
    body += ie_bytes
    total = 4 + len(body)
    return struct.pack("<I", total if length is None else length) + body


def scan_list(entries, count=None):
    return struct.pack("<I", len(entries) if count is None else count) + b"".join(entries)


ssid_ie = bytes([0, 4]) + b"Home"
rates_ie = bytes([1, 4, 0x82, 0x84, 0x8B, 0x96])
open_entry = entry("Open", b"\x00\x11\x22\x33\x44\x01", ies(ssid_ie, rates_ie))
psk_entry = entry("Psk", b"\x00\x11\x22\x33\x44\x02", ies(ssid_ie, WPA_PSK_TKIP), privacy=1)
ent_entry = entry("Corp", b"\x00\x11\x22\x33\x44\x03", ies(WPA_8021X_AES, rates_ie), privacy=1)
adhoc_entry = entry("Adhoc", b"\x02\x11\x22\x33\x44\x04", ies(WPA_PSK_TKIP), mode=0, privacy=1)
write("fuzz_scan_list", "empty", scan_list([]))
write("fuzz_scan_list", "one_open", scan_list([open_entry]))
write("fuzz_scan_list", "mixed", scan_list([open_entry, psk_entry, ent_entry, adhoc_entry]))
write("fuzz_scan_list", "lying_count", scan_list([psk_entry], count=1000))
write("fuzz_scan_list", "lying_length", scan_list([entry("Long", b"\0" * 6, ies(), length=4000)]))
write("fuzz_scan_list", "lying_ie_length",
      scan_list([entry("Ie", b"\1" * 6, ies(WPA_PSK_TKIP), ie_length=3000), open_entry]))
write("fuzz_scan_list", "truncated", scan_list([open_entry, psk_entry])[:200])
write("fuzz_scan_list", "no_ies", scan_list([entry("Bare", b"\2" * 6, b"", length=104)]))
write("fuzz_scan_list", "element_past_end",
      scan_list([entry("Cut", b"\3" * 6, ies(bytes([221, 200]) + WPA_PSK_TKIP[2:]))]))

# ---- property lists

def profile(name, ssid, auth="0", encry="1", wpa=""):
    entry = {
        "Profile Name": name, "SSID": ssid, "Channel": "6", "Network Type": "1",
        "Authentication Type": auth, "Encryption Type": encry, "Preamble Type": "0",
        "Power Save Mode": "0", "AC Power CAM": "0", "RTS Threshold": "2347",
        "Fragmentation Threshold": "2346", "Tx Power": "0", "WEPKeyUse": "0",
        "WPAPSK": wpa, "BSSID": "", "Hidden": "0",
    }
    for n in range(1, 5):
        entry["WEPKey%d" % n] = ""
        entry["WEPKey%d Type" % n] = "0"
    return entry


home = profile("Home", "ZvOpen")
work = profile("Work", "ZvPsk", auth="4", encry="4", wpa="secret passphrase")
active = dict(home, **{"Active Profile Flag": "YES", "Selected": "0"})
write("fuzz_profile_store", "domain.plist",
      plistlib.dumps({"Profiles": [home, work], "Profile Setting": [active]}))
write("fuzz_profile_store", "records.plist", plistlib.dumps([home, work]))
write("fuzz_profile_store", "records_binary.plist",
      plistlib.dumps([home, work], fmt=plistlib.FMT_BINARY))
write("fuzz_profile_store", "hand_edited.plist",
      plistlib.dumps({"Profiles": [home, "note", 7, {"Channel": 11, "SSID": True}],
                      "Profile Setting": "not a list"}))
write("fuzz_profile_store", "empty_root.plist", plistlib.dumps({}))
write("fuzz_profile_store", "truncated.plist", plistlib.dumps([home, work])[:300])

settings = {"Tx Rate": "0", "BG Protection": "0", "Tx Burst": "1", "Ad Hoc Use OFDM": "0",
            "Wireless Mode": "3"}
write("fuzz_advanced_settings", "settings.plist", plistlib.dumps([settings]))
write("fuzz_advanced_settings", "foreign_elements.plist",
      plistlib.dumps([settings, {"Owner": "someone else"}, "text", 12]))
write("fuzz_advanced_settings", "numbers.plist",
      plistlib.dumps([{"Tx Rate": 5, "BG Protection": 1.9, "Tx Burst": True,
                       "Ad Hoc Use OFDM": "  -7x", "Wireless Mode": "99999999999"}]))
write("fuzz_advanced_settings", "binary.plist", plistlib.dumps([settings], fmt=plistlib.FMT_BINARY))
write("fuzz_advanced_settings", "not_an_array.plist", plistlib.dumps({"Tx Rate": "1"}))

# ---- driver service requests (first byte: size of the pieces the stream arrives in)

OID_SET = 0x00800000
OPEN = struct.pack("<III", 0x564C5254, 1, 0)


def struct_call(selector, payload=b"", capacity=0):
    return struct.pack("<IIII", 1, selector, len(payload), capacity) + payload


def method_one():
    return struct.pack("<IIII", 2, 1, 0, 0)


def request(selector, payload=b"", capacity=0):
    return struct_call(selector, payload, capacity) + method_one()


def u32(value):
    return struct.pack("<I", value)


def ssid(text):
    text = text.encode()
    return struct.pack("<I32s", len(text), text)


queries = [0x00010114, 0x0D010120, 0x0D010121, 0x0D710111, 0x0D010203, 0x0D010206,
           0x0D710102, 0x0D020212, 0x0D710119, 0x01010102, 0x0D010101, 0x0D010102,
           0x0D010211, 0x0D71010C, 0x0D710108]
for oid in queries:
    write("fuzz_service_requests", "query_%08X" % oid, b"\0" + OPEN + request(oid, capacity=4096))

scan = OPEN + request(0x0D01011A | OID_SET) + request(0x0D010217, capacity=4096) + \
    request(0x0D010218, capacity=4096)
write("fuzz_service_requests", "scan_and_list", b"\0" + scan)
write("fuzz_service_requests", "scan_in_pieces", b"\x07" + scan)

join_open = OPEN + request(0x0D010108 | OID_SET, u32(1)) + request(0x0D010118 | OID_SET, u32(0)) + \
    request(0x0D01011B | OID_SET, u32(1)) + request(0x0D010102 | OID_SET, ssid("ZvOpen")) + \
    request(0x00010114, capacity=4)
write("fuzz_service_requests", "join_open", b"\0" + join_open)

wep_key = struct.pack("<III6s2s8s32s11s", 76, 0x80000000, 5, b"\xff" * 6, b"\0\0", bytes(8),
                      b"abcde", bytes(11))
write("fuzz_service_requests", "add_key",
      b"\0" + OPEN + request(0x0D01011D | OID_SET, wep_key) +
      request(0x0D01011E | OID_SET, struct.pack("<II6s2s", 16, 0, b"\xff" * 6, b"\0\0")))
write("fuzz_service_requests", "config_and_settings",
      b"\0" + OPEN + request(0x0D010211 | OID_SET, struct.pack("<IIII", 32, 100, 0, 2437000) +
                             bytes(16)) +
      request(0x0D710111 | OID_SET, bytes(32)) + request(0x0D010210 | OID_SET, bytes(8)) +
      request(0x0D710108 | OID_SET, u32(0)) + request(0x0D710118 | OID_SET, u32(50)) +
      request(0x0D710103 | OID_SET))
write("fuzz_service_requests", "bad_open", b"\0" + struct.pack("<III", 1, 2, 3) + request(0x00010114))
write("fuzz_service_requests", "oversized",
      b"\0" + OPEN + struct.pack("<IIII", 1, 0x0D010102 | OID_SET, 5000, 0))
write("fuzz_service_requests", "scalar_values",
      b"\x03" + OPEN + struct.pack("<IIII", 2, 9, 2, 4) + bytes(16) + method_one())
