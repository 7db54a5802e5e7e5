// The fitting tool: the reader of NASA 9-coefficient records, the fit
// against its source, the data file it makes (the shipped one, byte for
// byte) and its refusal of records it cannot use.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fit/data-file.h"
#include "fit/fit7.h"
#include "thermodata/nasa9.h"
#include "tests/support/temp-dir.h"

namespace zuna::fit {
namespace {

std::string slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

const std::string& source_text() {
  static const std::string text = slurp(ZUNA_DATA_DIR "/nasa9-h2o2.inp");
  return text;
}

Nasa9File read_text(const std::string& text) {
  std::istringstream in(text);
  return read_nasa9(in);
}

// Line n (1-based) of a text replaced.
std::string with_line(const std::string& text, int n, const std::string& line) {
  std::istringstream in(text);
  std::string out, l;
  for (int i = 1; std::getline(in, l); ++i) {
    out += (i == n ? line : l) + "\n";
  }
  return out;
}

std::string line_of(const std::string& text, int n) {
  std::istringstream in(text);
  std::string l;
  for (int i = 1; i <= n; ++i) {
    std::getline(in, l);
  }
  return l;
}

TEST(Nasa9Reader, ReadsTheShippedSource) {
  const Nasa9File file = read_text(source_text());
  ASSERT_EQ(file.species.size(), 6u);
  EXPECT_FALSE(file.header.empty());
  const char* names[] = {"H2O", "O2", "H2", "H", "O", "OH"};
  const std::size_t ranges[] = {2, 3, 3, 3, 3, 3};
  for (int k = 0; k < 6; ++k) {
    const Nasa9Species& sp = file.species[k];
    EXPECT_EQ(sp.name, names[k]);
    EXPECT_EQ(sp.ranges.size(), ranges[k]) << sp.name;
    EXPECT_TRUE(sp.covers(200.0, 6000.0)) << sp.name;
    // H/(RT) at 298.15 K is the heat of formation of the record's line 2.
    EXPECT_NEAR(sp.h_rt(298.15) * 8.314462618 * 298.15, sp.heat_of_formation,
                1e-4 * std::fabs(sp.heat_of_formation) + 1.0)
        << sp.name;
  }
  EXPECT_EQ(file.species[0].code, "g 8/89");
  EXPECT_DOUBLE_EQ(file.species[0].molar_mass, 18.01528);
  EXPECT_DOUBLE_EQ(file.species[5].ranges[1].a[0], 1.017393379e6);  // D exponent
  EXPECT_DOUBLE_EQ(file.species[5].ranges[1].b2, -1.101282337e1);
  EXPECT_FALSE(file.species[0].covers(200.0, 6000.1));
}

// Each bad record, the species and the line the message must name.
TEST(Nasa9Reader, RefusesRecordsItCannotUse) {
  struct Case {
    const char* what;
    std::string text;
    std::string message;  // part of the message
  };
  const std::string& src = source_text();
  std::string no_oh = src.substr(0, src.find("\nOH ") + 1);
  std::string h_four_ranges = src;
  h_four_ranges.replace(src.find(" 3 g 6/97"), 9, " 4 g 6/97");
  std::string o2_bad_digit = line_of(src, 23);
  o2_bad_digit[20] = 'x';
  std::string h2_six_exponents = line_of(src, 33);
  h2_six_exponents[22] = '6';
  std::string oh_to_5000 = line_of(src, 69);
  oh_to_5000.replace(11, 11, "   5000.000");
  const Case cases[] = {
      {"letter in a coefficient", with_line(src, 23, o2_bad_digit),
       "line 23, species O2: cannot read a coefficient"},
      {"range line without its coefficients",
       src.substr(0, src.find("\nO2 ")) + "\n" + line_of(src, 20) + "\n" + line_of(src, 21) + "\n" +
           line_of(src, 22) + "\n",
       "line 23, species O2: the file ends where the coefficients a1..a5 is expected"},
      {"a range too many", h_four_ranges, "line 53, species H: cannot read T low"},
      {"six exponents", with_line(src, 33, h2_six_exponents),
       "line 33, species H2: a range must have 7 exponents"},
      {"blank molar mass", with_line(src, 13, line_of(src, 13).substr(0, 52)),
       "line 13, species H2O: no molar mass"},
      {"ranges short of 6000 K", with_line(src, 69, oh_to_5000),
       "line 64, species OH: the ranges do not cover 200-6000 K"},
      {"species missing", no_oh, "species OH: no record in the file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      fit_all(read_text(c.text));
      ADD_FAILURE() << "accepted";
    } catch (const RecordError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

// A file that is no text of records (a device, a binary, endless lines) is
// refused at its first overlong line or past the line count any library
// has, instead of being held whole in memory.
TEST(Nasa9Reader, BoundsItsLinesAndTheirCount) {
  EXPECT_THROW(read_text(source_text() + std::string(300, 'x') + "\n"), RecordError);
  try {
    read_text(std::string(300, '\0'));
    ADD_FAILURE() << "accepted";
  } catch (const RecordError& e) {
    EXPECT_NE(std::string(e.what()).find("line 1 is longer than 256 characters"),
              std::string::npos)
        << e.what();
  }
  std::string comments;
  for (int i = 0; i < 200001; ++i) {
    comments += "!\n";
  }
  EXPECT_THROW(read_text(comments), RecordError);
  // A number followed by a NUL byte is no number.
  std::string src = source_text();
  src[src.find("2.619020262D+05") + 15] = '\0';
  EXPECT_THROW(fit_all(read_text(src)), RecordError);
}

// The data file reader of zuna4-validate: values that are no finite number,
// a record far too long and a short file are refused, naming the record.
TEST(DataFileReader, RefusesWhatTheProgramCannotUse) {
  const std::string shipped = slurp(ZUNA_DATA_DIR "/zuna.dat");
  std::istringstream good(shipped);
  EXPECT_DOUBLE_EQ(read_data_file(good).mw[0], 18.01528);
  const std::pair<std::string, std::string> cases[] = {
      {with_line(shipped, 5, "nan"), "record 5: \"nan\" is not a finite number"},
      {with_line(shipped, 5, "-INF"), "record 5: \"-INF\" is not a finite number"},
      {with_line(shipped, 5, "1.0D+999"), "record 5: \"1.0E+999\" is not a finite number"},
      {with_line(shipped, 5, std::string(2000, '1')), "record 5 is longer than 1024"},
      {std::string(5000, '\0'), "record 1 is longer than 1024"},
      {shipped.substr(0, 300), "the file ends after"},
  };
  for (const auto& [text, message] : cases) {
    std::istringstream in(text);
    try {
      read_data_file(in);
      ADD_FAILURE() << "accepted: " << message;
    } catch (const RecordError& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
  }
}

// Against the source over 200-6000 K (S referred to 1 atm), and the
// constraints: the two ranges meet at 1000 K, and H and S at 298.15 K are
// the source's, which fix the equilibrium constants at low temperature.
TEST(Fit, MeetsItsAccuracyAndConstraints) {
  const Nasa9File file = read_text(source_text());
  const std::vector<FittedSpecies> fitted = fit_all(file);
  const double below = std::nextafter(1000.0, 0.0);
  for (const FittedSpecies& f : fitted) {
    SCOPED_TRACE(f.source->name);
    const Deviation d = deviation(f.fit, *f.source);
    EXPECT_LE(std::fabs(d.cp_r), 0.03);
    EXPECT_LE(std::fabs(d.h_rt), 0.002);
    EXPECT_LE(std::fabs(d.s_r), 0.002);
    EXPECT_NEAR(fit_cp_r(f.fit, 1000.0), fit_cp_r(f.fit, below), 1e-7);
    EXPECT_NEAR(fit_h_rt(f.fit, 1000.0), fit_h_rt(f.fit, below), 1e-7);
    EXPECT_NEAR(fit_s_r(f.fit, 1000.0), fit_s_r(f.fit, below), 1e-7);
    EXPECT_NEAR(fit_h_rt(f.fit, 298.15), f.source->h_rt(298.15), 1e-7);
    EXPECT_NEAR(fit_s_r(f.fit, 298.15), f.source->s_r(298.15) - std::log(1.01325), 1e-7);
  }
}

// What the program needs of a fit: finite coefficients whose functions stay
// finite at every kelvin of 200-6000 K.
TEST(Fit, UsableOnlyWhenFiniteOverTheWholeRange) {
  const Nasa9File file = read_text(source_text());
  const Fit7 good = fit_all(file)[0].fit;
  EXPECT_EQ(unusable_fit(good), "");
  Fit7 fit = good;
  fit.low[0] = std::nan("");
  EXPECT_EQ(unusable_fit(fit), "a1 of 200-1000 K is not a finite number");
  fit = good;
  fit.high[6] = INFINITY;
  EXPECT_EQ(unusable_fit(fit), "a7 of 1000-6000 K is not a finite number");
  fit = good;
  fit.high[4] = 1e300;  // a5 T^4 overflows from 1000 K on
  EXPECT_EQ(unusable_fit(fit), "cp/R, H/(RT) or G/(RT) overflows at 1000 K");
  fit = good;
  fit.low[4] = -1e300;  // and below 1000 K
  EXPECT_EQ(unusable_fit(fit), "cp/R, H/(RT) or G/(RT) overflows at 200 K");
}

int run_tool(const std::string& arguments, std::string& err,
             const std::string& standard_output = "out.txt") {
  const std::string command =
      "'" ZUNA4_FIT_PATH "' " + arguments + " 2>err.txt >" + standard_output;
  const int status = std::system(command.c_str());
  err = slurp("err.txt");
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The tool, run on the shipped source, makes the shipped data file.
TEST(Tool, RemakesTheShippedDataFileByteForByte) {
  testing::TempDir dir;
  std::string err;
  ASSERT_EQ(run_tool("'" ZUNA_DATA_DIR "/nasa9-h2o2.inp' zuna.dat", err), 0) << err;
  EXPECT_TRUE(dir.read("zuna.dat") == slurp(ZUNA_DATA_DIR "/zuna.dat"))
      << "data/zuna.dat is not what zuna4-fit makes of data/nasa9-h2o2.inp";
  EXPECT_FALSE(dir.exists("zuna.dat.tmp"));
  EXPECT_NE(dir.read("out.txt").find("H2O"), std::string::npos);
}

TEST(Tool, BadSourceLeavesTheOutputAsItWas) {
  testing::TempDir dir;
  std::string bad = source_text();
  bad.replace(bad.find("2.619020262D+05"), 15, "2.619O20262D+05");
  dir.write("source.inp", bad);
  dir.write("zuna.dat", "earlier data\n");
  std::string err;
  EXPECT_EQ(run_tool("source.inp zuna.dat", err), 1);
  EXPECT_NE(err.find("source.inp: line 59, species O: cannot read a coefficient"),
            std::string::npos)
      << err;
  EXPECT_EQ(dir.read("zuna.dat"), "earlier data\n");
  EXPECT_FALSE(dir.exists("zuna.dat.tmp"));

  EXPECT_EQ(run_tool("missing.inp zuna.dat", err), 1);
  EXPECT_NE(err.find("cannot open missing.inp"), std::string::npos) << err;
  EXPECT_EQ(run_tool("source.inp", err), 2);
  EXPECT_EQ(dir.read("zuna.dat"), "earlier data\n");
}

// The output is replaced only when it is a regular file or missing, and
// through a temporary file of its own: a device (a pipe stands for it here:
// a regression must not replace the machine's /dev/null), a folder or a link
// named as the output stays as it was, and a file or a link that has the
// name of a temporary (OUTPUT.tmp) is neither written nor followed.
TEST(Tool, ReplacesOnlyARegularFileThroughATemporaryOfItsOwn) {
  testing::TempDir dir;
  const std::string source = "'" ZUNA_DATA_DIR "/nasa9-h2o2.inp' ";
  std::string err;
  ASSERT_EQ(mkfifo("pipe", 0600), 0);
  ASSERT_EQ(mkdir("folder", 0700), 0);
  dir.write("target", "mine\n");
  ASSERT_EQ(symlink("target", "link"), 0);
  const std::pair<const char*, const char*> refused[] = {
      {"pipe", "pipe is a pipe, not a regular file"},
      {"folder", "folder is a folder, not a regular file"},
      {"link", "link is a symbolic link, not a regular file"},
  };
  for (const auto& [output, message] : refused) {
    EXPECT_EQ(run_tool(source + output, err), 1) << output;
    EXPECT_NE(err.find(message), std::string::npos) << err;
  }
  struct stat st {};
  EXPECT_TRUE(lstat("pipe", &st) == 0 && S_ISFIFO(st.st_mode));
  EXPECT_TRUE(lstat("link", &st) == 0 && S_ISLNK(st.st_mode));
  EXPECT_TRUE(lstat("folder", &st) == 0 && S_ISDIR(st.st_mode));

  dir.write("zuna.dat.tmp", "the user's own file\n");
  ASSERT_EQ(symlink("target", "other.dat.tmp"), 0);
  ASSERT_EQ(run_tool(source + "zuna.dat", err), 0) << err;
  ASSERT_EQ(run_tool(source + "other.dat", err), 0) << err;
  EXPECT_EQ(dir.read("zuna.dat.tmp"), "the user's own file\n");
  EXPECT_EQ(dir.read("target"), "mine\n");
  EXPECT_TRUE(lstat("other.dat.tmp", &st) == 0 && S_ISLNK(st.st_mode));
  EXPECT_EQ(dir.read("other.dat"), dir.read("zuna.dat"));
  // A new file's permissions, not the temporary's 0600; no temporary left.
  const mode_t mask = umask(0);
  umask(mask);
  ASSERT_EQ(stat("zuna.dat", &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
  }
}

// Inputs that are no file of records, outputs that cannot be written and a
// fit the program cannot use end the tool with exit code 1 and the reason;
// the output stays as it was.
TEST(Tool, TellsTheReasonOfEachFailure) {
  testing::TempDir dir;
  const std::string source = "'" ZUNA_DATA_DIR "/nasa9-h2o2.inp' ";
  std::string oh_overflow = source_text();  // a7 of OH, 1000-6000 K: 1e300 T^4
  oh_overflow.replace(oh_overflow.find("-1.556993656D-15"), 16, "1.000000000D+300");
  dir.write("overflow.inp", oh_overflow);
  dir.write("zuna.dat", "earlier data\n");
  const std::pair<std::string, std::string> cases[] = {
      {"/dev/zero zuna.dat", "/dev/zero: line 1 is longer than 256 characters"},
      {"/dev/urandom zuna.dat", "/dev/urandom: line "},
      {". zuna.dat", "cannot open .: Is a directory"},
      {"missing.inp zuna.dat", "cannot open missing.inp: No such file or directory"},
      {source + "no-folder/zuna.dat",
       "cannot create a file in no-folder: No such file or directory"},
      {"overflow.inp zuna.dat",
       "line 64, species OH: the program cannot use the fitted coefficients: a1 of 1000-6000 K "
       "is not a finite number"},
  };
  std::string err;
  for (const auto& [arguments, message] : cases) {
    EXPECT_EQ(run_tool(arguments, err), 1) << arguments;
    EXPECT_NE(err.find(message), std::string::npos) << err;
  }
  EXPECT_EQ(dir.read("zuna.dat"), "earlier data\n");

  EXPECT_EQ(run_tool(source + "zuna.dat", err, "/dev/full"), 1);
  EXPECT_NE(err.find("cannot write the standard output: No space left on device"),
            std::string::npos)
      << err;
  EXPECT_EQ(run_tool("--help", err), 0);
  EXPECT_EQ(dir.read("out.txt").rfind("usage: zuna4-fit SOURCE OUTPUT\n", 0), 0u);
  EXPECT_EQ(err, "");
}

}  // namespace
}  // namespace zuna::fit
