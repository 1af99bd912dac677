// SPDX-License-Identifier: GPL-3.0-or-later
// The task queue: first in, first out, and every record released with its task.
#include <gtest/gtest.h>

#include "engine/TaskQueue.h"

namespace {

std::unique_ptr<ProfileData> TaskWithSsidLength(uint32_t marker) {
  auto record = std::make_unique<ProfileRecord>();
  record->data().Ssid.SsidLength = marker;
  auto task = ProfileData::setProfileData(std::move(record));
  task->setTaskType(kTaskConfigure);
  return task;
}

TEST(TaskQueueTest, oldestTaskComesOutFirst) {
  TaskQueue queue;
  EXPECT_EQ(TaskQueue::GetTaskObject(), nullptr);
  TaskQueue::RemoveTaskObject();  // harmless on an empty queue

  for (uint32_t marker : {1u, 2u, 3u}) TaskQueue::InsertTaskObject(TaskWithSsidLength(marker));
  ASSERT_EQ(ProfileDataQueue.size(), 3u);
  // New tasks go in at index 0.
  EXPECT_EQ(ProfileDataQueue.front()->Profile()->data().Ssid.SsidLength, 3u);

  for (uint32_t expected : {1u, 2u, 3u}) {
    ProfileData* oldest = TaskQueue::GetTaskObject();
    ASSERT_NE(oldest, nullptr);
    EXPECT_EQ(oldest->Profile()->data().Ssid.SsidLength, expected);
    TaskQueue::RemoveTaskObject();
  }
  EXPECT_EQ(TaskQueue::GetTaskObject(), nullptr);
}

TEST(TaskQueueTest, creatingTheQueueStartsItEmpty) {
  TaskQueue::InsertTaskObject(TaskWithSsidLength(1));
  TaskQueue queue;
  EXPECT_TRUE(ProfileDataQueue.empty());
}

TEST(TaskQueueTest, setProfileAndDestructionReleaseTheRecordWithTraceLines) {
  const std::string lines = "ProfileDat - setProfile - start\nProfileDat - setProfile - end\n";
  auto task = ProfileData::setProfileData(std::make_unique<ProfileRecord>());
  task->setTaskType(kTaskRescan);
  EXPECT_EQ(task->getTaskType(), kTaskRescan);

  auto replacement = std::make_unique<ProfileRecord>();
  ProfileRecord* replacementAddress = replacement.get();
  testing::internal::CaptureStderr();
  task->setProfile(std::move(replacement));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), lines);
  EXPECT_EQ(task->Profile(), replacementAddress);

  testing::internal::CaptureStderr();
  task.reset();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), lines);
}

}  // namespace
