// A file of a unit: a POSIX descriptor with a write buffer and a read-ahead
// buffer. Every failure of the file system comes back as an IoError; nothing
// is lost silently: the buffer is written out when it is full and at every
// flush, which the unit asks for after each statement to a device and before
// a read, and which close makes; each write is checked.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fio/io-error.h"

namespace zuna {

enum class FileStatus { old_file, new_file, scratch, replace, unknown };
enum class FileAction { read, write, read_write };

class FileStream {
 public:
  FileStream() = default;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;
  ~FileStream();

  // Opens or creates `path` by status (not scratch). Without an action the
  // file is tried for reading and writing, then reading only, then writing
  // only. The stream is positioned at the start.
  IoError open(const std::string& path, FileStatus status, std::optional<FileAction> action);
  // Creates a new scratch file "ZZxxxxxx" in the temporary folder; `path`
  // receives its name.
  IoError open_scratch(std::string& path);

  // A copy of one of the process's own descriptors (standard error), for
  // writing only.
  IoError open_duplicate(int fd);

  bool is_open() const { return fd_ >= 0; }
  bool can_read() const { return can_read_; }
  bool can_write() const { return can_write_; }
  // Only regular files are cut off at the first write; devices are not.
  bool is_regular() const { return regular_; }
  bool same_file(dev_t device, ino_t inode) const {
    return is_open() && device_ == device && inode_ == inode;
  }

  // A device opened by a name of its own (standard error): never cut off,
  // never deleted, even when it has been redirected to a regular file.
  void mark_device() { regular_ = false; }

  IoError seek_end();

  // The switch from reading to writing: read-ahead is given back and a
  // regular file is to end at the current position. The cut is made by the
  // next flush, after the written bytes, and only where the file reaches
  // further: a file rewritten with as many bytes as before, or a new one, is
  // never cut, and a shorter rewrite loses only its old tail. Freeing a
  // file's blocks is slow on file systems that discard them.
  IoError truncate_here();
  // Buffers the bytes; a full buffer is written out, without the cut.
  IoError write(std::string_view bytes);
  // Writes the buffer out and, after a truncate_here(), cuts the file off
  // where the writing stands: the file is complete, for a reader too.
  IoError flush();

  // The next record without its line end ("\n", or "\r\n"); a last record
  // without a line end counts. end_of_file when nothing is left; a record
  // longer than max_length is an error.
  IoError read_record(std::string& record, std::size_t max_length);

  // Flushes and closes; answers the first failure. The descriptor is closed
  // in any case.
  IoError close();
  // Closes without reporting anything: for a unit table that is being reset.
  void abandon();

 private:
  IoError finish_open(int fd);
  IoError fill();
  IoError write_out();
  IoError cut_off_after_writing();

  int fd_ = -1;
  bool can_read_ = false;
  bool can_write_ = false;
  bool regular_ = false;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  bool ends_here_ = false;  // the file is to end at end_ (truncate_here)
  off_t end_ = 0;           // where the next byte of out_ goes, while ends_here_
  std::string out_;         // bytes not yet written
  std::string in_;   // read-ahead
  std::size_t in_pos_ = 0;
  bool at_end_ = false;
};

}  // namespace zuna
