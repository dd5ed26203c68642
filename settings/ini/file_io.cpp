#include "file_io.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <system_error>
#include <vector>

namespace kq::settings::ini {
namespace {

using namespace std::chrono_literals;

[[noreturn]] void fail(std::string_view what, const std::filesystem::path& path, int error) {
  throw WriteError(std::string(what) + " " + path.string() + ": " + std::strerror(error));
}

int refusal(const StepHook& hook, WriteStep step) { return hook ? hook(step) : 0; }

void write_all(int descriptor, std::string_view bytes, const std::filesystem::path& path) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      fail("cannot write", path, errno);
    }
    // Nothing written and no error: asking again would get nowhere.
    if (written == 0) fail("cannot write", path, EIO);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

bool owned_by_me(const struct stat& status) { return status.st_uid == ::geteuid(); }

std::string temporary_prefix(const std::string& name) { return name + ".tmp-"; }

// Only under the lock: then every such file is a dead writer's. Files of
// other users are theirs to clean up, even in a folder everyone can write.
void remove_stale_temporaries(const Folder& folder, const std::string& prefix) {
  const int listing = ::openat(folder.descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  DIR* entries = ::fdopendir(listing);
  if (entries == nullptr) {
    ::close(listing);
    return;
  }
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(prefix)) continue;
    struct stat status {};
    if (::fstatat(folder.descriptor(), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(status.st_mode) && owned_by_me(status))
      stale.emplace_back(name);
  }
  ::closedir(entries);
  for (const std::string& name : stale) ::unlinkat(folder.descriptor(), name.c_str(), 0);
}

std::string random_suffix() {
  static constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char noise[8] = {};
  if (::getrandom(noise, sizeof noise, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof noise)) {
    const auto seed = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                      (static_cast<std::uint64_t>(::getpid()) << 32);
    std::memcpy(noise, &seed, sizeof noise);
  }
  std::string suffix;
  for (const unsigned char byte : noise) suffix += letters[byte % (sizeof letters - 1)];
  return suffix;
}

// Folders that can be synced at all report other errors only when the
// entry may really be lost.
bool folder_sync_unsupported(int error) { return error == EINVAL || error == EROFS || error == EOPNOTSUPP; }

}  // namespace

Folder::~Folder() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

Folder::Folder(Folder&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), path_(std::move(other.path_)) {}

