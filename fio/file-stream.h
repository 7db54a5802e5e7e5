// A file of a unit: a POSIX descriptor with a write buffer and a read-ahead
// buffer. Every failure of the file system comes back as an IoError, with the
// system's reason noted for the report; nothing is lost silently: the buffer
// is written out when it is full and at every flush, which the unit asks for
// after each statement to a device and before a read, and which close makes;
// each write is checked.
//
// A regular file is replaced whole or not at all. Its open makes an empty
// staging file beside it (".NAME.xxxxxx" in the same folder, so that a
// rename can put it in place); the first write copies what stands before the
// writing position into the staging file and goes on there, and reads follow
// it there. Only close() puts the staging file in place of the named one
// (or hands it to an open commit group, commit-group.h, which does so with
// the rest of its files). A file that does not exist yet is never created
// under its name by the open: the staging file is the file from the start,
// so that no kill, however abrupt, leaves an empty file under a final name.
// A unit that is never closed (the program dies of the end of its input, a
// run-time error, a signal) leaves the named file as it was. Because the
// staging file is made at the open, a file whose folder cannot take it is
// refused there, before the program has computed anything for it, and so
// is an existing file that may not be written.
//
// A staging file is locked while it exists; a staging file of the same name
// pattern that nobody holds locked is a leftover of a run that was killed
// outright, and the next open of that name removes it.
//
// A name that is a symbolic link to a regular file replaces the link's
// target (the link stays); a link that leads nowhere or to a folder is
// refused at the open (link_to_no_regular_file).
#pragma once

#include <sys/stat.h>
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

  bool is_open() const { return fd_ >= 0; }
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
  // regular file is to end at the current position. The cut is made by the
  // next flush, after the written bytes, and only where the file reaches
  // further: a file rewritten with as many bytes as before, or a new one, is
  // never cut, and a shorter rewrite loses only its old tail. Freeing a
  // file's blocks is slow on file systems that discard them. The first
  // switch of a replaced file moves to its staging file instead, which then
  // holds exactly what stood before the position.
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
  // earlier contents. The descriptors are closed in any case.
  IoError close();
  // Closes without keeping anything that was written and without a report:
  // the named file keeps its earlier contents (or stays absent), a scratch
  // file is removed. For a program that dies with the
  // unit open, and for a unit table that is being reset.
  void abandon();

 private:
  // The file that takes the writing until the close puts it in place.
  struct Staging {
    int fd = -1;       // made at the open, not written yet
    int lock_fd = -1;  // holds the lock until the rename or the removal
    std::string path;
    int slot = -1;        // removed by a fatal signal (transient-files.h)
    bool active = false;  // fd_ is the staging file now
  };

  IoError open_existing(FileStatus status, std::optional<FileAction> action);
  IoError open_new(std::optional<FileAction> action);
  IoError open_descriptor(const std::string& path, FileStatus status,
                          std::optional<FileAction> action);
  IoError finish_open(int fd);
  // model: the file replaced, whose permissions the staging file takes;
  // none for a new file.
  IoError prepare_staging(const struct stat* model);
  IoError start_staging();
  IoError copy_written_part(int to, off_t length);
  IoError put_in_place();
  void drop_staging();
  void close_descriptors();
  IoError fill();
  IoError write_out();
  // Writes `bytes` to the descriptor (the buffer, or a caller's bytes that
  // bypass it); a failure damages the file.
  IoError write_bytes(std::string_view bytes);
  IoError cut_off_after_writing();

  std::string name_;    // the name opened, for a report
  std::string target_;  // the named file (a symbolic link's target)
  Staging staging_;
  bool damaged_ = false;  // a write failed: the file is not put in place
  std::string scratch_path_;  // a scratch file's own name
  int scratch_slot_ = -1;

  int fd_ = -1;
  // The named file's own descriptor while the staging file takes the
  // writing: kept open until the rename, so that the old contents are freed
  // by a close in the background (background-close.h) rather than by the
  // rename itself.
  int replaced_fd_ = -1;
  bool can_read_ = false;
  bool can_write_ = false;
  bool regular_ = false;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  bool ends_here_ = false;  // the file is to end at end_ (truncate_here)
  off_t end_ = 0;           // where the next byte of out_ goes, while ends_here_
  std::string out_;         // bytes not yet written
  std::string in_;          // read-ahead
  std::size_t in_pos_ = 0;
  bool at_end_ = false;
};

}  // namespace zuna
