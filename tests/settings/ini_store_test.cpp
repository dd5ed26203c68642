#include <gtest/gtest.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <set>
#include <thread>

#include "kq/settings/ini/document.hpp"
#include "kq/settings/ini/ini_store.hpp"
#include "kq/settings/keys.hpp"
#include "kq/settings/native.hpp"
#include "temp_folder.hpp"

namespace kq::settings::ini {
namespace {

using testing::file_text;
using testing::in_child;
using testing::put_file;

using namespace std::string_literals;

constexpr std::string_view section = "KQ-REZ-V1";

struct IniStoreTest : ::testing::Test {
  testing::TempFolder temp;
  std::filesystem::path config = temp.path() / "config";
  std::filesystem::path folder = config / "KQ_REZ";
  std::filesystem::path file = folder / "settings.ini";
  std::vector<std::string> said;  // the lines the store put on stderr

  IniStore store(StepHook hook = {}) {
    IniOptions options;
    options.config_folder = config;
    options.program_name = [] { return std::string(section) + ".exe"; };
    options.step_hook = std::move(hook);
    options.report = [this](std::string_view line) { said.emplace_back(line); };
    return IniStore(std::move(options));
  }

  // A settings file as a user might have left it.
  void seed(const std::string& bytes) {
    std::filesystem::create_directories(folder);
    put_file(file, bytes);
  }

  // Everything in the folder but the settings file.
  std::set<std::string> litter() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      if (name != "settings.ini") names.insert(name);
    }
    return names;
  }
};

mode_t mode_of(const std::filesystem::path& path) {
  struct stat status {};
  ::stat(path.c_str(), &status);
  return status.st_mode & 07777;
}

ino_t inode_of(const std::filesystem::path& path) {
  struct stat status {};
  ::stat(path.c_str(), &status);
  return status.st_ino;
}

const std::string hand_edited = "; kept\n[KQ-REZ-V1]\nMAIN_Left=1\nodd line\n";

TEST_F(IniStoreTest, EmptyStoreGivesTheDefaultsAndReadingCreatesNothing) {
  IniStore ini = store();
  Settings settings(ini);
  EXPECT_EQ(settings.read_placement(MAIN_Left), 1000);
  EXPECT_EQ(settings.read_placement(MAIN_Width), 4410);
  EXPECT_EQ(settings.read_placement(ABOUT_Height), 2415);
  EXPECT_EQ(settings.read_option(AlwaysOnTop_TICKBOX), 1);
  EXPECT_EQ(settings.read_option(AUTOSTART_TICKBOX), 1);
  EXPECT_EQ(ini.read(application, section, "nothing", -7), "-7");
  EXPECT_FALSE(std::filesystem::exists(config));
}

TEST_F(IniStoreTest, WrittenValuesReadBackFromAPrivateFile) {
  IniStore ini = store();
  Settings settings(ini);
  settings.write_placement(MAIN_Left, 1234.5f);
  settings.write_placement(MAIN_Top, -20);
  settings.write_option(AUTOSTART_TICKBOX, 0);
  EXPECT_EQ(settings.read_placement(MAIN_Left), 1234.5f);
  EXPECT_EQ(settings.read_placement(MAIN_Top), -20);
  EXPECT_EQ(settings.read_option(AUTOSTART_TICKBOX), 0);
  EXPECT_EQ(file_text(file), "[KQ-REZ-V1]\nMAIN_Left=1234.5\nMAIN_Top=-20\nAUTOSTART_TICKBOX=0\n");
  EXPECT_EQ(mode_of(config), 0700u);
  EXPECT_EQ(mode_of(folder), 0700u);
  EXPECT_EQ(mode_of(file), 0600u);
  EXPECT_TRUE(litter().empty());  // no lock file either: the folder is locked
  EXPECT_TRUE(said.empty());

  // The same value again leaves the file as it is.
  const ino_t before = inode_of(file);
  settings.write_placement(MAIN_Left, 1234.5f);
  EXPECT_EQ(inode_of(file), before);
}

