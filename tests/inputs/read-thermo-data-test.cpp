// The data file reader on unit 20, opened as the run driver opens it: the
// layout of the 132 records, what list-directed input tolerates in them, and
// the run-time errors of a missing, short or malformed file.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "fio/fio.h"
#include "inputs/inputs.h"
#include "tests/support/exit-code.h"
#include "tests/support/recording-host.h"
#include "tests/support/temp-dir.h"

namespace zuna {
namespace {

using testing::exit_code_of;
using testing::RecordingHost;
using testing::TempDir;

constexpr int kDataUnit = 20;

// Exactly representable values that tell every slot apart.
double mw_value(int k) { return 10.0 * k + 0.5; }
double coef_value(int k, int j, int r) { return 1000.0 * r + 100.0 * k + j + 0.25; }
double last_value(int k) { return -1.0 * k; }

std::string d_form(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.7E", v);
  std::string s = text;
  s[s.find('E')] = 'D';
  return s;
}

// The 132 records of a file, in blocks of 22, one string per record.
std::vector<std::string> data_records() {
  const char* names[] = {"H2O", "O2", "H2", "H", "O", "OH"};
  std::vector<std::string> records;
  for (int k = 1; k <= 6; ++k) {
    records.push_back(names[k - 1]);
    records.push_back("massa molar");
    records.push_back(std::to_string(mw_value(k)));
    records.push_back("coeficientes, T >= 1000 K");
    for (int j = 1; j <= 7; ++j) {
      records.push_back(d_form(coef_value(k, j, 1)));
    }
    records.push_back("coeficientes, T < 1000 K");
    for (int j = 1; j <= 7; ++j) {
      records.push_back(d_form(coef_value(k, j, 2)));
    }
    records.push_back("ultimo valor");
    records.push_back(std::to_string(last_value(k)));
    records.push_back("-----");
  }
  return records;
}

std::string join(const std::vector<std::string>& records) {
  std::string text;
  for (const std::string& r : records) {
    text += r + "\r\n";
  }
  return text;
}

struct ThermoData {
  double mw[6] = {};
  double lastval[6] = {};
  CoefBlock coef;
};

class ReadThermoData : public ::testing::Test {
 protected:
  void SetUp() override { runtime_start(host); }

  // Opens, reads and closes as the run driver does.
  void load(ThermoData& data) {
    OpenOptions options;
    options.file = "zuna.dat";
    options.form = "formatted";
    open_unit(kDataUnit, options);
    read_thermo_data(data.mw, data.lastval, data.coef);
    close_unit(kDataUnit);
  }

  void expect_layout(const ThermoData& data) {
    for (int k = 1; k <= 6; ++k) {
      EXPECT_EQ(data.mw[k - 1], mw_value(k)) << "k=" << k;
      EXPECT_EQ(data.lastval[k - 1], last_value(k)) << "k=" << k;
      for (int r = 1; r <= 2; ++r) {
        for (int j = 1; j <= 7; ++j) {
          EXPECT_EQ(data.coef(k, j, r), coef_value(k, j, r)) << k << "," << j << "," << r;
        }
      }
    }
  }

