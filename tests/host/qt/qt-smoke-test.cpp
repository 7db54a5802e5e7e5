// The real zuna4 on a virtual X display: one whole session driven by key
// presses and a click, as a user would, with screenshots (ImageMagick's
// import) of the
// presentation, the parameter dialog, the progress window and the results
// menu kept in smoke/ of the build folder; the plots under a window manager
// (openbox), closed as a user closes them.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool on_path(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    std::string dir =
        dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) {
      return true;
    }
    if (end == std::string::npos) {
      break;
    }
    start = end + 1;
  }
  return false;
}

// Starts a program in `folder` with extra environment settings.
pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& environment,
            const fs::path& folder) {
  pid_t pid = fork();
  if (pid == 0) {
    if (!folder.empty() && chdir(folder.c_str()) != 0) {
      _exit(127);
    }
    for (const std::string& setting : environment) {
      putenv(const_cast<char*>(setting.c_str()));
    }
    std::vector<char*> argv;
    for (const std::string& a : args) {
      argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

// Waits for a child; its exit status, or -1000 when it did not end in time.
int wait_exit(pid_t pid, std::chrono::seconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }
    std::this_thread::sleep_for(50ms);
  }
  return -1000;
}

std::string output_of(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
      out += buffer;
    }
    pclose(pipe);
  }
  return out;
}

class SmokeSession : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"Xvfb", "xdotool", "import", "identify"}) {
      if (!on_path(tool)) {
        // ./test installs every tool: there a missing one is a failure, not a skip.
        if (std::getenv("ZUNA_REQUIRE_TOOLS") != nullptr) {
          FAIL() << tool << " is not installed (tools/install-deps installs it)";
        }
        GTEST_SKIP() << tool << " is not installed (tools/install-deps installs it)";
      }
    }
    // Xvfb picks a free display itself and writes its number to the pipe
    // once it takes connections: a socket file alone can appear before that.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    xvfb_ = spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0", "1024x768x24",
                   "-nolisten", "tcp"},
                  {}, {});
    close(ready[1]);
    std::string number;
    pollfd wait_for{ready[0], POLLIN, 0};
    char c = 0;
    while (poll(&wait_for, 1, 20000) == 1 && read(ready[0], &c, 1) == 1 && c != '\n') {
      number += c;
    }
    close(ready[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start";
    name_ = ":" + number;
    work_ = fs::temp_directory_path() / ("zuna4-smoke-" + std::to_string(getpid()));
    fs::create_directories(work_);
    fs::copy_file(ZUNA_DATA_DIR "/zuna.dat", work_ / "zuna.dat",
                  fs::copy_options::overwrite_existing);
    fs::create_directories(ZUNA_SMOKE_ARTEFACTS);
  }

  void TearDown() override {
    if (program_ > 0 && wait_exit(program_, 0s) == -1000) {
      kill(program_, SIGKILL);
      wait_exit(program_, 5s);
    }
    if (window_manager_ > 0) {
      kill(window_manager_, SIGTERM);
      wait_exit(window_manager_, 5s);
    }
    if (xvfb_ > 0) {
      kill(xvfb_, SIGTERM);
      wait_exit(xvfb_, 5s);
    }
    if (!work_.empty()) {
      fs::remove_all(work_);
    }
  }

  std::string x(const std::string& command) {
    return output_of("DISPLAY=" + name_ + " " + command + " 2>/dev/null");
  }

  // The id of the first window whose name matches, waiting for it.
  std::string window(const std::string& pattern, std::chrono::seconds limit = 30s) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      std::string ids = x("xdotool search --onlyvisible --name '" + pattern + "'");
      if (!ids.empty()) {
        return ids.substr(0, ids.find('\n'));
      }
      std::this_thread::sleep_for(100ms);
    }
    return {};
  }

  // Presses Enter in a window until a window named like `pattern` appears
  // (at most 20 times), so a slow machine only makes the session slower: a key
  // that comes early is refused with a beep and changes nothing. Answers the
  // new window's id, or "" when it never came.
  std::string return_until(const std::string& id, const std::string& pattern) {
    std::string found;
    for (int i = 0; i < 20 && found.empty(); ++i) {
      key_to(id, "Return");
      found = window(pattern, 2s);
    }
    return found;
  }

  void key_to(const std::string& id, const std::string& keys) {
    x("xdotool windowfocus " + id);
    std::this_thread::sleep_for(200ms);
    x("xdotool key --clearmodifiers " + keys);
  }

  // Keeps a picture of the whole display; answers its count of colours.
  int screenshot(const std::string& name) {
    // import composes the windows itself; a plain grab of the root window
    // misses the dialogs' contents on a display without a window manager.
    std::string file = std::string(ZUNA_SMOKE_ARTEFACTS) + "/" + name + ".png";
    x("import -window root " + file);
    std::string colours = output_of("identify -format %k " + file + " 2>/dev/null");
    return std::atoi(colours.c_str());
  }

  // Runs openbox on the display, as a desktop has a window manager: it
  // decorates windows with a close button and, like many, keeps a new window
  // from taking the focus. False when it is not installed (the test skips).
  bool start_window_manager() {
    if (!on_path("openbox")) {
      return false;
    }
    window_manager_ = spawn({"openbox"}, {"DISPLAY=" + name_}, {});
    // openbox's own hidden window tells that it manages the display.
    for (int i = 0; i < 100 && x("xdotool search --class Openbox").empty(); ++i) {
      std::this_thread::sleep_for(100ms);
    }
    std::this_thread::sleep_for(300ms);
    return true;
  }

  // Under a window manager a window takes keys once it is activated, which
  // the window manager does (focus alone may be refused).
  void key_to_managed(const std::string& id, const std::string& keys) {
    x("xdotool windowactivate --sync " + id);
    std::this_thread::sleep_for(200ms);
    x("xdotool key --clearmodifiers " + keys);
  }

  // The windows named like the program: the frame, and a box when one is open.
  int program_windows() {
    std::string ids = x("xdotool search --onlyvisible --name '^zuna4$'");
    return static_cast<int>(std::count(ids.begin(), ids.end(), '\n'));
  }

  std::string name_;
  pid_t window_manager_ = -1;
  pid_t xvfb_ = -1;
  pid_t program_ = -1;
  fs::path work_;
};