TEST_F(IniStoreTest, EverySectionNameRoundTripsThroughTheFile) {
  const std::string names[] = {"with blanks", "[brackets]", "a]b[c", "x=y", "dritt\xC3\xA9", "\\x41", "tab\there"};
  IniStore ini = store();
  for (const std::string& name : names) ini.write(application, name, "MAIN_Left", name);
  IniStore fresh = store();
  for (const std::string& name : names) EXPECT_EQ(fresh.read(application, name, "MAIN_Left", 0), name);
  EXPECT_EQ(fresh.read(application, section, "MAIN_Left", 0), "0");
}

TEST_F(IniStoreTest, AHandEditedFileKeepsItsCommentsAndUnknownLines) {
  seed("\xEF\xBB\xBF; mine\r\n[KQ-REZ-V1]\r\nMAIN_Left = 77\r\nwhatever\r\n[other]\r\nMAIN_Left=5\r\n");
  IniStore ini = store();
  Settings settings(ini);
  EXPECT_EQ(settings.read_placement(MAIN_Left), 77);
  settings.write_placement(MAIN_Top, 88);
  EXPECT_EQ(file_text(file),
            "\xEF\xBB\xBF; mine\r\n[KQ-REZ-V1]\r\nMAIN_Left = 77\r\nwhatever\r\nMAIN_Top=88\r\n[other]\r\nMAIN_Left=5\r\n");
}

TEST_F(IniStoreTest, OldMacLineEndingsAndWholeNumbersInOtherFormsReadAsWritten) {
  seed("[KQ-REZ-V1]\rMAIN_Left=1440.0\rAUTOSTART_TICKBOX=0.0\rAlwaysOnTop_TICKBOX=1E0");
  IniStore ini = store();
  Settings settings(ini);
  EXPECT_EQ(settings.read_placement(MAIN_Left), 1440);
  EXPECT_EQ(settings.read_option(AUTOSTART_TICKBOX), 0);
  EXPECT_EQ(settings.read_option(AlwaysOnTop_TICKBOX), 1);
  settings.write_placement(MAIN_Left, 5);
  EXPECT_EQ(file_text(file), "[KQ-REZ-V1]\rMAIN_Left=5\rAUTOSTART_TICKBOX=0.0\rAlwaysOnTop_TICKBOX=1E0");
}

TEST_F(IniStoreTest, GarbledValuesAndFilesReadAsTheDefaults) {
  const std::string files[] = {
      "[KQ-REZ-V1]\nMAIN_Left=abc\nMAIN_Top=\nMAIN_Width=1e99\nMAIN_Height=nan\n"
      "AlwaysOnTop_TICKBOX=40000\nAUTOSTART_TICKBOX=1.5\n",
      "\x7F" "ELF\0\0\x01\xFF\xFE[KQ-REZ-V1\n\0MAIN_Left=3\n"s,
      "",
  };
  for (const std::string& bytes : files) {
    seed(bytes);
    IniStore ini = store();
    Settings settings(ini);
    EXPECT_EQ(settings.read_placement(MAIN_Left), 1000);
    EXPECT_EQ(settings.read_placement(MAIN_Top), 1000);
    EXPECT_EQ(settings.read_placement(MAIN_Width), 4410);
    EXPECT_EQ(settings.read_placement(MAIN_Height), 350);
    EXPECT_EQ(settings.read_option(AlwaysOnTop_TICKBOX), 1);
    EXPECT_EQ(settings.read_option(AUTOSTART_TICKBOX), 1);
    // A write still works and keeps what it could not understand.
    settings.write_option(AUTOSTART_TICKBOX, 0);
    EXPECT_EQ(settings.read_option(AUTOSTART_TICKBOX), 0);
    EXPECT_NE(file_text(file).find(bytes.substr(0, 12)), std::string::npos);
  }
}

