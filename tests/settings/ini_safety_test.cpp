// The settings file among other users and other programs: a config folder
// shared with others, links planted in it, several config folders linked to
// one file, a lock held elsewhere or left behind by the superuser, a file at
// the size limit, and a file system without locks.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "kq/settings/ini/ini_store.hpp"
#include "kq/settings/keys.hpp"
#include "temp_folder.hpp"

namespace kq::settings::ini {
namespace {

using testing::as_user;
using testing::file_text;
using testing::other_uid;
using testing::put_file;
using testing::victim_uid;
using namespace std::chrono_literals;

constexpr std::string_view section = "KQ-REZ-V1";

IniOptions options_for(const std::filesystem::path& config, std::vector<std::string>& said) {
  IniOptions options;
  options.config_folder = config;
  options.program_name = [] { return std::string(section) + ".exe"; };
  options.report = [&said](std::string_view line) { said.emplace_back(line); };
  return options;
}

// Gives a file, folder or link to a user with the given mode (links have none).
void give(const std::filesystem::path& path, uid_t user, mode_t mode) {
  ASSERT_EQ(::lchown(path.c_str(), user, user), 0) << path;
  if (!std::filesystem::is_symlink(path)) {
    ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
  }
}

mode_t mode_of(const std::filesystem::path& path) {
  struct stat status {};
  ::stat(path.c_str(), &status);
  return status.st_mode & 07777;
}

struct SafetyTest : ::testing::Test {
  testing::TempFolder temp;
  std::vector<std::string> said;