TEST_F(SmokeSession, OneCalculationOnAVirtualDisplay) {
  program_ = spawn({ZUNA4_PROGRAM}, {"DISPLAY=" + name_, "QT_QPA_PLATFORM=xcb"}, work_);
  std::string frame = window("^zuna4$");
  ASSERT_FALSE(frame.empty()) << "the frame did not appear";
  std::this_thread::sleep_for(1500ms);
  EXPECT_GT(screenshot("1-presentation"), 2);

  std::string parameters = return_until(frame, "^DADOS$");
  ASSERT_FALSE(parameters.empty()) << "the parameter dialog did not appear";
  std::this_thread::sleep_for(700ms);
  EXPECT_GT(screenshot("2-parameters"), 2);
  key_to(parameters, "Return");

  // The sweep's progress lines, then the wait for Enter.
  std::this_thread::sleep_for(2500ms);
  EXPECT_GT(screenshot("3-progress"), 2);
  std::string results = return_until(frame, "^gr.*ficos$");
  ASSERT_FALSE(results.empty()) << "the results menu did not appear";
  std::this_thread::sleep_for(700ms);
  EXPECT_GT(screenshot("4-results"), 2);
  // "Encerrar o Programa" stands at (16, 126) dialog units of 201 x 170.
  std::string geometry = x("xdotool getwindowgeometry --shell " + results);
  auto value = [&](const std::string& key) {
    std::size_t at = geometry.find(key + "=");
    return at == std::string::npos ? 0 : std::atoi(geometry.c_str() + at + key.size() + 1);
  };
  int wx = value("X"), wy = value("Y"), ww = value("WIDTH"), wh = value("HEIGHT");
  ASSERT_GT(ww, 0);
  int cx = wx + (16 + 5) * ww / 201;
  int cy = wy + (126 + 5) * wh / 170;
  x("xdotool mousemove " + std::to_string(cx) + " " + std::to_string(cy) + " click 1");
  std::this_thread::sleep_for(300ms);
  key_to(results, "Return");

  // The stop line, then the question, a second window named after the
  // program: Enter answers No and the windows stay.
  auto named_windows = [&] {
    std::string ids = x("xdotool search --onlyvisible --name '^zuna4$'");
    return static_cast<int>(std::count(ids.begin(), ids.end(), '\n'));
  };
  for (int i = 0; i < 100 && named_windows() < 2; ++i) {
    std::this_thread::sleep_for(100ms);
  }
  ASSERT_EQ(named_windows(), 2) << "the end-of-run question did not appear";
  std::this_thread::sleep_for(500ms);
  EXPECT_GT(screenshot("5-question"), 2);
  x("xdotool key Return");
  for (int i = 0; i < 100 && named_windows() > 1; ++i) {
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(wait_exit(program_, 1s), -1000) << "No keeps the program on screen";
  EXPECT_GT(screenshot("6-finished"), 2);
  key_to(frame, "ctrl+c");
  int code = wait_exit(program_, 20s);
  program_ = -1;
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(fs::exists(work_ / "saida"));
  EXPECT_TRUE(fs::exists(work_ / "tad.dat"));
}

// The menu "Cálculo" of the frame while the results menu waits: its first
// item by the keyboard, dialog 105 accepted as it comes, and the result
// window of the rocket performance with its files; Exit ends the program
// with 0.
TEST_F(SmokeSession, RocketPerformanceFromTheFramesMenu) {
  program_ = spawn({ZUNA4_PROGRAM}, {"DISPLAY=" + name_, "QT_QPA_PLATFORM=xcb"}, work_);
  std::string frame = window("^zuna4$");
  ASSERT_FALSE(frame.empty()) << "the frame did not appear";
  std::this_thread::sleep_for(1500ms);
  std::string parameters = return_until(frame, "^DADOS$");
  ASSERT_FALSE(parameters.empty()) << "the parameter dialog did not appear";
  key_to(parameters, "Return");
  std::string results = return_until(frame, "^gr.*ficos$");
  ASSERT_FALSE(results.empty()) << "the results menu did not appear";
  std::this_thread::sleep_for(700ms);

  std::string rocket;
  for (int i = 0; i < 10 && rocket.empty(); ++i) {
    key_to(frame, "alt+c");
    std::this_thread::sleep_for(300ms);
    x("xdotool key --clearmodifiers Return");
    rocket = window("^DESEMPENHO COMO MOTOR-FOGUETE$", 2s);
  }
  ASSERT_FALSE(rocket.empty()) << "the rocket performance dialog did not appear";
  std::this_thread::sleep_for(500ms);
  EXPECT_GT(screenshot("11-rocket-dialog"), 2);
  key_to(rocket, "Return");
  for (int i = 0; i < 100 && !fs::exists(work_ / "foguete"); ++i) {
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_TRUE(fs::exists(work_ / "foguete"));
  EXPECT_TRUE(fs::exists(work_ / "isp.dat"));
  // The results in a window of their own, above the waiting results menu.
  std::string table = window("^Resultados do desempenho como motor-foguete$", 10s);
  EXPECT_FALSE(table.empty()) << "the result window did not appear";
  std::this_thread::sleep_for(1500ms);
  EXPECT_GT(screenshot("12-rocket-window"), 2);
  // File, Exit with the mouse: the text windows take no keys while the
  // results menu waits. The frame stands at the display's corner.
  std::string geometry = x("xdotool getwindowgeometry --shell " + frame);
  auto value = [&](const std::string& key) {
    std::size_t at = geometry.find(key + "=");
    return at == std::string::npos ? 0 : std::atoi(geometry.c_str() + at + key.size() + 1);
  };
  x("xdotool mousemove " + std::to_string(value("X") + 20) + " " + std::to_string(value("Y") + 8) +
    " click 1");
  std::this_thread::sleep_for(500ms);
  x("xdotool key --clearmodifiers x");
  int code = wait_exit(program_, 20s);
  program_ = -1;
  EXPECT_EQ(code, 0);
}

// The installed program as the desktop menu starts it: the Exec line of its
// desktop entry, run in a home folder of its own without zuna.dat, so that
// the per-user folder is made. The default plot and the listing are shown.
TEST_F(SmokeSession, InstalledProgramFromItsDesktopEntry) {
  const fs::path prefix = work_ / "prefix";
  const fs::path home = work_ / "home";
  fs::create_directories(home);
  const std::string installed =
      output_of(std::string("'") + ZUNA_CMAKE_COMMAND + "' --install '" + ZUNA_BUILD_DIR +
                "' --prefix '" + prefix.string() + "' >/dev/null 2>&1 && echo installed");
  ASSERT_EQ(installed, "installed\n");
  std::ifstream entry(prefix / "share/applications/zuna4.desktop");
  std::string exec;
  for (std::string line; std::getline(entry, line);) {
    if (line.rfind("Exec=", 0) == 0) {
      exec = line.substr(5);
    }
  }
  ASSERT_EQ(exec, "zuna4");
  const fs::path per_user = home / ".local/share/zuna4";
  // Desktop editors found on this machine would show the listing instead of
  // the program's own viewer: the search path holds the installed programs
  // and the system's tools only.
  program_ =
      spawn({"/bin/sh", "-c", "exec " + exec},
            {"DISPLAY=" + name_, "QT_QPA_PLATFORM=xcb", "HOME=" + home.string(),
             "PATH=" + (prefix / "bin").string() + ":/usr/bin:/bin", "XDG_DATA_HOME=", "VISUAL="},
            home);
  std::string frame = window("^zuna4$");
  ASSERT_FALSE(frame.empty()) << "the frame did not appear";
  std::string parameters = return_until(frame, "^DADOS$");
  ASSERT_FALSE(parameters.empty()) << "the parameter dialog did not appear";
  EXPECT_TRUE(fs::is_regular_file(per_user / "zuna.dat"));
  key_to(parameters, "Return");
  std::this_thread::sleep_for(1500ms);
  std::string results = return_until(frame, "^gr.*ficos$");
  ASSERT_FALSE(results.empty()) << "the results menu did not appear";
  EXPECT_TRUE(fs::is_regular_file(per_user / "saida"));

  // OK as it stands: the adiabatic temperatures, in gnuplot's window, which
  // bears the plot's name; q closes it.
  key_to(results, "Return");
  std::string plot = window("^Temperatura Adiab", 20s);
  EXPECT_FALSE(plot.empty()) << "the plot window did not appear";
  std::this_thread::sleep_for(1500ms);
  EXPECT_GT(screenshot("7-installed-plot"), 2);
  if (!plot.empty()) {
    key_to(plot, "q");
  }

  // "Listagem dos Resultados" stands at (16, 139) dialog units of 201 x 170.
  results.clear();
  for (int i = 0; i < 50 && results.empty(); ++i) {
    results = window("^gr.*ficos$", 1s);
  }
  ASSERT_FALSE(results.empty()) << "the results menu did not come back";
  std::this_thread::sleep_for(500ms);
  std::string geometry = x("xdotool getwindowgeometry --shell " + results);
  auto value = [&](const std::string& key) {
    std::size_t at = geometry.find(key + "=");
    return at == std::string::npos ? 0 : std::atoi(geometry.c_str() + at + key.size() + 1);
  };
  int wx = value("X"), wy = value("Y"), ww = value("WIDTH"), wh = value("HEIGHT");
  ASSERT_GT(ww, 0);
  x("xdotool mousemove " + std::to_string(wx + (16 + 5) * ww / 201) + " " +
    std::to_string(wy + (139 + 5) * wh / 170) + " click 1");
  std::this_thread::sleep_for(300ms);
  key_to(results, "Return");
  std::string listing = window("^saida - Listagem dos Resultados$", 20s);
  ASSERT_FALSE(listing.empty()) << "the listing did not appear";
  std::this_thread::sleep_for(1000ms);
  EXPECT_GT(screenshot("8-installed-listing"), 2);
  x("xdotool windowclose " + listing);
}

// Under a window manager: the user closes the plot window, with q and with
// the window manager's close (Alt+F4, what its close button does), and the
// results menu comes back with no box; a plot that fails gives a box that
// names the reason and comes to the front, above the frame.
TEST_F(SmokeSession, ClosingThePlotIsNotAFailure) {
  for (const char* tool : {"openbox", "gnuplot"}) {
    if (!on_path(tool)) {
      if (std::getenv("ZUNA_REQUIRE_TOOLS") != nullptr) {
        FAIL() << tool << " is not installed (tools/install-deps installs it)";
      }
      GTEST_SKIP() << tool << " is not installed";
    }
  }
  ASSERT_TRUE(start_window_manager());
  fs::copy_file(ZUNA_DATA_DIR "/tad.gnu", work_ / "tad.gnu", fs::copy_options::overwrite_existing);
  const char* path = std::getenv("PATH");
  program_ = spawn({ZUNA4_PROGRAM},
                   {"DISPLAY=" + name_, "QT_QPA_PLATFORM=xcb",
                    std::string("PATH=") + ZUNA_TOOLS_DIR + ":" + (path ? path : "/usr/bin:/bin")},
                   work_);
  std::string frame = window("^zuna4$");
  ASSERT_FALSE(frame.empty()) << "the frame did not appear";
  std::string parameters = return_until(frame, "^DADOS$");
  ASSERT_FALSE(parameters.empty()) << "the parameter dialog did not appear";
  key_to_managed(parameters, "Return");
  std::this_thread::sleep_for(1500ms);
  std::string results = return_until(frame, "^gr.*ficos$");
  ASSERT_FALSE(results.empty()) << "the results menu did not appear";

  // "Temperatura de Chama Adiabática" is the menu's first choice.
  for (const char* close : {"q", "alt+F4"}) {
    SCOPED_TRACE(close);
    key_to_managed(results, "Return");
    const std::string plot = window("^Temperatura Adiab", 20s);
    if (plot.empty()) {
      screenshot("9-plot-missing");
    }
    ASSERT_FALSE(plot.empty()) << "the plot window did not appear, titled with its name";
    EXPECT_EQ(x("xdotool getwindowname " + plot), "Temperatura Adiab\xC3\xA1tica de Chama\n");
    std::this_thread::sleep_for(1000ms);
    EXPECT_GT(screenshot(std::string("9-plot-closed-with-") + (close[0] == 'q' ? "q" : "wm")), 2);
    key_to_managed(plot, close);
    results = window("^gr.*ficos$", 20s);
    ASSERT_FALSE(results.empty()) << "the results menu did not come back";
    std::this_thread::sleep_for(1000ms);
    EXPECT_EQ(program_windows(), 1) << "a box came after the plot was closed";
  }

  // A script that cannot draw: the box names gnuplot's reason and is the
  // active window, above the frame.
  std::ofstream(work_ / "tad.gnu") << "plot \"missing.dat\" using 1:2\n";
  key_to_managed(results, "Return");
  for (int i = 0; i < 200 && program_windows() < 2; ++i) {
    std::this_thread::sleep_for(100ms);
  }
  ASSERT_EQ(program_windows(), 2) << "no box told the failure";
  std::this_thread::sleep_for(1000ms);
  EXPECT_GT(screenshot("10-plot-failure-box"), 2);
  const std::string active = x("xdotool getactivewindow");
  EXPECT_NE(active.substr(0, active.find('\n')), frame) << "the box is not in front";
  EXPECT_EQ(x("xdotool getactivewindow getwindowname"), "zuna4\n");
  x("xdotool key Return");
  results = window("^gr.*ficos$", 20s);
  EXPECT_FALSE(results.empty()) << "the results menu did not come back after the box";
}

// Under a window manager, from the keyboard: two plots and the listing open
// side by side, the results menu back at once after each; closing the frame
// ends them all, and their private copies go.
TEST_F(SmokeSession, PlotsAndTheListingStayBesideTheProgramAndEndWithIt) {
  for (const char* tool : {"openbox", "gnuplot"}) {
    if (!on_path(tool)) {
      if (std::getenv("ZUNA_REQUIRE_TOOLS") != nullptr) {
        FAIL() << tool << " is not installed (tools/install-deps installs it)";
      }
      GTEST_SKIP() << tool << " is not installed";
    }
  }
  ASSERT_TRUE(start_window_manager());
  for (const char* script : {"tad.gnu", "fmos.gnu"}) {
    fs::copy_file(fs::path(ZUNA_DATA_DIR) / script, work_ / script,
                  fs::copy_options::overwrite_existing);
  }
  const fs::path temporary = work_ / "tmp";
  fs::create_directories(temporary);
  auto private_copies = [&] {
    int n = 0;
    for (const auto& entry : fs::directory_iterator(temporary)) {
      n += entry.path().filename().string().rfind("wgnuplot-", 0) == 0 ? 1 : 0;
    }
    return n;
  };
  // No desktop editor: the program's own viewer shows the listing.
  program_ = spawn({ZUNA4_PROGRAM},
                   {"DISPLAY=" + name_, "QT_QPA_PLATFORM=xcb", "VISUAL=", "TMPDIR=" + temporary.string(),
                    std::string("PATH=") + ZUNA_TOOLS_DIR + ":/usr/bin:/bin"},
                   work_);
  std::string frame = window("^zuna4$");
  ASSERT_FALSE(frame.empty()) << "the frame did not appear";
  std::string parameters = return_until(frame, "^DADOS$");
  ASSERT_FALSE(parameters.empty()) << "the parameter dialog did not appear";
  key_to_managed(parameters, "Return");
  std::this_thread::sleep_for(1500ms);
  std::string results = return_until(frame, "^gr.*ficos$");
  ASSERT_FALSE(results.empty()) << "the results menu did not appear";

  // OK as it stands, Down then OK, Up (to the last choice) then OK.
  const std::vector<std::pair<std::string, std::string>> choices = {
      {"Return", "^Temperatura Adiab"},
      {"Down Return", "^Fra.*es Molares dos Produtos sem"},
      {"Up Return", "^saida - Listagem dos Resultados$"}};
  std::vector<std::string> opened;
  for (const auto& [keys, title] : choices) {
    SCOPED_TRACE(title);
    key_to_managed(results, keys);
    opened.push_back(window(title, 20s));
    ASSERT_FALSE(opened.back().empty()) << "the window did not appear";
    results = window("^gr.*ficos$", 10s);
    ASSERT_FALSE(results.empty()) << "the results menu did not come back with the window open";
  }
  std::this_thread::sleep_for(1000ms);
  EXPECT_GT(screenshot("13-plots-and-listing-beside-the-menu"), 2);
  for (const auto& [keys, title] : choices) {
    EXPECT_FALSE(window(title, 1s).empty()) << title << " closed when another opened";
  }
  EXPECT_EQ(private_copies(), 2) << "each plot draws a private copy";

  // The frame's close: the program ends, and every window it opened with it.
  key_to_managed(frame, "alt+F4");
  const int code = wait_exit(program_, 20s);
  program_ = -1;
  EXPECT_EQ(code, 0);
  for (const auto& [keys, title] : choices) {
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
      gone = x("xdotool search --onlyvisible --name '" + title + "'").empty();
      std::this_thread::sleep_for(100ms);
    }
    EXPECT_TRUE(gone) << title << " stayed open after the program ended";
  }
  bool removed = false;
  for (int i = 0; i < 100 && !removed; ++i) {
    removed = private_copies() == 0;
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_TRUE(removed) << "a plot's private copy was left";
  EXPECT_GT(screenshot("14-all-ended-with-the-program"), 0);
}

// --help, -h and --version answer on standard output, without a display,
// and make no folder of that name.
TEST(WindowedProgramOptions, HelpAndVersionWithoutAWindow) {
  const fs::path folder = fs::temp_directory_path() / ("zuna4-options-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const char* option : {"--help", "-h", "--version"}) {
    const std::string command = "cd '" + folder.string() +
                                "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                ZUNA4_PROGRAM + "' " + option + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char block[4096];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, pipe)) > 0;) {
      out.append(block, got);
    }
    const int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << option << "\n" << out;
    EXPECT_EQ(out.rfind(option[2] == 'v' ? "zuna4 " : "Usage: zuna4", 0), 0u) << option << out;
    EXPECT_TRUE(fs::is_empty(folder)) << option;
  }
  fs::remove_all(folder);
}

}  // namespace