TEST_F(IniStoreTest, WhatCannotBeReadIsLeftAloneAndFailsTheWrite) {
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"a folder", [&] { std::filesystem::create_directories(file); }},
      {"a pipe", [&] { ::mkfifo(file.c_str(), 0600); }},
      {"a huge file", [&] { put_file(file, std::string(max_file_size + 1, 'x')); }},
  };
  for (const auto& [what, make] : cases) {
    SCOPED_TRACE(what);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    make();
    const auto kind = std::filesystem::symlink_status(file).type();
    const auto size = std::filesystem::is_regular_file(file) ? std::filesystem::file_size(file) : 0;
    IniStore ini = store();
    EXPECT_EQ(ini.read(application, section, "MAIN_Left", 1000), "1000");
    EXPECT_THROW(ini.write(application, section, "MAIN_Left", "5"), WriteError);
    EXPECT_EQ(std::filesystem::symlink_status(file).type(), kind);
    if (size != 0) {
      EXPECT_EQ(std::filesystem::file_size(file), size);
    }
    EXPECT_TRUE(litter().empty());
  }
}

TEST_F(IniStoreTest, AFolderThatCannotBeCreatedFailsTheWrite) {
  std::filesystem::create_directories(temp.path());
  put_file(temp.path() / "plain file", "x");
  IniOptions options;
  options.config_folder = temp.path() / "plain file" / "config";
  options.report = [](std::string_view) {};
  IniStore ini(std::move(options));
  EXPECT_THROW(ini.write(application, section, "MAIN_Left", "5"), WriteError);
  EXPECT_EQ(ini.read(application, section, "MAIN_Left", 1000), "1000");
  EXPECT_EQ(file_text(temp.path() / "plain file"), "x");
}

TEST_F(IniStoreTest, AnApplicationNameThatCannotBeAFolderIsRefused) {
  IniStore ini = store();
  for (const char* app : {"", ".", "..", "a/b"}) {
    EXPECT_THROW(ini.write(app, section, "k", "v"), WriteError) << app;
    EXPECT_EQ(ini.read(app, section, "k", 3), "3");
  }
}

TEST_F(IniStoreTest, ARefusedStepLosesNothing) {
  for (const WriteStep refused :
       {WriteStep::lock, WriteStep::create_temp, WriteStep::write_temp, WriteStep::sync_temp, WriteStep::rename}) {
    SCOPED_TRACE(static_cast<int>(refused));
    seed(hand_edited);
    IniStore ini = store([refused](WriteStep step) { return step == refused ? ENOSPC : 0; });
    EXPECT_THROW(ini.write(application, section, "MAIN_Left", "2"), WriteError);
    EXPECT_THROW(ini.write(application, section, "MAIN_Top", "3"), WriteError);
    EXPECT_EQ(file_text(file), hand_edited);
    EXPECT_EQ(ini.read(application, section, "MAIN_Left", 0), "1");
    EXPECT_TRUE(litter().empty());
    // Each lost save is said once, with its key and the reason.
    ASSERT_EQ(said.size(), 2u);
    EXPECT_TRUE(said[0].starts_with("KQ_REZ: cannot save MAIN_Left: ")) << said[0];
    EXPECT_NE(said[0].find(std::strerror(ENOSPC)), std::string::npos) << said[0];
    EXPECT_TRUE(said[1].starts_with("KQ_REZ: cannot save MAIN_Top: ")) << said[1];
    said.clear();
  }
}

