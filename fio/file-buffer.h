// A write buffer and a read-ahead over one descriptor, which the buffer owns
// from attach() to close() or discard(). It knows nothing of names, staging
// files or scratch files: it moves bytes and records, and answers every
// failure of the system as an IoError with the reason noted.
//
// Nothing is lost silently: the buffer is written out when it is full and at
// every flush; each write is checked, and a write that fails marks the file
// damaged for good (what could not be written is not kept for a later retry
// that would write it out of order), so that its close reports the failure.
//
// A regular file may be asked to end where the reader stands (end_here()):
// the cut is made by the next flush, after the written bytes, and only where
// the file reaches further, so that a file rewritten with as many bytes as
// before, or a new one, is never cut, and a shorter rewrite loses only its
// old tail. Freeing a file's blocks is slow on file systems that discard
// them.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "fio/io-error.h"

namespace zuna {

class FileBuffer {
 public:
  FileBuffer() = default;
  FileBuffer(const FileBuffer&) = delete;
  FileBuffer& operator=(const FileBuffer&) = delete;
  ~FileBuffer() { discard(); }

  // Takes `fd` over, with empty buffers, undamaged and with no cut pending.
  void attach(int fd);
  bool attached() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  // Where the reader stands: the descriptor's offset less the read-ahead.
  IoError position(off_t& here) const;
  // The writing goes on in `fd` (which stands at `end`) instead; the
  // read-ahead is given back and the previous descriptor is answered, for
  // the caller to keep or close. Only with nothing buffered for writing.
  int switch_to(int fd, off_t end);
  // The read-ahead is given back and the file is to end where the reader
  // stands (see above); for a regular file.
  IoError end_here();
  // The read-ahead is given back; for a device, which is never cut.
  void drop_read_ahead();

  // Buffers the bytes; a full buffer is written out, without the cut.
  // A buffer's worth or more, with nothing buffered before it, goes to the
  // descriptor straight from the caller's bytes.
  IoError write(std::string_view bytes);
  bool holds_output() const { return !out_.empty(); }
  // Writes the buffer out and makes a pending cut: the file is complete,
  // for a reader too.
  IoError flush();
  // Writes the buffer out, without the cut.
  IoError write_out();

  // The next record without its line end ("\n", or "\r\n"); a last record
  // without a line end counts. end_of_file when nothing is left; a record
  // longer than max_length is an error. Bytes buffered for writing reach
  // the file first.
  IoError read_record(std::string& record, std::size_t max_length);

  bool damaged() const { return damaged_; }
  void mark_damaged() { damaged_ = true; }

  // Flushes and closes the descriptor; answers the first failure, a damage
  // included. The descriptor is closed in any case.
  IoError close();
  // Closes the descriptor without writing what is buffered.
  void discard();

 private:
  IoError fill();
  // Writes `bytes` to the descriptor (the buffer, or a caller's bytes that
  // bypass it); a failure damages the file.
  IoError write_bytes(std::string_view bytes);
  IoError cut_off_after_writing();
  void clear();

  int fd_ = -1;
  bool damaged_ = false;    // a write failed: the file misses bytes
  bool ends_here_ = false;  // the file is to end at end_ (end_here)
  off_t end_ = 0;           // where the next byte of out_ goes, while ends_here_
  std::string out_;         // bytes not yet written
  std::string in_;          // read-ahead
  std::size_t in_pos_ = 0;
  bool at_end_ = false;
};

}  // namespace zuna