  TempDir dir;
  RecordingHost host;
};

TEST_F(ReadThermoData, BlocksFillMolarMassesCoefficientsAndLastValues) {
  dir.write("zuna.dat", join(data_records()));
  ThermoData data;
  load(data);
  expect_layout(data);
  // The species index runs fastest in memory.
  EXPECT_EQ(&data.coef(2, 1, 1) - &data.coef(1, 1, 1), 1);
  EXPECT_EQ(&data.coef(1, 2, 1) - &data.coef(1, 1, 1), 6);
  EXPECT_EQ(&data.coef(1, 1, 2) - &data.coef(1, 1, 1), 42);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(dir.read("zuna.dat"), join(data_records())) << "the file is only read";
}

TEST_F(ReadThermoData, CommentsNumbersInSkippedRecordsAndExtraRecordsAreHarmless) {
  std::vector<std::string> records = data_records();
  for (std::size_t i = 0; i < records.size(); ++i) {
    int in_block = static_cast<int>(i % 22) + 1;
    bool value = in_block == 3 || (in_block >= 5 && in_block <= 11) ||
                 (in_block >= 13 && in_block <= 19) || in_block == 21;
    if (value) {
      records[i] += in_block % 2 == 0 ? ", 99.0 trailing" : "   g/mol  comment 12345";
    } else {
      records[i] = "  777.0, 888.0 999.0";  // numbers where nothing is read
    }
  }
  for (int extra = 0; extra < 40; ++extra) {
    records.push_back("extra record " + std::to_string(extra));
  }
  dir.write("zuna.dat", join(records));
  ThermoData data;
  load(data);
  expect_layout(data);
  EXPECT_TRUE(host.errors.empty());
}

TEST_F(ReadThermoData, BlankValueRecordShiftsEveryLaterValue) {
  // Free-text records made numbers, so that the shifted reads still find
  // values.
  std::vector<std::string> records = data_records();
  for (std::size_t i = 0; i < records.size(); ++i) {
    int in_block = static_cast<int>(i % 22) + 1;
    if (in_block == 1 || in_block == 2 || in_block == 4 || in_block == 12 || in_block == 20 ||
        in_block == 22) {
      records[i] = "9.0";
    }
  }
  records[2] = "   ";          // mw(1): the value comes from the next record
  records.push_back("spare");  // the shift needs one record more at the end
  dir.write("zuna.dat", join(records));
  ThermoData data;
  load(data);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(data.mw[0], 9.0);
  // The skip after mw(1) took the record of coef(1, 1, 1).
  EXPECT_EQ(data.coef(1, 1, 1), coef_value(1, 2, 1));
  EXPECT_EQ(data.coef(1, 6, 1), coef_value(1, 7, 1));
  EXPECT_EQ(data.coef(1, 7, 1), 9.0);
  EXPECT_EQ(data.coef(1, 1, 2), coef_value(1, 2, 2));
  EXPECT_EQ(data.lastval[0], 9.0);
  EXPECT_EQ(data.mw[1], 9.0);
  EXPECT_EQ(data.lastval[5], 9.0);

  // With the usual free text, the shift brings a heading into a value read.
  records = data_records();
  records[2] = "";
  dir.write("zuna.dat", join(records));
  EXPECT_EQ(exit_code_of([&] { load(data); }), 1);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].box_text(), "F6602: READ(zuna.dat) - invalid real in record 4");
}

// Opened without a status, the missing file is created empty; the program
// that dies of it takes the empty file back.
TEST_F(ReadThermoData, MissingFileEndsAtTheFirstReadAndIsNotLeftBehind) {
  ThermoData data;
  EXPECT_EQ(exit_code_of([&] { load(data); }), 1);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].box_text(),
            "F6610: READ(zuna.dat) - end of file encountered: the file holds no record");
  EXPECT_EQ(host.exit_code, 1);
  EXPECT_FALSE(dir.exists("zuna.dat"));
}

TEST_F(ReadThermoData, ShortFileEndsWithTheEndOfFileError) {
  std::vector<std::string> records = data_records();
  records.resize(130);
  dir.write("zuna.dat", join(records));
  ThermoData data;
  EXPECT_EQ(exit_code_of([&] { load(data); }), 1);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].number, 6610);
  // Everything before the missing record has been read.
  EXPECT_EQ(data.coef(6, 7, 2), coef_value(6, 7, 2));
}

TEST_F(ReadThermoData, FileEndingAfterTheLastValueIsAccepted) {
  std::vector<std::string> records = data_records();
  records.resize(131);
  for (const bool line_end : {true, false}) {
    std::string text = join(records);
    if (!line_end) {
      text.resize(text.size() - 2);
    }
    dir.write("zuna.dat", text);
    ThermoData data;
    load(data);
    expect_layout(data);
    EXPECT_TRUE(host.errors.empty());
    EXPECT_FALSE(host.exit_code.has_value());
  }
}

