// A results file of --csv or --json that would take the place of a file the
// run reads or writes: the data file, a report or plot file of the run, or
// the other results file. Refused before anything is computed, as a usage
// error: the run would end with the data file, a report or one of its own
// results lost.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/batch-settings.h"

namespace zuna {

// Whether `name`, a name without folder, is one of the report and plot files
// of a batch run of `calculations` calculations: saida, tad.dat, fmac.dat,
// fmas.dat, fmoc.dat, fmos.dat, fmx.dat, mol.dat; with `suffix` saida_N,
// tad_N.dat, ... for N from 1 to `calculations` instead.
bool is_report_file_name(std::string_view name, std::size_t calculations, bool suffix);

// Whether two names of files lead to one file: the same device and inode
// after links, or, for a file not there yet, the same absolute name. "-",
// /dev/stdout and /proc/self/fd/1 are standard output, whatever it is.
bool same_results_file(const std::string& a, const std::string& b);

// Called in the working folder, where the report and plot files go and
// where a relative data file or results file is found. `given_csv` and
// `given_json` are the names as the user wrote them, for the message;
// settings.csv_file and settings.json_file the names as they will be opened.
// Two names are the same file when they lead to one device and inode, and
// otherwise when their absolute forms, links of the folders resolved, are
// equal. Answers the usage error's line, or nothing.
std::optional<std::string> results_file_clash(const BatchSettings& settings,
                                              const std::optional<std::string>& given_csv,
                                              const std::optional<std::string>& given_json);

}  // namespace zuna
