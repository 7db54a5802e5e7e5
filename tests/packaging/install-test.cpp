// The program as a user gets it: installed under a prefix of its own, started
// from a folder without zuna.dat and with a home folder of its own; and the
// Debian package made from the same build.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/files-and-shell.h"

namespace {

namespace fs = std::filesystem;

using zuna::testing::slurp;

// The command line's standard output; `status` is its exit code, -1 when it
// did not exit (or the shell could not be started).
std::string run_shell(const std::string& line, int& status) {
  const std::string out = zuna::testing::run_shell(line, status);
  status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

bool have(const std::string& tool) {
  int status = 0;
  run_shell("command -v " + tool + " >/dev/null 2>&1", status);
  return status == 0;
}

class Installed : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    base_ = fs::temp_directory_path() /
            ("zuna-install-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(base_);
    fs::create_directories(base_ / "home");
    fs::create_directories(base_ / "empty");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(base_, ignored);
  }

  void install() {
    int status = 0;
    const std::string out =
        run_shell(std::string("'") + ZUNA_CMAKE_COMMAND + "' --install '" + ZUNA_BUILD_DIR +
                      "' --prefix '" + prefix().string() + "' 2>&1",
                  status);
    ASSERT_EQ(status, 0) << out;
  }

  // The installed console program, from the empty folder, with a home of its
  // own, no display and only the system's search path.
  std::string session(const std::string& script, int& status) {
    std::ofstream(base_ / "script") << script;
    return run_shell("cd '" + (base_ / "empty").string() +
                         "' && env -u XDG_DATA_HOME -u DISPLAY "
                         "-u WAYLAND_DISPLAY HOME='" +
                         (base_ / "home").string() + "' PATH=/usr/bin:/bin '" +
                         (prefix() / "bin" / "zuna4c").string() + "' < '" +
                         (base_ / "script").string() + "' 2>&1",
                     status);
  }

  fs::path prefix() const { return base_ / "prefix"; }
  fs::path per_user() const { return base_ / "home" / ".local" / "share" / "zuna4"; }
  fs::path base_;
};

TEST_F(Installed, LayoutUnderTheScratchPrefix) {
  install();
  for (const char* file :
       {"bin/zuna4c", "libexec/zuna4/wgnuplot", "libexec/zuna4/notepad", "share/zuna4/zuna.dat",
        "share/zuna4/tad.gnu", "share/zuna4/fmos.gnu", "share/zuna4/fmoc.gnu",
        "share/zuna4/fmx.gnu", "share/zuna4/fmas.gnu", "share/zuna4/fmac.gnu",
        "share/zuna4/mol.gnu", "share/zuna4/isp.gnu", "share/applications/zuna4.desktop",
        "share/icons/hicolor/scalable/apps/zuna4.svg", "share/metainfo/zuna4.metainfo.xml",
        "share/man/man1/zuna4.1.gz", "share/man/man1/zuna4c.1.gz", "share/doc/zuna4/README.md",
        "share/doc/zuna4/copyright"}) {
    EXPECT_TRUE(fs::is_regular_file(prefix() / file)) << file;
  }
  EXPECT_EQ(access((prefix() / "libexec/zuna4/wgnuplot").c_str(), X_OK), 0);
  const std::string entry = slurp(prefix() / "share/applications/zuna4.desktop");
  EXPECT_NE(entry.find("\nExec=zuna4\n"), std::string::npos);
  EXPECT_NE(entry.find("\nCategories=Science;Education;\n"), std::string::npos);
}

TEST_F(Installed, ConsoleSessionFromAnEmptyFolderWorksInThePerUserFolder) {
  install();
  int status = 0;
  std::string out = session("\n\n\n1034\n\n", status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find("Stop - Program terminated."), std::string::npos);
  EXPECT_TRUE(fs::is_empty(base_ / "empty")) << "nothing is written where the program started";
  for (const char* file : {"zuna.dat", "tad.gnu", "mol.gnu", "saida", "tad.dat", "fmac.dat"}) {
    EXPECT_TRUE(fs::is_regular_file(per_user() / file)) << file;
  }

  // The user's edit of the data file (a note after the records the reader
  // takes) survives the next start; the listing is found among the installed
  // helpers without the search path holding them, and without a display
  // prints the report.
  const std::string edited = slurp(per_user() / "zuna.dat") + "edited by the user\n";
  std::ofstream(per_user() / "zuna.dat", std::ios::binary) << edited;
  out = session("\n\n\n1041\n\n1034\n\n", status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_EQ(slurp(per_user() / "zuna.dat"), edited);
  EXPECT_NE(out.find("Razao entre O/F m\xC3\xADnimo e estequiometrico"), std::string::npos)
      << "the listing did not show the report";
}

TEST_F(Installed, ExplicitFolderAndAnUnusableOne) {
  install();
  int status = 0;
  std::ofstream(base_ / "a-file") << "x";
  const std::string out = run_shell("'" + (prefix() / "bin" / "zuna4c").string() + "' --dir '" +
                                        (base_ / "a-file" / "work").string() + "' </dev/null 2>&1",
                                    status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(out.find("cannot be created"), std::string::npos) << out;
  EXPECT_EQ(slurp(base_ / "a-file"), "x");
}

// An installed program holds no name of the source tree's data folder and,
// with its shared data gone, does not fall back to that folder: it says
// which file is missing. Built without sanitizers (whose reports carry the
// source files' names), the console program holds no name of the source tree
// at all once its debugging sections, which it never reads, are stripped.
TEST_F(Installed, NeverReadsTheSourceTree) {
  install();
  int status = 0;
  const std::string source = ZUNA_SOURCE_DIR;
  for (const char* program : {"zuna4c", "zuna4"}) {
    const fs::path file = prefix() / "bin" / program;
    if (!fs::exists(file)) {
      continue;
    }
    const std::string text = run_shell("strings -a '" + file.string() + "'", status);
    ASSERT_EQ(status, 0) << "strings (binutils) did not run";
    EXPECT_EQ(text.find(source + "/data"), std::string::npos) << program;
  }
  if (!ZUNA_SANITIZED) {
    const std::string stripped = (base_ / "zuna4c-stripped").string();
    const std::string text =
        run_shell("strip --strip-debug -o '" + stripped + "' '" +
                      (prefix() / "bin" / "zuna4c").string() + "' && strings -a '" + stripped + "'",
                  status);
    ASSERT_EQ(status, 0);
    const auto at = text.find(source + "/");
    EXPECT_EQ(at, std::string::npos) << text.substr(at == std::string::npos ? 0 : at, 200);
  }

  fs::remove_all(prefix() / "share" / "zuna4");
  const std::string out = session("\n\n\n1034\n\n", status);
  EXPECT_EQ(status, 1) << out;
  const std::string missing = (prefix() / "share" / "zuna4" / "zuna.dat").string();
  EXPECT_NE(out.find("the program's own copy"), std::string::npos) << out;
  EXPECT_NE(out.find(missing), std::string::npos) << out;
  EXPECT_NE(out.find("is missing"), std::string::npos) << out;
  EXPECT_FALSE(fs::exists(per_user() / "zuna.dat")) << "copied from the source tree";
}

// A program of its own, in a folder outside the source tree, built against
// the installed library with find_package and with pkg-config, and run.
constexpr const char* kConsumerSource = R"(#include <zuna4/zuna4.h>

#include <cstdio>
#include <cstring>

int main() {
  zuna4::EquilibriumInput in;
  in.of = 6.0;
  in.p_atm = 10.0;
  const zuna4::State flame = zuna4::equilibrium(in);
  const zuna4::SweepResult sweep = zuna4::sweep(zuna4::SweepParameters{});
  zuna4::RocketInput rocket;
  rocket.pc_atm = 68.0;
  rocket.of = 6.0;
  rocket.ae_at = {40.0};
  const zuna4::RocketResult r = zuna4::rocket(rocket);
  try {
    in.p_atm = -1.0;
    zuna4::equilibrium(in);
    return 1;
  } catch (const zuna4::InputError&) {
  }
  std::printf("%s %.0f %zu %.0f\n", zuna4::version(), flame.T_K, sweep.points.size(),
              r.stations[2].isp_m_s);
  return std::strcmp(zuna4::version(), ZUNA4_VERSION) == 0 && flame.converged() ? 0 : 1;
}
)";

constexpr const char* kConsumerCMake = R"(cmake_minimum_required(VERSION 3.25)
project(consumer LANGUAGES CXX)
find_package(zuna4 1.0 CONFIG REQUIRED)
add_executable(consumer main.cpp)
target_link_libraries(consumer PRIVATE zuna4::zuna4)
)";

TEST_F(Installed, LibraryBuildsAProgramOfItsOwnWithCMakeAndPkgConfig) {
  if (ZUNA_SANITIZED) {
    // The archive holds sanitized code, which only a sanitized program links.
    GTEST_SKIP() << "a sanitizer build installs a library for sanitized programs only";
  }
  install();
  const fs::path consumer = base_ / "consumer";
  fs::create_directories(consumer);
  std::ofstream(consumer / "main.cpp") << kConsumerSource;
  std::ofstream(consumer / "CMakeLists.txt") << kConsumerCMake;
  int status = 0;
  const std::string cmake = std::string("'") + ZUNA_CMAKE_COMMAND + "'";
  std::string out = run_shell("cd '" + consumer.string() + "' && " + cmake +
                                  " -S . -B build -DCMAKE_PREFIX_PATH='" + prefix().string() +
                                  "' 2>&1 && " + cmake + " --build build 2>&1 && ./build/consumer",
                              status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find(std::string(ZUNA4_VERSION_TEXT) + " 3261 33 "), std::string::npos) << out;

  if (!have("pkg-config")) {
    GTEST_SKIP() << "pkg-config is not installed";
  }
  out = run_shell("cd '" + consumer.string() + "' && export PKG_CONFIG_PATH=\"$(echo '" +
                      prefix().string() +
                      "'/lib/*/pkgconfig)\" && c++ -std=c++20 main.cpp -o by-pkg-config "
                      "$(pkg-config --cflags --libs zuna4) 2>&1 && ./by-pkg-config",
                  status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find(" 3261 33 "), std::string::npos) << out;
}

TEST_F(Installed, PythonModuleImportsFromThePrefix) {
  install();
  const fs::path module = prefix() / "lib/python3/dist-packages/zuna4/__init__.py";
  if (!fs::exists(module)) {
    GTEST_SKIP() << "this build has no Python module";
  }
  int status = 0;
  const std::string out =
      run_shell("cd '" + (base_ / "empty").string() + "' && PYTHONPATH='" + prefix().string() +
                    "/lib/python3/dist-packages' /usr/bin/python3 -c 'import zuna4; "
                    "print(zuna4.__version__, round(zuna4.equilibrium(of=6.0, p=10.0).T_K), "
                    "zuna4.__file__)' 2>&1",
                status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find(" 3261 " + prefix().string()), std::string::npos) << out;
}

TEST_F(Installed, DebianPackageContentsDependsAndLintian) {
  for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps"}) {
    if (!have(tool)) {
      if (std::getenv("ZUNA_REQUIRE_TOOLS") != nullptr) {
        FAIL() << tool << " is not installed (tools/install-deps installs dpkg-dev)";
      }
      GTEST_SKIP() << tool << " is not installed";
    }
  }
  int status = 0;
  std::string out = run_shell(std::string("cd '") + base_.string() + "' && '" + ZUNA_CPACK_COMMAND +
                                  "' --config '" + ZUNA_BUILD_DIR +
                                  "/CPackConfig.cmake' -G DEB -B '" + base_.string() + "/deb' 2>&1",
                              status);
  ASSERT_EQ(status, 0) << out;
  // One package per component: the programs, the C++ library, the module.
  std::map<std::string, fs::path> debs;
  for (const auto& e : fs::directory_iterator(base_ / "deb")) {
    if (e.path().extension() == ".deb") {
      const std::string name = e.path().filename().string();
      debs[name.substr(0, name.find('_'))] = e.path();
    }
  }
  ASSERT_EQ(debs.count("zuna4"), 1u) << out;
  const fs::path deb = debs["zuna4"];
  EXPECT_EQ(deb.filename().string().rfind("zuna4_1.0.0_", 0), 0u) << deb;
  const std::string listing = run_shell("dpkg-deb -c '" + deb.string() + "'", status);
  for (const char* file :
       {"./usr/bin/zuna4c", "./usr/libexec/zuna4/wgnuplot", "./usr/libexec/zuna4/notepad",
        "./usr/share/zuna4/zuna.dat", "./usr/share/zuna4/tad.gnu",
        "./usr/share/applications/zuna4.desktop",
        "./usr/share/icons/hicolor/scalable/apps/zuna4.svg",
        "./usr/share/metainfo/zuna4.metainfo.xml", "./usr/share/man/man1/zuna4c.1.gz",
        "./usr/share/doc/zuna4/copyright", "./usr/share/doc/zuna4/changelog.gz"}) {
    EXPECT_NE(listing.find(std::string(file) + "\n"), std::string::npos) << file << "\n" << listing;
  }
  const std::string depends = run_shell("dpkg-deb -f '" + deb.string() + "' Depends", status);
  EXPECT_NE(depends.find("libc6"), std::string::npos) << depends;
  if (listing.find("./usr/bin/zuna4\n") != std::string::npos) {
    EXPECT_NE(depends.find("libqt6widgets6"), std::string::npos) << depends;
    EXPECT_NE(depends.find("libqt6printsupport6"), std::string::npos) << depends;
  }
  const std::string recommends = run_shell("dpkg-deb -f '" + deb.string() + "' Recommends", status);
  EXPECT_NE(recommends.find("gnuplot-qt | gnuplot-x11"), std::string::npos) << recommends;
  EXPECT_NE(recommends.find("fonts-liberation"), std::string::npos) << recommends;

