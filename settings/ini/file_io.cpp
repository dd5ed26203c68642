#include "file_io.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

namespace kq::settings::ini {
namespace {

[[noreturn]] void fail(std::string_view what, const std::filesystem::path& path, int error) {
  throw WriteError(std::string(what) + " " + path.string() + ": " + std::strerror(error));
}

bool refused(const StepHook& hook, WriteStep step) { return hook && hook(step); }

// The error a refused step reports: the typical refusal of a full disk.
constexpr int simulated_error = ENOSPC;

void write_all(int descriptor, std::string_view bytes, const std::filesystem::path& path) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      fail("cannot write", path, errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void remove_stale_temporaries(const std::filesystem::path& folder, const std::string& prefix) {
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    if (entry->path().filename().string().starts_with(prefix)) ::unlink(entry->path().c_str());
  }
}

void sync_folder(const std::filesystem::path& folder) {
  // Best effort: the new file is already in place and whole; some file
  // systems cannot sync a folder at all.
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

}  // namespace

FileContent read_whole_file(const std::filesystem::path& file) {
  const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (descriptor < 0) {
    if (errno == ENOENT) return {FileContent::Outcome::missing, {}};
    return {FileContent::Outcome::unreadable, {}};
  }
  FileContent content{FileContent::Outcome::read, {}};
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
      static_cast<std::uintmax_t>(status.st_size) > max_file_size) {
    ::close(descriptor);
    return {FileContent::Outcome::unreadable, {}};
  }
  char buffer[16384];
  for (;;) {
    const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || content.bytes.size() + static_cast<std::size_t>(got) > max_file_size) {
      content = {FileContent::Outcome::unreadable, {}};
      break;
    }
    if (got == 0) break;
    content.bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(descriptor);
  return content;
}

void make_folders(const std::filesystem::path& folder) {
  std::filesystem::path partial;
  for (const auto& part : folder) {
    partial /= part;
    struct stat status {};
    if (::stat(partial.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) continue;
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) fail("cannot create folder", partial, errno);
  }
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0) fail("cannot reach folder", folder, errno);
  if (!S_ISDIR(status.st_mode)) fail("not a folder:", folder, ENOTDIR);
}

FileLock::FileLock(const std::filesystem::path& lock_file, const StepHook& hook) {
  if (refused(hook, WriteStep::lock)) fail("cannot lock", lock_file, simulated_error);
  descriptor_ = ::open(lock_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
  if (descriptor_ < 0) fail("cannot open lock file", lock_file, errno);
  using namespace std::chrono_literals;
  const auto give_up = std::chrono::steady_clock::now() + 5s;
  while (::flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EINTR) continue;
    // A file system without locks: go on unlocked rather than never save.
    if (error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS) return;
    if (error != EWOULDBLOCK || std::chrono::steady_clock::now() > give_up) {
      ::close(descriptor_);
      fail("cannot lock", lock_file, error);
    }
    std::this_thread::sleep_for(2ms);
  }
}

FileLock::~FileLock() { ::close(descriptor_); }  // closing releases the lock

void replace_atomically(const std::filesystem::path& file, std::string_view bytes, const StepHook& hook) {
  const std::filesystem::path folder = file.parent_path();
  const std::string prefix = file.filename().string() + ".tmp-";
  remove_stale_temporaries(folder, prefix);

  if (refused(hook, WriteStep::create_temp)) fail("cannot create a file in", folder, simulated_error);
  std::string name = (folder / (prefix + "XXXXXX")).string();
  std::vector<char> pattern(name.begin(), name.end());
  pattern.push_back('\0');
  const int descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);  // O_EXCL, mode 0600
  if (descriptor < 0) fail("cannot create a file in", folder, errno);
  const std::filesystem::path temporary(pattern.data());

  try {
    try {
      write_all(descriptor, bytes.substr(0, bytes.size() / 2), temporary);
      if (refused(hook, WriteStep::write_temp)) fail("cannot write", temporary, simulated_error);
      write_all(descriptor, bytes.substr(bytes.size() / 2), temporary);
      if (refused(hook, WriteStep::sync_temp)) fail("cannot sync", temporary, simulated_error);
      if (::fsync(descriptor) != 0) fail("cannot sync", temporary, errno);
    } catch (...) {
      ::close(descriptor);
      throw;
    }
    // close can report a delayed write error (NFS, a full disk).
    if (::close(descriptor) != 0) fail("cannot write", temporary, errno);
    if (refused(hook, WriteStep::rename)) fail("cannot replace", file, simulated_error);
    if (::rename(temporary.c_str(), file.c_str()) != 0) fail("cannot replace", file, errno);
  } catch (...) {
    ::unlink(temporary.c_str());
    throw;
  }
  if (!refused(hook, WriteStep::sync_folder)) sync_folder(folder);
}

}  // namespace kq::settings::ini