TEST_F(IniStoreTest, AFolderThatFailsToSyncIsAFailedSave) {
  // The new file is in place but may not outlive a crash: that is said. A
  // file system that cannot sync a folder at all is no failure.
  for (const int error : {EIO, EINVAL}) {
    SCOPED_TRACE(error);
    seed(hand_edited);
    said.clear();
    IniStore ini = store([error](WriteStep step) { return step == WriteStep::sync_folder ? error : 0; });
    if (error == EIO) {
      EXPECT_THROW(ini.write(application, section, "MAIN_Left", "2"), WriteError);
      ASSERT_EQ(said.size(), 1u);
      EXPECT_NE(said[0].find("could not be synced"), std::string::npos) << said[0];
    } else {
      ini.write(application, section, "MAIN_Left", "2");
      EXPECT_TRUE(said.empty());
    }
    EXPECT_EQ(ini.read(application, section, "MAIN_Left", 0), "2");
  }
}

TEST_F(IniStoreTest, AReadOnlyFolderLosesNothing) {
  seed(hand_edited);
  const int outcome = in_child([&] {
    // The superuser writes anywhere; take the rights of an ordinary user.
    if (::geteuid() == 0) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(temp.path()))
        if (::lchown(entry.path().c_str(), 65534, 65534) != 0) return 77;
      if (::chown(temp.path().c_str(), 65534, 65534) != 0) return 77;
      if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) return 77;
    }
    ::chmod(folder.c_str(), 0500);
    IniStore ini = store();
    if (ini.read(application, section, "MAIN_Left", 0) != "1") return 1;
    try {
      ini.write(application, section, "MAIN_Left", "2");
      return 2;
    } catch (const WriteError&) {
    }
    return ini.read(application, section, "MAIN_Left", 0) == "1" ? 0 : 3;
  });
  if (outcome == 77) GTEST_SKIP() << "cannot drop the superuser's rights here";
  EXPECT_EQ(outcome, 0);
  EXPECT_EQ(file_text(file), hand_edited);
}

TEST_F(IniStoreTest, AFullDiskLosesNothing) {
  seed(hand_edited);
  const int outcome = in_child([&] {
    // Files may grow no larger than the one there: the new one is larger.
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{hand_edited.size(), hand_edited.size()};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    IniStore ini = store();
    try {
      ini.write(application, section, "MAIN_Top", "12345");
      return 2;
    } catch (const WriteError&) {
      return 0;
    }
  });
  EXPECT_EQ(outcome, 0);
  EXPECT_EQ(file_text(file), hand_edited);
  EXPECT_TRUE(litter().empty());
}

TEST_F(IniStoreTest, AWriterKilledAtAnyStepLeavesTheOldOrTheNewFile) {
  seed(hand_edited);
  Document expected = Document::parse(hand_edited);
  expected.set(section, "MAIN_Top", "2");
  const std::string updated = expected.render();
  for (const WriteStep killed_at : {WriteStep::lock, WriteStep::create_temp, WriteStep::write_temp,
                                    WriteStep::sync_temp, WriteStep::rename, WriteStep::sync_folder}) {
    SCOPED_TRACE(static_cast<int>(killed_at));
    seed(hand_edited);
    const int outcome = in_child([&] {
      IniStore ini = store([killed_at](WriteStep step) {
        if (step == killed_at) ::raise(SIGKILL);
        return 0;
      });
      ini.write(application, section, "MAIN_Top", "2");
      return 0;
    });
    EXPECT_EQ(outcome, 128 + SIGKILL);
    EXPECT_EQ(file_text(file), killed_at == WriteStep::sync_folder ? updated : hand_edited);
    // The next write clears what the killed one left behind.
    IniStore ini = store();
    ini.write(application, section, "MAIN_Top", "3");
    EXPECT_TRUE(litter().empty());
  }
}