// Values that would spoil every point end the program with exit code 1:
// a molar mass that is not positive is refused naming the record and the
// species; a coefficient that is not finite does not even read.
TEST_F(ReadThermoData, ValuesOutsideTheirDomainAreRefused) {
  struct Case {
    int record;  // 0-based
    const char* text;
    const char* message;  // of the reader's box; empty for a run-time error
  };
  const Case cases[] = {
      {22 + 2, "0.0",
       "zuna.dat|Dado recusado em zuna.dat, registro 25 (esp\xE9"
       "cie O2): "
       "a massa molar deve ser um n\xFAmero maior que 0."},
      {2, "-2.016",
       "zuna.dat|Dado recusado em zuna.dat, registro 3 (esp\xE9"
       "cie H2O): "
       "a massa molar deve ser um n\xFAmero maior que 0."},
      {5 * 22 + 12 + 6, "1.0D+999", ""},
      {3 * 22 + 4 + 1, "NaN", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    host.message_boxes.clear();
    host.errors.clear();
    runtime_start(host);
    std::vector<std::string> records = data_records();
    records[static_cast<std::size_t>(c.record)] = c.text;
    dir.write("zuna.dat", join(records));
    ThermoData data;
    EXPECT_EQ(exit_code_of([&] { load(data); }), 1);
    if (*c.message == '\0') {
      EXPECT_EQ(host.errors.size(), 1u);
      EXPECT_TRUE(host.message_boxes.empty());
    } else {
      EXPECT_TRUE(host.errors.empty());
      EXPECT_EQ(host.message_boxes, std::vector<std::string>{c.message});
    }
  }
}

// Values that read but are not what the file says, and values that read
// but would overflow in the sweep, are refused naming their record and
// species, where they would otherwise pass silently (a decimal comma reads
// as the integer part, a leading slash leaves 0) or end the sweep in a
// floating-point error naming no file.
TEST_F(ReadThermoData, ValuesThatWouldMisleadTheSweepAreRefusedNamingTheirRecord) {
  struct Case {
    int record;  // 0-based
    const char* text;
    const char* told;  // the record and species, then the reason
    const char* reason;
  };
  const Case cases[] = {
      {2, "18,01528", "registro 3 (esp\xE9" "cie H2O)", "rgula decimal"},
      {22 + 4, "3,5", "registro 27 (esp\xE9" "cie O2)", "rgula decimal"},
      {2 * 22 + 12 + 2, "/ 2.5", "registro 59 (esp\xE9" "cie H2)", "\"/\""},
      {3 * 22 + 2, "1e308", "registro 69 (esp\xE9" "cie H)", "entre 0.5 e 1000 g/mol"},
      {4 * 22 + 2, "4.9e-324", "registro 91 (esp\xE9" "cie O)", "entre 0.5 e 1000 g/mol"},
      {4, "1e308", "registro 5 (esp\xE9" "cie H2O)", "coeficiente a1"},
      {5 * 22 + 16, "-1e290", "registro 127 (esp\xE9" "cie OH)", "coeficiente a5"},
      {5 * 22 + 17, "1e303", "registro 128 (esp\xE9" "cie OH)", "coeficiente a6"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    host.message_boxes.clear();
    host.errors.clear();
    runtime_start(host);
    std::vector<std::string> records = data_records();
    records[static_cast<std::size_t>(c.record)] = c.text;
    dir.write("zuna.dat", join(records));
    ThermoData data;
    EXPECT_EQ(exit_code_of([&] { load(data); }), 1);
    EXPECT_TRUE(host.errors.empty());
    ASSERT_EQ(host.message_boxes.size(), 1u);
    const std::string& box = host.message_boxes[0];
    EXPECT_EQ(box.rfind("zuna.dat|Dado recusado em zuna.dat, ", 0), 0u) << box;
    EXPECT_NE(box.find(c.told), std::string::npos) << box;
    EXPECT_NE(box.find(c.reason), std::string::npos) << box;
  }
}

// What the checks above leave alone: a comma and a comment after a value,
// values written with a space before the comma, the largest real terms.
TEST_F(ReadThermoData, CommaBeforeACommentAndLargeRealValuesStayLegal) {
  std::vector<std::string> records = data_records();
  records[2] = std::to_string(mw_value(1)) + ", massa molar";
  records[4] = d_form(coef_value(1, 1, 1)) + ",a1";
  records[22 + 2] = std::to_string(mw_value(2)) + " , 31";
  dir.write("zuna.dat", join(records));
  ThermoData data;
  load(data);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_TRUE(host.message_boxes.empty());
  expect_layout(data);
}

TEST_F(ReadThermoData, LetterInAValueRecordIsARunTimeError) {
  std::vector<std::string> records = data_records();
  records[22 + 6] = "0.3298124X+01";  // coef(2, 3, 1)
  dir.write("zuna.dat", join(records));
  ThermoData data;
  EXPECT_EQ(exit_code_of([&] { load(data); }), 1);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].box_text(), "F6602: READ(zuna.dat) - invalid real in record 29");
  EXPECT_EQ(host.exit_code, 1);
  EXPECT_EQ(data.coef(2, 2, 1), coef_value(2, 2, 1));
  EXPECT_EQ(data.coef(2, 3, 1), 0.0) << "the failing item keeps its value";
}

}  // namespace
}  // namespace zuna
