// SPDX-License-Identifier: GPL-3.0-or-later
// One row of the site survey table: seven texts, each empty until set.
#pragma once

#include <QString>

class AccessPoint {
 public:
  AccessPoint() = default;
  AccessPoint(QString ssid, QString bssid, QString signal, QString channel, QString authentication,
              QString encryption, QString networkType);

  void setAP(QString ssid, QString bssid, QString signal, QString channel, QString authentication,
             QString encryption, QString networkType);

  const QString& ssid() const { return SSID; }
  const QString& bssid() const { return BSSID; }
  const QString& signal() const { return Signal; }
  const QString& channel() const { return Channel; }
  const QString& authentication() const { return Authentication; }
  const QString& encryption() const { return Encryption; }
  const QString& network() const { return NetworkType; }

  void setssid(QString text) { SSID = std::move(text); }
  void setbssid(QString text) { BSSID = std::move(text); }
  void setsignal(QString text) { Signal = std::move(text); }
  void setchannel(QString text) { Channel = std::move(text); }
  void setauthentication(QString text) { Authentication = std::move(text); }
  void setencryption(QString text) { Encryption = std::move(text); }
  void setnetwork(QString text) { NetworkType = std::move(text); }

  // The seven texts joined by single blanks, in field order.
  QString description() const;

 private:
  QString SSID;
  QString BSSID;
  QString Signal;
  QString Channel;
  QString Authentication;
  QString Encryption;
  QString NetworkType;
};
