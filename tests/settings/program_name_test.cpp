// The section follows the name the program file is started under: a copy, a
// hard link and a symbolic link each get their own, and leave the others be.
#include <gtest/gtest.h>

#include <array>

#include "kq/settings/ini/document.hpp"
#include "temp_folder.hpp"

namespace kq::settings {
namespace {

struct Run {
  int code;
  std::string out;
};

// Runs the probe from the given path with its own config folder.
Run probe(const std::filesystem::path& program, const std::filesystem::path& config,
          std::vector<std::string> arguments) {
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return {-1, {}};
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(pipe_ends[1], 1);
    ::close(pipe_ends[0]);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(pipe_ends[1]);
  Run run{0, {}};
  char buffer[256];
  for (ssize_t got; (got = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0;) run.out.append(buffer, got);
  ::close(pipe_ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(ProgramName, EachNameTheProgramRunsUnderHasItsOwnSection) {
  testing::TempFolder temp;
  const std::filesystem::path config = temp.path() / "config";
  const std::filesystem::path original = KQ_SETTINGS_PROBE;
  const std::filesystem::path copy = temp.path() / "KQ-REZ-V1.exe";
  const std::filesystem::path hard_link = temp.path() / "renamed [2] = dritt\xC3\xA9";
  const std::filesystem::path symbolic_link = temp.path() / "linked.v2";
  std::filesystem::copy_file(original, copy);
  std::filesystem::create_hard_link(copy, hard_link);
  std::filesystem::create_symlink(copy, symbolic_link);

  const std::array<std::pair<std::filesystem::path, std::string>, 3> runs = {{
      {copy, "KQ-REZ-V1"},
      {hard_link, "renamed [2] = dritt\xC3\xA9"},
      {symbolic_link, "linked"},
  }};
  for (const auto& [program, section] : runs) {
    EXPECT_EQ(probe(program, config, {"section"}).out, section + "\n");
    EXPECT_EQ(probe(program, config, {"read", "MAIN_Left"}).out, "0\n");  // a new section starts empty
    EXPECT_EQ(probe(program, config, {"write", "MAIN_Left", section}).code, 0);
  }
  const ini::Document file = ini::Document::parse(testing::file_text(config / "KQ_REZ" / "settings.ini"));
  for (const auto& [program, section] : runs) {
    EXPECT_EQ(file.get(section, "MAIN_Left"), section);
    EXPECT_EQ(probe(program, config, {"read", "MAIN_Left"}).out, section + "\n");
  }
  EXPECT_EQ(file.entries().size(), runs.size());
}

}  // namespace
}  // namespace kq::settings
