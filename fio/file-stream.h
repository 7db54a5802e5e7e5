// A file of a unit: a POSIX descriptor written and read through a buffer
// (file-buffer.h), and the files that make a regular file's replacement
// whole or nothing (staging-file.h) and a scratch unit's file
// (scratch-file.h). Every failure of the file system comes back as an
// IoError, with the system's reason noted for the report; nothing is lost
// silently: the buffer is written out when it is full and at every flush,
// which the unit asks for after each statement to a device and before a
// read, and which close makes; each write is checked.
//
// A regular file is replaced whole or not at all. Its open makes an empty
// staging file beside it; the first write copies what stands before the
// writing position into the staging file and goes on there, and reads
// follow it there. Only close() puts the staging file in place of the named
// one (or hands it to an open commit group, commit-group.h, which does so
// with the rest of its files). A file that does not exist yet is never
// created under its name by the open: the staging file is the file from the
// start, so that no kill, however abrupt, leaves an empty file under a
// final name. A unit that is never closed (the program dies of the end of
// its input, a run-time error, a signal) leaves the named file as it was.
// Because the staging file is made at the open, a file whose folder cannot
// take it is refused there, before the program has computed anything for
// it, and so is an existing file that may not be written. A staging file
// that a run killed outright left behind goes at the next open of its name
// (staging-leftovers.h).
//
// A name that is a symbolic link to a regular file replaces the link's
// target (the link stays); a link that leads nowhere or to a folder is
// refused at the open (link_to_no_regular_file, output-target.h).
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fio/file-buffer.h"
#include "fio/io-error.h"
#include "fio/scratch-file.h"
#include "fio/staging-file.h"

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
  // file is tried for reading and writing, then writing only; reading only is
  // tried too for status OLD, the status of a file that the program reads:
  // any other status says the file is to be written, so a file that cannot be
  // written is refused rather than found out after the work. REPLACE keeps
  // the old file until the close puts the new one (empty or not) in its
  // place. The stream is positioned at the start.
  IoError open(const std::string& path, FileStatus status, std::optional<FileAction> action);
  // Creates a new scratch file "ZZxxxxxx" in the temporary folder; `path`
  // receives its name.
  IoError open_scratch(std::string& path);

  // A copy of one of the process's own descriptors (standard error), for
  // writing only.
  IoError open_duplicate(int fd);

  bool is_open() const { return buffer_.attached(); }
  bool can_read() const { return can_read_; }
  bool can_write() const { return can_write_; }
  // Only regular files are cut off at the first write; devices are not.
  bool is_regular() const { return regular_; }
  bool same_file(dev_t device, ino_t inode) const {
    return is_open() && device_ == device && inode_ == inode;
  }
  // Whether the stream is the file `name` opens: the same file, or the new
  // file that this open will put under that name.
  bool stands_for(const std::string& name) const;

  // A device opened by a name of its own (standard error): never cut off,
  // never deleted, even when it has been redirected to a regular file.
  void mark_device() { regular_ = false; }

  IoError seek_end();

  // The switch from reading to writing: read-ahead is given back and a
  // regular file is to end at the current position, cut by the next flush
  // where it reaches further (file-buffer.h). The first switch of a file
  // with a staging file moves to the staging file instead, which then holds
  // exactly what stood before the position.
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

  // Flushes, closes and puts what was written in place of the named file;
  // answers the first failure, and after a failure the named file keeps its
  // earlier contents. The descriptors are closed in any case. A scratch
  // file stays, for its unit to remove.
  IoError close();
  // Closes without keeping anything that was written and without a report:
  // the named file keeps its earlier contents (or stays absent), a scratch
  // file is removed. For a program that dies with the unit open, and for a
  // unit table that is being reset.
  void abandon();

 private:
  IoError open_existing(FileStatus status, std::optional<FileAction> action);
  IoError open_new(std::optional<FileAction> action);
  IoError open_descriptor(const std::string& path, FileStatus status,
                          std::optional<FileAction> action);
  IoError finish_open(int fd);
  // The first write to a file that has a staging file: what stands before
  // the unit's position goes over, and the writing moves there.
  IoError start_staging();
  IoError copy_to_staging(off_t length);

  std::string name_;    // the name opened, for a report
  std::string target_;  // the named file (a symbolic link's target)
  FileBuffer buffer_;
  StagingFile staging_;
  ScratchFile scratch_;
  bool can_read_ = false;
  bool can_write_ = false;
  bool regular_ = false;
  // The file opened: the named file, or for a new one its staging file.
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

}  // namespace zuna
