#include "fio/transient-files.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace zuna {

namespace {

// 61 units, each with a staging file, the staging files of a commit group
// waiting to be put in place, and room to spare.
constexpr std::size_t kSlots = 160;

enum SlotState : int { kFree = 0, kFilling = 1, kArmed = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  dev_t device = 0;
  ino_t inode = 0;
  char path[PATH_MAX] = {};
};

// Constant-initialized, so that the table lies in zero pages until a slot
// is used: a table set at start-up would take a page fault for each of its
// pages in every run, whether it makes files or not.
constinit std::array<Slot, kSlots> slots{};

constexpr int kFatalSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE};

// Removes the armed files that are still the files entered, then dies of
// the same signal: the handler was installed with SA_RESETHAND, so the
// default action is back, and SA_NODEFER lets the raised signal through at
// once. fstatat, unlink and raise are async-signal-safe; errno is the only
// state they change, and the process dies right after.
void remove_and_die(int signal_number) {
  for (Slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) != kArmed) {
      continue;
    }
    struct stat info {};
    if (::fstatat(AT_FDCWD, slot.path, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        info.st_dev == slot.device && info.st_ino == slot.inode) {
      ::unlink(slot.path);
    }
  }
  ::raise(signal_number);
}

}  // namespace

int track_transient_file(const std::string& path, dev_t device, ino_t inode) {
  std::error_code ec;
  std::string absolute = std::filesystem::absolute(path, ec).string();
  if (ec || absolute.size() >= PATH_MAX) {
    return -1;
  }
  for (std::size_t i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (slots[i].state.compare_exchange_strong(expected, kFilling, std::memory_order_acq_rel)) {
      std::memcpy(slots[i].path, absolute.c_str(), absolute.size() + 1);
      slots[i].device = device;
      slots[i].inode = inode;
      slots[i].state.store(kArmed, std::memory_order_release);
      return static_cast<int>(i);
    }
  }
  return -1;
}

void release_transient_file(int slot) {
  if (slot >= 0 && static_cast<std::size_t>(slot) < kSlots) {
    slots[static_cast<std::size_t>(slot)].state.store(kFree, std::memory_order_release);
  }
}

bool is_transient_file(dev_t device, ino_t inode) {
  for (const Slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) == kArmed && slot.device == device &&
        slot.inode == inode) {
      return true;
    }
  }
  return false;
}

void install_transient_file_cleanup() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int signal_number : kFatalSignals) {
      struct sigaction current {};
      if (::sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler != SIG_DFL ||
          (current.sa_flags & SA_SIGINFO) != 0) {
        continue;
      }
      struct sigaction action {};
      action.sa_handler = &remove_and_die;
      sigemptyset(&action.sa_mask);
      action.sa_flags = SA_RESETHAND | SA_NODEFER;
      ::sigaction(signal_number, &action, nullptr);
    }
  });
}

}  // namespace zuna
