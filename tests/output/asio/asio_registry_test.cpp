#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/asio/asio_cards.h"
#include "output/asio/asio_driver_registry.h"

namespace {

std::vector<std::string> Names(const AsioDriverRegistry& registry, int capacity) {
  std::vector<std::string> names;
  for (int number = 0; number < registry.Count(); ++number) {
    char name[128] = {};
    EXPECT_EQ(registry.DriverName(number, name, capacity), 0) << number;
    names.emplace_back(name);
  }
  return names;
}

int NumberOf(const AsioDriverRegistry& registry, const std::string& name) {
  const std::vector<std::string> names = Names(registry, 128);
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<int>(i);
  }
  return -1;
}

TEST(AsioDriverRegistry, ListsOnlyUsableDriversNumberedWithoutGaps) {
  AsioDriverRegistry registry;
  int number = 0;
  for (const AsioDriverRecord* record = registry.first; record != nullptr; record = record->next) {
    EXPECT_EQ(record->number, number++) << record->displayName;
  }
  EXPECT_EQ(number, registry.Count());
  const std::vector<std::string> names = Names(registry, 128);
  auto listed = [&](const std::string& name) { return std::find(names.begin(), names.end(), name) != names.end(); };
  EXPECT_TRUE(listed(kStereo16));
  EXPECT_TRUE(listed(kKeyName)) << "a key without description is listed under its own name";
  EXPECT_TRUE(listed(kNoServer)) << "its file exists; only creating it fails";
  for (const char* skipped : {"no clsid", "unregistered", "missing file"}) {
    EXPECT_FALSE(listed(skipped)) << skipped;
  }

  const std::vector<std::string> shortened = Names(registry, 32);
  EXPECT_EQ(shortened[static_cast<size_t>(NumberOf(registry, kName31))], kName31);
  EXPECT_EQ(shortened[static_cast<size_t>(NumberOf(registry, kName32a))], kName32Shown);
  char name[32];
  EXPECT_EQ(registry.DriverName(registry.Count(), name, 32), kAsioDriverNoRecord);
  EXPECT_EQ(registry.DriverName(0, nullptr, 32), kAsioDriverInvalidArgument);
}

TEST(AsioDriverRegistry, OpensADriverOnceAndReleasesItWhenDestroyed) {
  ClearJournal(kStereo32);
  {
    AsioDriverRegistry registry;
    const int number = NumberOf(registry, kStereo32);
    IASIO* first = nullptr;
    ASSERT_EQ(registry.OpenDriver(number, &first), 0);
    ASSERT_NE(first, nullptr);
    IASIO* second = nullptr;
    EXPECT_EQ(registry.OpenDriver(number, &second), kAsioDriverAlreadyOpen);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(registry.OpenDriver(number, nullptr), kAsioDriverInvalidArgument);
    EXPECT_EQ(JournalCount(Journal(kStereo32), "create"), 1);
  }
  EXPECT_EQ(JournalCount(Journal(kStereo32), "release"), 1);
}

TEST(AsioDriverLoader, KeepsOrRestoresTheCurrentDriverWhenLoadingFails) {
  ClearJournal(kStereo16);
  ClearJournal(kName32a);
  ClearJournal(kName32b);
  {
    AsioDriverLoader loader;
    ASSERT_TRUE(loader.LoadByName(kStereo16));
    IASIO* const loaded = CurrentAsioDriver;
    const int index = loader.currentIndex;

    EXPECT_FALSE(loader.LoadByName("kv3r nobody"));
    EXPECT_EQ(loader.currentIndex, index);
    EXPECT_EQ(CurrentAsioDriver, loaded);

    EXPECT_FALSE(loader.LoadByName(kNoServer));
    char current[32];
    EXPECT_TRUE(loader.CurrentName(current));
    EXPECT_STREQ(current, kStereo16);
    EXPECT_NE(CurrentAsioDriver, nullptr);
    EXPECT_EQ(JournalCount(Journal(kStereo16), "create"), 2) << "unloaded, then brought back";

    // Both 32-character names shorten alike: the first listed is the one.
    ASSERT_TRUE(loader.LoadByName(kName32Shown));
    EXPECT_EQ(JournalCount(Journal(kName32a), "create"), 1);
    EXPECT_EQ(Journal(kName32b), "");
    loader.UnloadCurrent();
    EXPECT_EQ(loader.currentIndex, -1);
  }
  CurrentAsioDriver = nullptr;
  EXPECT_EQ(JournalCount(Journal(kStereo16), "release"), 2);
}

}  // namespace
