#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kq/settings/keys.hpp"
#include "kq/settings/memory_store.hpp"
#include "kq/settings/recording_store.hpp"

namespace kq::settings {
namespace {

const Key* const all_keys[] = {&MAIN_Left,   &MAIN_Top,   &MAIN_Width,          &MAIN_Height,
                               &ABOUT_Left,  &ABOUT_Top,  &ABOUT_Width,         &ABOUT_Height,
                               &AlwaysOnTop_TICKBOX, &AUTOSTART_TICKBOX};

// A memory store seen through the recording wrapper, the way scenarios see it.
struct Recorded : ::testing::Test {
  MemoryStore memory;
  std::vector<std::string> log;
  RecordingStore recording{memory, [this](std::string_view line) { log.emplace_back(line); }};
  Settings settings{recording};
};

TEST_F(Recorded, EmptyStoreGivesEveryDefaultAndWritesNothing) {
  EXPECT_EQ(settings.read_placement(MAIN_Left), 1000);
  EXPECT_EQ(settings.read_placement(MAIN_Top), 1000);
  EXPECT_EQ(settings.read_placement(MAIN_Width), 4410);
  EXPECT_EQ(settings.read_placement(MAIN_Height), 350);
  EXPECT_EQ(settings.read_placement(ABOUT_Left), 1000);
  EXPECT_EQ(settings.read_placement(ABOUT_Top), 1000);
  EXPECT_EQ(settings.read_placement(ABOUT_Width), 8730);
  EXPECT_EQ(settings.read_placement(ABOUT_Height), 2415);
  EXPECT_EQ(settings.read_option(AlwaysOnTop_TICKBOX), 1);
  EXPECT_EQ(settings.read_option(AUTOSTART_TICKBOX), 1);
  EXPECT_EQ(memory.dump(), "");
  EXPECT_EQ(log.front(), "read MAIN_Left -> 1000");
  EXPECT_EQ(log.back(), "read AUTOSTART_TICKBOX -> 1");
  EXPECT_EQ(log.size(), 10u);
}

TEST_F(Recorded, WrittenValuesReadBackAndEveryAccessIsLoggedInOrder) {
  settings.write_placement(MAIN_Left, 1234.5f);
  settings.write_option(AUTOSTART_TICKBOX, 0);
  EXPECT_EQ(settings.read_placement(MAIN_Left), 1234.5f);
  EXPECT_EQ(settings.read_option(AUTOSTART_TICKBOX), 0);
  EXPECT_EQ(settings.read_placement(MAIN_Top), 1000);
  const std::vector<std::string> expected = {
      "write MAIN_Left 1234.5",         "write AUTOSTART_TICKBOX 0", "read MAIN_Left -> 1234.5",
      "read AUTOSTART_TICKBOX -> 0",    "read MAIN_Top -> 1000",
  };
  EXPECT_EQ(log, expected);
  EXPECT_EQ(memory.find("MAIN_Left"), "1234.5");
  EXPECT_EQ(memory.find_in("KQ-REZ-V1", "AUTOSTART_TICKBOX"), "0");
}

TEST_F(Recorded, GarbledValuesReadAsTheDefaultAndShowInTheLog) {
  memory.garble("MAIN_Left");
  memory.put("MAIN_Top", "");
  memory.put("MAIN_Width", "1e40");
  memory.put("AlwaysOnTop_TICKBOX", "70000");
  memory.put("AUTOSTART_TICKBOX", "on\n");
  EXPECT_EQ(settings.read_placement(MAIN_Left), 1000);
  EXPECT_EQ(settings.read_placement(MAIN_Top), 1000);
  EXPECT_EQ(settings.read_placement(MAIN_Width), 4410);
  EXPECT_EQ(settings.read_option(AlwaysOnTop_TICKBOX), 1);
  EXPECT_EQ(settings.read_option(AUTOSTART_TICKBOX), 1);
  const std::vector<std::string> expected = {
      "read MAIN_Left -> #garbled#",       "read MAIN_Top -> ",
      "read MAIN_Width -> 1e40",           "read AlwaysOnTop_TICKBOX -> 70000",
      "read AUTOSTART_TICKBOX -> on\\x0A",
  };
  EXPECT_EQ(log, expected);
}

TEST_F(Recorded, AFailingWriteThrowsChangesNothingAndIsLoggedAsFailed) {
  memory.put("MAIN_Left", "5");
  memory.fail_writes_to("MAIN_Left");
  EXPECT_THROW(settings.write_placement(MAIN_Left, 7), WriteError);
  settings.write_placement(MAIN_Top, 8);  // other keys still work
  memory.fail_every_write();
  EXPECT_THROW(settings.write_option(AUTOSTART_TICKBOX, 0), WriteError);
  memory.clear_failures();
  settings.write_placement(MAIN_Left, 9);
  const std::vector<std::string> expected = {"write MAIN_Left 7 -> failed", "write MAIN_Top 8",
                                             "write AUTOSTART_TICKBOX 0 -> failed", "write MAIN_Left 9"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(memory.dump(), "MAIN_Left=9\nMAIN_Top=8\n");
}

TEST_F(Recorded, RenamingTheProgramStartsANewSectionAndKeepsTheOld) {
  settings.write_placement(MAIN_Left, 10);
  memory.set_program("renamed.exe");
  EXPECT_EQ(recording.current_section(), "renamed");
  EXPECT_EQ(settings.read_placement(MAIN_Left), 1000);
  settings.write_placement(MAIN_Left, 20);
  EXPECT_EQ(memory.find_in("KQ-REZ-V1", "MAIN_Left"), "10");
  EXPECT_EQ(memory.find_in("renamed", "MAIN_Left"), "20");
  EXPECT_EQ(memory.dump(), "MAIN_Left=20\n");
}

TEST(MemoryStore, DumpListsTheCurrentSectionSortedByKey) {
  MemoryStore memory;
  for (const Key* key : all_keys) memory.put(key->name, std::to_string(key->fallback));
  memory.put_in("other", "MAIN_Left", "1");
  memory.put("tab\tkey", "x");
  EXPECT_EQ(memory.dump(),
            "ABOUT_Height=2415\nABOUT_Left=1000\nABOUT_Top=1000\nABOUT_Width=8730\n"
            "AUTOSTART_TICKBOX=1\nAlwaysOnTop_TICKBOX=1\nMAIN_Height=350\nMAIN_Left=1000\n"
            "MAIN_Top=1000\nMAIN_Width=4410\ntab\\x09key=x\n");
  memory.erase("tab\tkey");
  EXPECT_EQ(memory.content_lines().size(), 10u);
}

TEST(MemoryStore, ApplicationsAreKeptApart) {
  MemoryStore memory;
  memory.write("OTHER_APP", "KQ-REZ-V1", "MAIN_Left", "5");
  EXPECT_EQ(memory.read(application, "KQ-REZ-V1", "MAIN_Left", 1000), "1000");
  EXPECT_EQ(memory.read("OTHER_APP", "KQ-REZ-V1", "MAIN_Left", 1000), "5");
  EXPECT_EQ(memory.read(application, "KQ-REZ-V1", "MAIN_Left", -3), "-3");
}

}  // namespace
}  // namespace kq::settings