  void SetUp() override {
    // Other users must be able to reach what the test makes for them.
    ::chmod(temp.path().c_str(), 0711);
  }
};

TEST_F(SafetyTest, AConfigFolderSharedWithOtherUsersIsNeitherReadNorWritten) {
  // The victim's own files, which a planted link might aim the store at.
  const auto home = temp.path() / "victim";
  std::filesystem::create_directories(home / "own");
  const std::string bashrc = "alias ll='ls -l'\n";
  put_file(home / ".bashrc", bashrc);
  put_file(home / ".bashrc.tmp-keep", "mine");
  put_file(home / "own" / "settings.ini", "[KQ-REZ-V1]\nMAIN_Left=1\n");
  for (const auto& path : {home, home / "own"}) give(path, victim_uid, 0700);
  give(home / ".bashrc", victim_uid, 0644);
  give(home / ".bashrc.tmp-keep", victim_uid, 0600);
  give(home / "own" / "settings.ini", victim_uid, 0600);

  // A config folder everyone can write, where another user got there first.
  const auto shared = temp.path() / "shared";
  const auto planted = shared / "KQ_REZ";
  const std::pair<const char*, std::function<void()>> plantings[] = {
      {"another user's open folder with links to the victim's files",
       [&] {
         std::filesystem::create_directories(planted);
         give(planted, other_uid, 0777);
         std::filesystem::create_symlink(home / ".bashrc", planted / "settings.ini");
         std::filesystem::create_symlink(home / "made-by-lock", planted / "settings.ini.lock");
         give(planted / "settings.ini", other_uid, 0);
         give(planted / "settings.ini.lock", other_uid, 0);
       }},
      {"another user's private folder with values in it",
       [&] {
         std::filesystem::create_directories(planted);
         put_file(planted / "settings.ini", "[KQ-REZ-V1]\nMAIN_Left=1\n");
         give(planted, other_uid, 0755);
         give(planted / "settings.ini", other_uid, 0644);
       }},
      {"the victim's own folder that everyone can write",
       [&] {
         std::filesystem::create_directories(planted);
         put_file(planted / "settings.ini", "[KQ-REZ-V1]\nMAIN_Left=1\n");
         give(planted, victim_uid, 0777);
         give(planted / "settings.ini", victim_uid, 0600);
       }},
      {"another user's link to the victim's own folder",
       [&] {
         std::filesystem::create_symlink(home / "own", planted);
         give(planted, other_uid, 0);
       }},
  };
  for (const auto& [what, plant] : plantings) {
    SCOPED_TRACE(what);
    std::filesystem::remove_all(shared);
    std::filesystem::create_directories(shared);
    give(shared, 0, 0777);
    plant();
    const std::string before = std::filesystem::exists(planted / "settings.ini") ? file_text(planted / "settings.ini") : "";
    const int outcome = as_user(victim_uid, [&] {
      IniStore ini(options_for(shared, said));
      Settings settings(ini);
      if (settings.read_placement(MAIN_Left) != 1000) return 1;  // nothing read from it
      for (const Key* key : {&MAIN_Left, &MAIN_Top}) {
        try {
          settings.write_placement(*key, 1440);
          return 2;
        } catch (const WriteError&) {
        }
      }
      if (settings.read_placement(MAIN_Left) != 1000) return 3;
      // Said once, not at every access.
      if (said.size() != 1 || said[0].find(planted.string() + " is not used") == std::string::npos) return 4;
      return 0;
    });
    if (outcome < 0) GTEST_SKIP() << "only the superuser can act as two other users";
    EXPECT_EQ(outcome, 0);
    EXPECT_EQ(file_text(home / ".bashrc"), bashrc);
    EXPECT_EQ(mode_of(home / ".bashrc"), 0644u);
    EXPECT_FALSE(std::filesystem::exists(home / "made-by-lock"));
    EXPECT_TRUE(std::filesystem::exists(home / ".bashrc.tmp-keep"));
    EXPECT_EQ(file_text(home / "own" / "settings.ini"), "[KQ-REZ-V1]\nMAIN_Left=1\n");
    if (!std::filesystem::is_symlink(planted)) {
      EXPECT_EQ(std::filesystem::exists(planted / "settings.ini") ? file_text(planted / "settings.ini") : "", before);
    }
  }
}

TEST_F(SafetyTest, ALinkTheUserMadeLeadsTheWriteButNoLinkOfOthersAndNoLeftoverOfOthers) {
  // The user keeps the file in a folder everyone can write (sticky, as /tmp).
  const auto drop = temp.path() / "drop";
  const auto config = temp.path() / "config";
  std::filesystem::create_directories(drop);
  std::filesystem::create_directories(config / "KQ_REZ");
  std::filesystem::create_symlink(drop / "kq.ini", config / "KQ_REZ" / "settings.ini");
  put_file(drop / "kq.ini.tmp-theirs", "another user's file");
  put_file(drop / "kq.ini.tmp-stale", "a killed write of the user's own");
  give(drop, 0, 01777);
  give(drop / "kq.ini.tmp-theirs", other_uid, 0600);
  give(drop / "kq.ini.tmp-stale", victim_uid, 0600);
  for (const auto& path : {config, config / "KQ_REZ", config / "KQ_REZ" / "settings.ini"})
    give(path, victim_uid, 0700);

  // A second config folder whose link leads to a name another user took
  // first, with a link of theirs to the victim's own file.
  const auto bait = temp.path() / "bait";
  std::filesystem::create_directories(bait / "KQ_REZ");
  std::filesystem::create_symlink(drop / "planted.ini", bait / "KQ_REZ" / "settings.ini");
  put_file(temp.path() / "victim.txt", "the victim's own\n");
  std::filesystem::create_symlink(temp.path() / "victim.txt", drop / "planted.ini");
  for (const auto& path : {bait, bait / "KQ_REZ", bait / "KQ_REZ" / "settings.ini"}) give(path, victim_uid, 0700);
  give(temp.path() / "victim.txt", victim_uid, 0644);
  give(drop / "planted.ini", other_uid, 0);

  const int outcome = as_user(victim_uid, [&] {
    IniStore ini(options_for(config, said));
    ini.write(application, section, "MAIN_Left", "7");
    if (ini.read(application, section, "MAIN_Left", 0) != "7" || !said.empty()) return 1;
    IniStore baited(options_for(bait, said));
    try {
      baited.write(application, section, "MAIN_Left", "7");
      return 2;
    } catch (const WriteError&) {
    }
    return baited.read(application, section, "MAIN_Left", 0) == "0" ? 0 : 3;
  });
  if (outcome < 0) GTEST_SKIP() << "only the superuser can act as two other users";
  EXPECT_EQ(outcome, 0);
  EXPECT_EQ(file_text(temp.path() / "victim.txt"), "the victim's own\n");
  EXPECT_EQ(file_text(drop / "kq.ini"), "[KQ-REZ-V1]\nMAIN_Left=7\n");
  EXPECT_TRUE(std::filesystem::is_symlink(config / "KQ_REZ" / "settings.ini"));
  EXPECT_TRUE(std::filesystem::exists(drop / "kq.ini.tmp-theirs"));
  EXPECT_FALSE(std::filesystem::exists(drop / "kq.ini.tmp-stale"));
}

TEST_F(SafetyTest, ALockFileLeftByTheSuperuserDoesNotBlockSaving) {
  // One run under sudo left a lock file the user cannot open.
  const auto config = temp.path() / "config";
  std::filesystem::create_directories(config / "KQ_REZ");
  put_file(config / "KQ_REZ" / "settings.ini", "[KQ-REZ-V1]\nMAIN_Left=1\n");
  put_file(config / "KQ_REZ" / "settings.ini.lock", "");
  give(config, victim_uid, 0700);
  give(config / "KQ_REZ", victim_uid, 0700);
  give(config / "KQ_REZ" / "settings.ini", victim_uid, 0600);
  give(config / "KQ_REZ" / "settings.ini.lock", 0, 0600);

  const int outcome = as_user(victim_uid, [&] {
    IniStore ini(options_for(config, said));
    ini.write(application, section, "MAIN_Left", "2");
    return ini.read(application, section, "MAIN_Left", 0) == "2" ? 0 : 1;
  });
  if (outcome < 0) GTEST_SKIP() << "only the superuser can leave a file another user cannot open";
  EXPECT_EQ(outcome, 0);
}

TEST_F(SafetyTest, ConfigFoldersLinkedToOneFileLoseNoUpdate) {
  // Two config folders (two machines' dotfiles, say) whose settings.ini both
  // lead to one file; two programs write through each.
  const auto shared_file = temp.path() / "dotfiles" / "settings.ini";
  std::filesystem::create_directories(shared_file.parent_path());
  const std::filesystem::path configs[] = {temp.path() / "one", temp.path() / "two"};
  for (const auto& config : configs) {
    std::filesystem::create_directories(config / "KQ_REZ");
    std::filesystem::create_symlink(shared_file, config / "KQ_REZ" / "settings.ini");
  }
  constexpr int writers = 4;
  constexpr int writes = 25;
  std::vector<pid_t> children;
  for (int writer = 0; writer < writers; ++writer) {
    const pid_t child = ::fork();
    if (child == 0) {
      std::vector<std::string> lines;
      IniStore ini(options_for(configs[writer % 2], lines));
      int failures = 0;
      for (int i = 0; i < writes; ++i) {
        try {
          ini.write(application, section, "W" + std::to_string(writer) + "_" + std::to_string(i), std::to_string(i));
        } catch (const WriteError&) {
          ++failures;
        }
      }
      ::_exit(failures);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  IniStore ini(options_for(configs[0], said));
  int lost = 0;
  for (int writer = 0; writer < writers; ++writer) {
    for (int i = 0; i < writes; ++i)
      lost += ini.read(application, section, "W" + std::to_string(writer) + "_" + std::to_string(i), -1) !=
              std::to_string(i);
  }
  EXPECT_EQ(lost, 0);
  for (const auto& config : configs) {
    EXPECT_TRUE(std::filesystem::is_symlink(config / "KQ_REZ" / "settings.ini"));
  }
}

struct FileSizeTest : SafetyTest {
  std::filesystem::path config = temp.path() / "config";
  std::filesystem::path file = config / "KQ_REZ" / "settings.ini";
};

TEST_F(FileSizeTest, AWriteNeverMakesAFileTooBigToReadBack) {
  // 45 bytes short of the limit: the first writes fit, the one that would
  // not is refused and said, and the stored values still read.
  std::string bytes = "[KQ-REZ-V1]\nAUTOSTART_TICKBOX=0\n;";
  bytes += std::string(max_file_size - 45 - bytes.size() - 1, '-') + "\n";
  std::filesystem::create_directories(file.parent_path());
  put_file(file, bytes);
  IniStore ini(options_for(config, said));
  Settings settings(ini);
  settings.write_placement(MAIN_Left, 1440);  // 15 bytes
  settings.write_placement(MAIN_Top, 1000);   // 14 bytes
  EXPECT_THROW(settings.write_option(AlwaysOnTop_TICKBOX, 1), WriteError);  // 22 more would not fit
  EXPECT_LE(std::filesystem::file_size(file), max_file_size);
  EXPECT_EQ(settings.read_option(AUTOSTART_TICKBOX), 0);
  EXPECT_EQ(settings.read_placement(MAIN_Left), 1440);
  ASSERT_EQ(said.size(), 1u);
  EXPECT_TRUE(said[0].starts_with("KQ_REZ: cannot save AlwaysOnTop_TICKBOX: ")) << said[0];
  // A change that keeps the size still goes through.
  settings.write_placement(MAIN_Left, 1441);
  EXPECT_EQ(settings.read_placement(MAIN_Left), 1441);
}

// A lock another program holds on the settings folder, for as long as the
// object lives.
class HeldLock {
 public:
  explicit HeldLock(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    descriptor_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    held_ = descriptor_ >= 0 && ::flock(descriptor_, LOCK_EX | LOCK_NB) == 0;
  }
  ~HeldLock() { ::close(descriptor_); }
  bool held() const { return held_; }

 private:
  int descriptor_ = -1;
  bool held_ = false;
};

TEST_F(FileSizeTest, TheWritesOfOneShutdownShareOneShortWaitForAHeldLock) {
  const HeldLock lock(file.parent_path());
  ASSERT_TRUE(lock.held());
  // A clock that only the pauses move, so the waiting is counted exactly.
  auto now = std::chrono::steady_clock::time_point{} + 1h;
  std::chrono::milliseconds paused{0};
  IniOptions options = options_for(config, said);
  options.clock = [&] { return now; };
  options.pause = [&](std::chrono::milliseconds length) {
    now += length;
    paused += length;
    return true;
  };
  IniStore ini(std::move(options));
  Settings settings(ini);

  // The main window's unload: four writes, all lost, about a second in all.
  EXPECT_THROW(settings.write_placement(MAIN_Left, 1), WriteError);
  EXPECT_THROW(settings.write_placement(MAIN_Top, 2), WriteError);
  EXPECT_THROW(settings.write_option(AlwaysOnTop_TICKBOX, 0), WriteError);
  EXPECT_THROW(settings.write_option(AUTOSTART_TICKBOX, 0), WriteError);
  EXPECT_GE(paused, 1000ms);
  EXPECT_LE(paused, 1100ms);
  // Each lost save said once, with its key and why.
  ASSERT_EQ(said.size(), 4u);
  const char* keys[] = {"MAIN_Left", "MAIN_Top", "AlwaysOnTop_TICKBOX", "AUTOSTART_TICKBOX"};
  for (std::size_t i = 0; i < said.size(); ++i) {
    EXPECT_TRUE(said[i].starts_with(std::string("KQ_REZ: cannot save ") + keys[i] + ": ")) << said[i];
    EXPECT_NE(said[i].find("another program holds the lock"), std::string::npos) << said[i];
  }

  // Half a minute later the store is as patient as at first again.
  now += 30s;
  paused = 0ms;
  EXPECT_THROW(settings.write_placement(MAIN_Left, 1), WriteError);
  EXPECT_GE(paused, 1000ms);
}

TEST_F(FileSizeTest, AStopSignalEndsTheWaitForAHeldLock) {
  const HeldLock lock(file.parent_path());
  ASSERT_TRUE(lock.held());
  const int outcome = testing::in_child([&] {
    // As the program's own stop handling: a handler that lets calls restart.
    struct sigaction action {};
    action.sa_handler = [](int) {};
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGALRM, &action, nullptr);
    IniOptions options = options_for(config, said);
    options.lock_patience = 600s;  // only the signal can end the wait in time
    IniStore ini(std::move(options));
    // Again and again, so that one comes while the write waits.
    const itimerval often{{0, 50000}, {0, 50000}};
    ::setitimer(ITIMER_REAL, &often, nullptr);
    const auto started = std::chrono::steady_clock::now();
    try {
      ini.write(application, section, "MAIN_Left", "1");
      return 1;
    } catch (const WriteError&) {
    }
    const itimerval never{};
    ::setitimer(ITIMER_REAL, &never, nullptr);
    // The writes after it, of the same shutdown, do not wait either.
    for (const char* key : {"MAIN_Top", "AlwaysOnTop_TICKBOX", "AUTOSTART_TICKBOX"}) {
      try {
        ini.write(application, section, key, "1");
        return 2;
      } catch (const WriteError&) {
      }
    }
    if (std::chrono::steady_clock::now() - started > 60s) return 3;
    if (said.size() != 4 || said[0].find("being stopped") == std::string::npos) return 4;
    return said[3].find("another program holds the lock") != std::string::npos ? 0 : 5;
  });
  EXPECT_EQ(outcome, 0);
}

TEST_F(FileSizeTest, WithoutLocksTheWriteGoesOnAndLeavesOtherWritersFilesAlone) {
  // Where nothing can be locked a temporary file may be another writer's,
  // busy at this moment.
  std::filesystem::create_directories(file.parent_path());
  put_file(file.parent_path() / "settings.ini.tmp-busy", "[KQ-REZ-V1]\nMAIN_Top=3\n");
  IniOptions options = options_for(config, said);
  options.step_hook = [](WriteStep step) { return step == WriteStep::lock ? ENOLCK : 0; };
  IniStore ini(std::move(options));
  ini.write(application, section, "MAIN_Left", "2");
  EXPECT_EQ(ini.read(application, section, "MAIN_Left", 0), "2");
  EXPECT_TRUE(std::filesystem::exists(file.parent_path() / "settings.ini.tmp-busy"));
  EXPECT_TRUE(said.empty());
}

}  // namespace
}  // namespace kq::settings::ini
