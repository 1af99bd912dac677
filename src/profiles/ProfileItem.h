// SPDX-License-Identifier: GPL-3.0-or-later
// One row of the profile table: six texts.
#pragma once

#include <string>

#include "profiles/ProfileStore.h"

class ProfileItem {
 public:
  ProfileItem() = default;  // all six texts empty
  ProfileItem(std::string profile, std::string ssid, std::string channel,
              std::string authentication, std::string encryption, std::string network);

  void setProfileItem(std::string profile, std::string ssid, std::string channel,
                      std::string authentication, std::string encryption, std::string network);

  const std::string& profile() const { return Profile_; }
  const std::string& ssid() const { return SSID_; }
  const std::string& channel() const { return Channel_; }
  const std::string& authentication() const { return AuthenType_; }
  const std::string& encryption() const { return Encryption_; }
  const std::string& network() const { return NetworkType_; }
  void setprofile(std::string text) { Profile_ = std::move(text); }
  void setssid(std::string text) { SSID_ = std::move(text); }
  void setchannel(std::string text) { Channel_ = std::move(text); }
  void setauthentication(std::string text) { AuthenType_ = std::move(text); }
  void setencryption(std::string text) { Encryption_ = std::move(text); }
  void setnetwork(std::string text) { NetworkType_ = std::move(text); }

  // The row of a stored entry: its name and network name, "Auto" for the channel, and the
  // authentication, encryption and network-type texts of its numbers. A number the table
  // has no text for is shown as it is stored.
  static ProfileItem FromEntry(const profiles::ProfileEntry& entry);

 private:
  std::string Profile_;
  std::string SSID_;
  std::string Channel_;
  std::string AuthenType_;
  std::string Encryption_;
  std::string NetworkType_;
};
