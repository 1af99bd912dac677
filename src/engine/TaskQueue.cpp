// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/TaskQueue.h"

#include <cstdio>

std::deque<std::unique_ptr<ProfileData>> ProfileDataQueue;

namespace {

// Written around every release of a task's record, whatever the trace switch says.
void TraceSetProfileStart() {
  std::fputs("ProfileDat - setProfile - start\n", stderr);
}
void TraceSetProfileEnd() {
  std::fputs("ProfileDat - setProfile - end\n", stderr);
}

}  // namespace

std::unique_ptr<ProfileData> ProfileData::setProfileData(std::unique_ptr<ProfileRecord> record) {
  std::unique_ptr<ProfileData> task(new ProfileData);
  task->profile_ = std::move(record);
  return task;
}

ProfileData::~ProfileData() {
  TraceSetProfileStart();
  profile_.reset();
  TraceSetProfileEnd();
}

void ProfileData::setProfile(std::unique_ptr<ProfileRecord> record) {
  TraceSetProfileStart();
  profile_ = std::move(record);
  TraceSetProfileEnd();
}

TaskQueue::TaskQueue() {
  ProfileDataQueue.clear();
}

void TaskQueue::InsertTaskObject(std::unique_ptr<ProfileData> task) {
  if (!task) return;
  ProfileDataQueue.push_front(std::move(task));
}

ProfileData* TaskQueue::GetTaskObject() {
  if (ProfileDataQueue.empty()) return nullptr;
  return ProfileDataQueue.back().get();
}

void TaskQueue::RemoveTaskObject() {
  if (ProfileDataQueue.empty()) return;
  ProfileDataQueue.pop_back();
}
