#pragma once
// A fresh folder under $TMPDIR (or /tmp), removed with all it holds.

#include <grp.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kq::settings::testing {

class TempFolder {
 public:
  TempFolder() {
    // Folders the tests make must come out private whatever the caller's
    // umask, as the store itself makes them.
    ::umask(022);
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && base[0] == '/' ? base : "/tmp") + "/kq-settings-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(path_, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      if (it->is_directory(error) && !it->is_symlink(error))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, error);
    }
    std::filesystem::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string file_text(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void put_file(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

// Runs body in a child process; its return value is the exit code, a signal
// gives 128 + its number.
template <typename Body>
int in_child(Body body) {
  const pid_t child = ::fork();
  if (child == 0) {
    int code = 99;
    try {
      code = body();
    } catch (...) {
      code = 98;
    }
    ::_exit(code);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs body in a child process under another user id, the way a second user
// of the machine would; -1 when this process cannot take another user's id
// (only the superuser can, which the test machines run as).
template <typename Body>
int as_user(uid_t user, Body body) {
  if (::geteuid() != 0) return -1;
  return in_child([&] {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(user, user, user) != 0 || ::setresuid(user, user, user) != 0)
      return 97;
    return body();
  });
}

// Two ordinary users who share the machine, neither of them the superuser.
inline constexpr uid_t victim_uid = 4242;
inline constexpr uid_t other_uid = 65534;

}  // namespace kq::settings::testing