TEST_F(IniStoreTest, AWriterKilledAtRandomMomentsNeverTearsTheFile) {
  std::mt19937 random(12345);
  for (int round = 0; round < 12; ++round) {
    std::filesystem::remove_all(folder);
    const pid_t writer = ::fork();
    if (writer == 0) {
      IniStore ini = store();
      for (int i = 0;; ++i) ini.write(application, section, "K" + std::to_string(i), std::to_string(i * 7));
    }
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<>(2000, 40000)(random)));
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    // The file holds K0 .. Kn-1 for some n, all whole, and nothing else.
    const std::vector<Entry> entries = Document::parse(file_text(file)).entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].section, section);
      EXPECT_EQ(entries[i].key, "K" + std::to_string(i));
      EXPECT_EQ(entries[i].value, std::to_string(i * 7));
    }
    if (std::filesystem::exists(file)) {
      EXPECT_TRUE(file_text(file).ends_with("\n"));
    }
  }
}

TEST_F(IniStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int writes = 40;
  pid_t writers[2];
  for (const char prefix : {'A', 'B'}) {
    writers[prefix - 'A'] = ::fork();
    if (writers[prefix - 'A'] == 0) {
      IniStore ini = store();
      int failures = 0;
      for (int i = 0; i < writes; ++i) {
        try {
          ini.write(application, section, prefix + std::to_string(i), std::to_string(i));
        } catch (const WriteError&) {
          ++failures;
        }
      }
      ::_exit(failures);
    }
  }
  for (const pid_t writer : writers) {
    int status = 0;
    ::waitpid(writer, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  IniStore ini = store();
  for (const char prefix : {'A', 'B'}) {
    for (int i = 0; i < writes; ++i)
      EXPECT_EQ(ini.read(application, section, prefix + std::to_string(i), -1), std::to_string(i));
  }
}

TEST_F(IniStoreTest, ASymbolicLinkToTheFileStaysALink) {
  std::filesystem::create_directories(folder);
  put_file(temp.path() / "dotfiles.ini", hand_edited);
  std::filesystem::create_symlink(temp.path() / "dotfiles.ini", file);
  IniStore ini = store();
  ini.write(application, section, "MAIN_Left", "9");
  EXPECT_TRUE(std::filesystem::is_symlink(file));
  EXPECT_EQ(ini.read(application, section, "MAIN_Left", 0), "9");
  EXPECT_NE(file_text(temp.path() / "dotfiles.ini").find("MAIN_Left=9"), std::string::npos);
}

TEST_F(IniStoreTest, TheNativeStoreFindsItsFolderInTheEnvironment) {
  const auto restore = [](const char* name, const char* old) {
    if (old != nullptr) ::setenv(name, old, 1); else ::unsetenv(name);
  };
  const std::string old_xdg = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  const std::string old_home = std::getenv("HOME") ? std::getenv("HOME") : "";
  const bool had_xdg = std::getenv("XDG_CONFIG_HOME") != nullptr;
  const bool had_home = std::getenv("HOME") != nullptr;

  ::setenv("XDG_CONFIG_HOME", (temp.path() / "xdg").c_str(), 1);
  auto native = open_native_store();
  native->write(application, native->current_section(), "MAIN_Left", "1");
  EXPECT_TRUE(std::filesystem::exists(temp.path() / "xdg" / "KQ_REZ" / "settings.ini"));

  // A relative XDG path is ignored for ~/.config.
  ::setenv("XDG_CONFIG_HOME", "relative", 1);
  ::setenv("HOME", (temp.path() / "home").c_str(), 1);
  native->write(application, native->current_section(), "MAIN_Left", "2");
  EXPECT_TRUE(std::filesystem::exists(temp.path() / "home" / ".config" / "KQ_REZ" / "settings.ini"));
  EXPECT_EQ(native->read(application, native->current_section(), "MAIN_Left", 0), "2");

  restore("XDG_CONFIG_HOME", had_xdg ? old_xdg.c_str() : nullptr);
  restore("HOME", had_home ? old_home.c_str() : nullptr);
}

TEST(StartedProgramName, IsTheNameThisTestRunsUnder) {
  EXPECT_EQ(started_program_name(), "settings_ini_test");
}

}  // namespace
}  // namespace kq::settings::ini
