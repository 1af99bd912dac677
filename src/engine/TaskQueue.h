// SPDX-License-Identifier: GPL-3.0-or-later
// Configuration tasks and the process-wide first-in-first-out queue that holds them until
// the survey page's tick applies them one at a time.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "engine/ProfileRecord.h"

// Task types.
inline constexpr int32_t kTaskRescan = 1;         // scan and fetch the scan list
inline constexpr int32_t kTaskConfigure = 2;      // the whole record, as an ordered series
inline constexpr int32_t kTaskSelectBySsid = 3;   // OID_802_11_SSID with the record's Ssid
inline constexpr int32_t kTaskSelectByBssid = 4;  // OID_802_11_BSSID with the record's Bssid

// One task: a configuration record (owned from the moment it is handed over, together
// with its key records) and its type.
class ProfileData {
 public:
  // A new task owning `record`; its type is set afterwards.
  static std::unique_ptr<ProfileData> setProfileData(std::unique_ptr<ProfileRecord> record);

  ProfileData(const ProfileData&) = delete;
  ProfileData& operator=(const ProfileData&) = delete;
  ~ProfileData();  // releases the record and its key records

  // The record, or null when the task has none.
  ProfileRecord* Profile() const { return profile_.get(); }
  // Replaces the record, releasing the previous one.
  void setProfile(std::unique_ptr<ProfileRecord> record);

  void setTaskType(int32_t type) { taskType_ = type; }
  int32_t getTaskType() const { return taskType_; }

 private:
  ProfileData() = default;
  std::unique_ptr<ProfileRecord> profile_;
  int32_t taskType_ = 0;
};

// The pending tasks: new ones at index 0 (the front), the oldest one last.
extern std::deque<std::unique_ptr<ProfileData>> ProfileDataQueue;

// Class-level access to ProfileDataQueue. An instance exists among the main window's
// objects; creating it starts the queue empty.
class TaskQueue {
 public:
  TaskQueue();

  // Puts `task` at index 0; the queue keeps it. A null task is ignored.
  static void InsertTaskObject(std::unique_ptr<ProfileData> task);
  // The oldest task, or null when the queue is empty.
  static ProfileData* GetTaskObject();
  // Removes and destroys the oldest task; nothing happens when the queue is empty.
  static void RemoveTaskObject();
};
