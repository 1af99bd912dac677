// SPDX-License-Identifier: GPL-3.0-or-later
#include "profiles/ProfileItem.h"

using namespace profiles;

ProfileItem::ProfileItem(std::string profile, std::string ssid, std::string channel,
                         std::string authentication, std::string encryption, std::string network) {
  setProfileItem(std::move(profile), std::move(ssid), std::move(channel), std::move(authentication),
                 std::move(encryption), std::move(network));
}

void ProfileItem::setProfileItem(std::string profile, std::string ssid, std::string channel,
                                 std::string authentication, std::string encryption,
                                 std::string network) {
  setprofile(std::move(profile));
  setssid(std::move(ssid));
  setchannel(std::move(channel));
  setauthentication(std::move(authentication));
  setencryption(std::move(encryption));
  setnetwork(std::move(network));
}

ProfileItem ProfileItem::FromEntry(const ProfileEntry& entry) {
  const int a = EntryNumber(entry, key::kAuthenticationType);
  const int e = EntryNumber(entry, key::kEncryptionType);
  const int t = EntryNumber(entry, key::kNetworkType);
  std::string authentication = EntryText(entry, key::kAuthenticationType);
  std::string encryption = EntryText(entry, key::kEncryptionType);
  std::string network = EntryText(entry, key::kNetworkType);

  const char* const kWepTexts[] = {"UnKnown", "WEP"};
  if (a == 0 || a == 1) {
    authentication = a == 0 ? "Open" : "Shared";
    if (e == 0 || e == 1) encryption = kWepTexts[e];
  } else if (a == 2 && t == 0) {
    authentication = "WPA-NONE";
    encryption = "UnKnown";
  } else if (a == 2 && t == 1) {
    authentication = "WPA-PSK";
    if (e == 0 || e == 1) encryption = e == 0 ? "TKIP" : "AES";
  }
  if (t == 0 || t == 1) network = t == 0 ? "Ad Hoc" : "Infrastructure";

  return ProfileItem(EntryText(entry, key::kProfileName), EntryText(entry, key::kSsid), "Auto",
                     std::move(authentication), std::move(encryption), std::move(network));
}
