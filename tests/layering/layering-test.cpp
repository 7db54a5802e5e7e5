// The include matrix of the README, checked over the whole tree: every
// #include "folder/..." or <folder/...> of a source must name its own folder
// or one that the matrix allows it, directly or through the folders it
// allows; no include may climb out of its folder with "..".
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Matrix = std::map<std::string, std::set<std::string>>;

const fs::path kRoot = ZUNA_SOURCE_DIR;

// The rows of the table under "### Include matrix": "| `folder` | `a`, `b` |".
Matrix read_matrix() {
  std::ifstream readme(kRoot / "README.md");
  std::string line;
  while (std::getline(readme, line) && line != "### Include matrix") {
  }
  Matrix matrix;
  const std::regex row(R"(^\| `([a-z/]+)` \|(.*)\|\s*$)");
  const std::regex name("`([a-z/]+)`");
  while (std::getline(readme, line) && (line.empty() || line[0] != '#')) {
    std::smatch m;
    if (!std::regex_match(line, m, row)) {
      continue;
    }
    std::set<std::string>& allowed = matrix[m[1]];
    const std::string rest = m[2];
    for (std::sregex_iterator it(rest.begin(), rest.end(), name), end; it != end; ++it) {
      allowed.insert((*it)[1]);
    }
  }
  return matrix;
}

// A folder, what it names and, again, what those name.
std::set<std::string> closure(const Matrix& matrix, const std::string& folder) {
  std::set<std::string> seen = {folder};
  std::vector<std::string> todo = {folder};
  while (!todo.empty()) {
    const std::string f = todo.back();
    todo.pop_back();
    auto it = matrix.find(f);
    if (it == matrix.end()) {
      continue;
    }
    for (const std::string& next : it->second) {
      if (seen.insert(next).second) {
        todo.push_back(next);
      }
    }
  }
  return seen;
}

// The matrix's folder a path lies in (the longest that is a prefix), or "".
std::string folder_of(const Matrix& matrix, const std::string& path) {
  std::string best;
  for (const auto& [folder, _] : matrix) {
    if ((path == folder || path.rfind(folder + "/", 0) == 0) && folder.size() > best.size()) {
      best = folder;
    }
  }
  return best;
}

// What a source in `folder` of the tree may include. A suite under tests/X
// stands for X unless the matrix has a row of its own.
std::set<std::string> allowed_for(const Matrix& matrix, const std::string& relative) {
  std::string folder = folder_of(matrix, relative);
  std::set<std::string> allowed;
  if (relative.rfind("tests/", 0) == 0) {
    allowed.insert("tests/support");
    if (folder.empty()) {
      folder = folder_of(matrix, relative.substr(6));
    }
  }
  if (folder.empty()) {
    return allowed;
  }
  for (const std::string& f : closure(matrix, folder)) {
    allowed.insert(f);
  }
  if (allowed.count("tests/support") != 0) {
    for (const std::string& f : closure(matrix, "tests/support")) {
      allowed.insert(f);
    }
  }
  return allowed;
}

std::vector<fs::path> sources() {
  std::vector<fs::path> found;
  for (auto it = fs::recursive_directory_iterator(kRoot); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string name = it->path().filename().string();
    if (it->is_directory() && (name.rfind("build", 0) == 0 || name[0] == '.' || name == "work")) {
      it.disable_recursion_pending();
      continue;
    }
    const std::string ext = it->path().extension().string();
    if (it->is_regular_file() && (ext == ".cpp" || ext == ".h")) {
      found.push_back(it->path());
    }
  }
  return found;
}

TEST(Layering, TheMatrixNamesEveryLibraryFolder) {
  const Matrix matrix = read_matrix();
  for (const char* folder :
       {"intrinsics", "platform", "fio", "thermo", "thermodata", "engine", "transport", "reactants", "waves", "library", "fit", "dialogs",
        "resources", "inputs", "app", "validation", "commands", "host/common", "host/console", "host/qt",
        "tests/support", "bench"}) {
    EXPECT_EQ(matrix.count(folder), 1u) << folder << " has no row in the README's include matrix";
  }
}

