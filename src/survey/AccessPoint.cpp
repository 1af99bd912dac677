// SPDX-License-Identifier: GPL-3.0-or-later
#include "survey/AccessPoint.h"

#include <QDebug>

AccessPoint::AccessPoint(QString ssid, QString bssid, QString signal, QString channel,
                         QString authentication, QString encryption, QString networkType) {
  setAP(std::move(ssid), std::move(bssid), std::move(signal), std::move(channel),
        std::move(authentication), std::move(encryption), std::move(networkType));
}

void AccessPoint::setAP(QString ssid, QString bssid, QString signal, QString channel,
                        QString authentication, QString encryption, QString networkType) {
  SSID = std::move(ssid);
  BSSID = std::move(bssid);
  Signal = std::move(signal);
  Channel = std::move(channel);
  Authentication = std::move(authentication);
  Encryption = std::move(encryption);
  NetworkType = std::move(networkType);
}

QString AccessPoint::description() const {
  qInfo("*** - (NSString *)description ***");
  return QStringList{SSID, BSSID, Signal, Channel, Authentication, Encryption, NetworkType}.join(
      QLatin1Char(' '));
}
