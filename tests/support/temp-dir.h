// A fresh temporary folder that is the working folder while the object
// lives; the folder and everything in it go when it ends.
#pragma once

#include <filesystem>
#include <string>

namespace zuna::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // The bytes of a file in the folder ("" when it does not exist).
  std::string read(const std::string& name) const;
  void write(const std::string& name, const std::string& bytes) const;
  bool exists(const std::string& name) const;

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

}  // namespace zuna::testing