Folder& Folder::operator=(Folder&& other) noexcept {
  if (this != &other) {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = std::exchange(other.descriptor_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

AppFolder open_app_folder(const std::filesystem::path& folder) {
  const auto refused = [](std::string reason) { return AppFolder{AppFolder::Outcome::refused, {}, std::move(reason)}; };
  struct stat status {};
  if (::lstat(folder.c_str(), &status) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return {AppFolder::Outcome::missing, {}, {}};
    return {AppFolder::Outcome::missing, {}, std::strerror(errno)};
  }
  int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  if (S_ISLNK(status.st_mode)) {
    if (!owned_by_me(status)) return refused("it is a link made by user " + std::to_string(status.st_uid));
  } else {
    flags |= O_NOFOLLOW;
  }
  const int descriptor = ::open(folder.c_str(), flags);
  if (descriptor < 0) {
    if (errno == ENOENT) return {AppFolder::Outcome::missing, {}, {}};
    return {AppFolder::Outcome::missing, {}, std::strerror(errno)};
  }
  Folder opened(descriptor, folder);
  // What was opened, not what the path named a moment before.
  if (::fstat(descriptor, &status) != 0) return {AppFolder::Outcome::missing, {}, std::strerror(errno)};
  if (!owned_by_me(status)) return refused("it belongs to user " + std::to_string(status.st_uid));
  if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) return refused("other users can write to it");
  return {AppFolder::Outcome::open, std::move(opened), {}};
}

void make_folders(const std::filesystem::path& folder) {
  std::filesystem::path partial;
  for (const auto& part : folder) {
    partial /= part;
    struct stat status {};
    if (::stat(partial.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) continue;
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) fail("cannot create folder", partial, errno);
  }
}

FileContent read_file(const Target& file) {
  const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW;
  const int descriptor = ::openat(file.folder.descriptor(), file.name.c_str(), flags);
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
  content.bytes.reserve(static_cast<std::size_t>(status.st_size));
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

Target file_target(const Folder& folder, const std::string& name) {
  const int copy = ::fcntl(folder.descriptor(), F_DUPFD_CLOEXEC, 0);
  if (copy < 0) fail("cannot open folder", folder.path(), errno);
  Target target{Folder(copy, folder.path()), name};
  // A chain of links is followed as far as the kernel would follow one.
  for (int hops = 0;; ++hops) {
    struct stat status {};
    const int at = target.folder.descriptor();
    if (::fstatat(at, target.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(status.st_mode))
      return target;
    const std::filesystem::path link = target.folder.path() / target.name;
    if (hops == 40) fail("cannot follow", link, ELOOP);
    // Past the user's own folder a link may lie in a folder others can write
    // to (/tmp): only this user's links, or the system's, lead anywhere.
    if (!owned_by_me(status) && status.st_uid != 0) fail("not following a link of another user:", link, EPERM);
    std::vector<char> buffer(4096);
    const ssize_t size = ::readlinkat(at, target.name.c_str(), buffer.data(), buffer.size());
    if (size < 0) fail("cannot follow", link, errno);
    if (static_cast<std::size_t>(size) >= buffer.size()) fail("cannot follow", link, ENAMETOOLONG);
    const std::filesystem::path points_to(std::string(buffer.data(), static_cast<std::size_t>(size)));
    const std::string leaf = points_to.filename().string();
    if (leaf.empty() || leaf == "." || leaf == "..") fail("not a file:", link, EISDIR);
    // A relative link is relative to the folder it is in, as the kernel sees it.
    const std::filesystem::path parent = points_to.has_parent_path() ? points_to.parent_path() : ".";
    const int opened = ::openat(at, parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::filesystem::path shown = points_to.is_absolute() ? parent : target.folder.path() / parent;
    if (opened < 0) fail("cannot open folder", shown, errno);
    target = Target{Folder(opened, shown.lexically_normal()), leaf};
  }
}

LockPatience::LockPatience(std::chrono::milliseconds budget, std::function<Clock::time_point()> now,
                           std::function<bool(std::chrono::milliseconds)> pause)
    : budget_(budget), left_(budget), now_(std::move(now)), pause_(std::move(pause)) {}

LockPatience::Clock::duration LockPatience::available() {
  const auto now = now_();
  if (counted_) left_ = std::min(budget_, left_ + (now - counted_at_) / 30);
  counted_at_ = now;
  counted_ = true;
  return left_;
}

void LockPatience::spend(Clock::duration waited) { left_ = std::max(Clock::duration::zero(), left_ - waited); }

void LockPatience::exhaust() { left_ = Clock::duration::zero(); }

bool interruptible_pause(std::chrono::milliseconds length) {
  // ppoll is never restarted after a signal handler, whatever SA_RESTART says.
  const timespec wait{static_cast<std::time_t>(length.count() / 1000), static_cast<long>(length.count() % 1000) * 1000000};
  return !(::ppoll(nullptr, 0, &wait, nullptr) < 0 && errno == EINTR);
}

FolderLock::FolderLock(const Folder& folder, LockPatience& patience, const StepHook& hook)
    : descriptor_(folder.descriptor()) {
  const auto allowed = patience.available();
  const auto started = patience.now();
  for (;;) {
    int error = refusal(hook, WriteStep::lock);
    if (error == 0) {
      if (::flock(descriptor_, LOCK_EX | LOCK_NB) == 0) break;
      error = errno;
    }
    if (error == EINTR) continue;
    // A file system without locks (or, like NFS, without them on a folder):
    // go on unlocked rather than never save.
    if (error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS || error == EBADF) return;
    if (error != EWOULDBLOCK) fail("cannot lock", folder.path(), error);
    const auto waited = patience.now() - started;
    if (waited >= allowed) {
      patience.spend(waited);
      const auto shown = std::chrono::duration_cast<std::chrono::milliseconds>(waited).count();
      throw WriteError("another program holds the lock on " + folder.path().string() + " (waited " +
                       std::to_string(shown) + " ms)");
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(allowed - waited) + 1ms;
    if (!patience.pause(std::min<std::chrono::milliseconds>(5ms, left))) {
      patience.exhaust();
      throw WriteError("another program holds the lock on " + folder.path().string() +
                       ", and this one is being stopped");
    }
  }
  patience.spend(patience.now() - started);
  held_ = true;
}

FolderLock::~FolderLock() {
  if (held_) ::flock(descriptor_, LOCK_UN);
}

void replace_atomically(const Target& target, std::string_view bytes, bool locked, const StepHook& hook) {
  const Folder& folder = target.folder;
  const int at = folder.descriptor();
  const std::string prefix = temporary_prefix(target.name);
  if (locked) remove_stale_temporaries(folder, prefix);

  if (const int error = refusal(hook, WriteStep::create_temp)) fail("cannot create a file in", folder.path(), error);
  std::string temporary;
  int descriptor = -1;
  for (int attempt = 0; descriptor < 0 && attempt < 100; ++attempt) {
    temporary = prefix + random_suffix();
    descriptor = ::openat(at, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    if (descriptor < 0 && errno != EEXIST) break;
  }
  if (descriptor < 0) fail("cannot create a file in", folder.path(), errno);
  const std::filesystem::path shown = folder.path() / temporary;

  try {
    try {
      write_all(descriptor, bytes.substr(0, bytes.size() / 2), shown);
      if (const int error = refusal(hook, WriteStep::write_temp)) fail("cannot write", shown, error);
      write_all(descriptor, bytes.substr(bytes.size() / 2), shown);
      if (const int error = refusal(hook, WriteStep::sync_temp)) fail("cannot sync", shown, error);
      if (::fsync(descriptor) != 0) fail("cannot sync", shown, errno);
    } catch (...) {
      ::close(descriptor);
      throw;
    }
    // close can report a delayed write error (NFS, a full disk).
    if (::close(descriptor) != 0) fail("cannot write", shown, errno);
    const std::filesystem::path file = folder.path() / target.name;
    if (const int error = refusal(hook, WriteStep::rename)) fail("cannot replace", file, error);
    if (::renameat(at, temporary.c_str(), at, target.name.c_str()) != 0) fail("cannot replace", file, errno);
  } catch (...) {
    ::unlinkat(at, temporary.c_str(), 0);
    throw;
  }

  int error = refusal(hook, WriteStep::sync_folder);
  if (error == 0 && ::fsync(at) != 0) error = errno;
  if (error != 0 && !folder_sync_unsupported(error))
    throw WriteError("written, but the folder " + folder.path().string() + " could not be synced (" +
                     std::strerror(error) + "), so the value may not survive a crash");
}

}  // namespace kq::settings::ini