// The folder part of an include's name, quoted or in angle brackets.
const std::regex kInclude(R"(^\s*#\s*include\s*["<]([a-z_]+(?:/[a-z_]+)*)/[^">/]+[">])");
// Any include whose name climbs with "..": it would reach a folder that the
// library does not link, past the include roots.
const std::regex kClimbingInclude(R"(^\s*#\s*include\s*["<][^">]*\.\.[/\\])");

TEST(Layering, EveryIncludeIsAllowedByTheMatrix) {
  const Matrix matrix = read_matrix();
  ASSERT_FALSE(matrix.empty());
  const std::regex& include = kInclude;
  int checked = 0;
  for (const fs::path& file : sources()) {
    const std::string relative = fs::relative(file, kRoot).generic_string();
    const std::set<std::string> allowed = allowed_for(matrix, relative);
    std::ifstream in(file);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
      ++number;
      std::smatch m;
      EXPECT_FALSE(std::regex_search(line, kClimbingInclude))
          << relative << ":" << number << " climbs out of its folder: " << line;
      if (!std::regex_search(line, m, include)) {
        continue;
      }
      const std::string target = folder_of(matrix, m[1]);
      if (target.empty()) {
        continue;  // a header beside the source, or not the project's
      }
      ++checked;
      EXPECT_EQ(allowed.count(target), 1u)
          << relative << ":" << number << " includes " << m[1] << "/, which its folder may not";
    }
  }
  EXPECT_GT(checked, 300);  // the tree was found and read
}

// The check itself: an include that runs down the stack passes, one that
// runs up fails, and a suite may use its folder and the shared support.
TEST(Layering, RulesOfTheCheck) {
  const Matrix matrix = read_matrix();
  EXPECT_EQ(allowed_for(matrix, "app/sweep.cpp").count("fio"), 1u);
  EXPECT_EQ(allowed_for(matrix, "fio/unit.cpp").count("thermo"), 0u);
  EXPECT_EQ(allowed_for(matrix, "dialogs/dialog-load.cpp").count("resources"), 0u);
  EXPECT_EQ(allowed_for(matrix, "host/console/main.cpp").count("host/qt"), 0u);
  EXPECT_EQ(allowed_for(matrix, "tests/host/qt/qt-host-test.cpp").count("host/qt"), 1u);
  EXPECT_EQ(allowed_for(matrix, "tests/thermo/x-test.cpp").count("tests/support"), 1u);
  EXPECT_EQ(allowed_for(matrix, "tests/thermo/x-test.cpp").count("app"), 0u);
  EXPECT_EQ(allowed_for(matrix, "bench/sweep.cpp").count("tests/support"), 0u);
  EXPECT_EQ(allowed_for(matrix, "waves/shock.cpp").count("engine"), 1u);
  EXPECT_EQ(allowed_for(matrix, "engine/gibbs.cpp").count("waves"), 0u);
  EXPECT_EQ(allowed_for(matrix, "rocket/rocket.cpp").count("waves"), 0u);
  // Both forms of an include name their folder; a climbing name is caught.
  std::smatch m;
  const std::string quoted = "#include \"thermo/thermo.h\"";
  const std::string angled = "#include <engine/engine.h>";
  ASSERT_TRUE(std::regex_search(quoted, m, kInclude));
  EXPECT_EQ(m[1], "thermo");
  ASSERT_TRUE(std::regex_search(angled, m, kInclude));
  EXPECT_EQ(m[1], "engine");
  const std::string standard = "#include <vector>";
  EXPECT_FALSE(std::regex_search(standard, m, kInclude));
  EXPECT_TRUE(std::regex_search(std::string("#include \"../thermo/thermo.h\""), kClimbingInclude));
  EXPECT_TRUE(
      std::regex_search(std::string("#include <fio/../thermo/thermo.h>"), kClimbingInclude));
  EXPECT_FALSE(std::regex_search(quoted, kClimbingInclude));
}

}  // namespace