  // The programs' package holds nothing of the library or the module.
  EXPECT_EQ(listing.find("./usr/include/"), std::string::npos) << listing;
  EXPECT_EQ(listing.find("dist-packages"), std::string::npos) << listing;

  ASSERT_EQ(debs.count("libzuna4-dev"), 1u) << out;
  const std::string dev = run_shell("dpkg-deb -c '" + debs["libzuna4-dev"].string() + "'", status);
  for (const char* file : {"/usr/include/zuna4/zuna4.h", "/usr/include/zuna4/version.h",
                           "/libzuna4.a\n", "/cmake/zuna4/zuna4Config.cmake\n",
                           "/pkgconfig/zuna4.pc\n", "./usr/share/doc/libzuna4-dev/copyright\n"}) {
    EXPECT_NE(dev.find(file), std::string::npos) << file << "\n" << dev;
  }
  if (debs.count("python3-zuna4") != 0) {
    const std::string py = debs["python3-zuna4"].string();
    const std::string module = run_shell("dpkg-deb -c '" + py + "'", status);
    EXPECT_NE(module.find("./usr/lib/python3/dist-packages/zuna4/__init__.py\n"), std::string::npos)
        << module;
    EXPECT_NE(module.find("./usr/lib/python3/dist-packages/zuna4/_core.cpython-"),
              std::string::npos)
        << module;
    const std::string needs = run_shell("dpkg-deb -f '" + py + "' Depends", status);
    EXPECT_NE(needs.find("python3 (>= 3."), std::string::npos) << needs;
    EXPECT_NE(needs.find("python3 (<< 3."), std::string::npos) << needs;
    EXPECT_NE(needs.find("python3-numpy"), std::string::npos) << needs;
  }

  if (!have("lintian")) {
    if (std::getenv("ZUNA_REQUIRE_TOOLS") != nullptr) {
      FAIL() << "lintian is not installed (tools/install-deps installs it)";
    }
    GTEST_SKIP() << "lintian is not installed";
  }
  // Errors and warnings fail; the informational tags left are explained in
  // the README. A shipped build (Release, RelWithDebInfo) has the
  // distribution's hardening: lintian finds none of it missing. A build
  // without the windowed program has a desktop entry whose command is not in
  // the package: that warning alone is expected.
  for (const auto& [name, file] : debs) {
    out = run_shell("lintian --allow-root --no-tag-display-limit '" + file.string() + "' 2>&1",
                    status);
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      if (line.find("desktop-command-not-in-package") != std::string::npos &&
          listing.find("./usr/bin/zuna4\n") == std::string::npos) {
        continue;
      }
      EXPECT_NE(line.rfind("E: ", 0), 0u) << name << ": " << line;
      EXPECT_NE(line.rfind("W: ", 0), 0u) << name << ": " << line;
      if (ZUNA_HARDENED) {
        EXPECT_EQ(line.find("hardening-no-"), std::string::npos) << name << ": " << line;
      }
    }
  }
}

}  // namespace
