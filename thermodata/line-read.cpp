#include "thermodata/line-read.h"

namespace zuna::thermodata {

LineRead read_line(std::istream& in, std::string& line, std::size_t max_length) {
  line.clear();
  bool any = false;
  char c = 0;
  while (in.get(c)) {
    any = true;
    if (c == '\n') {
      break;
    }
    if (line.size() == max_length) {
      return LineRead::too_long;
    }
    line.push_back(c);
  }
  if (in.bad()) {
    return LineRead::failed;
  }
  if (!any) {
    return LineRead::end;
  }
  if (!line.empty() && line.back() == '\r') {
    line.pop_back();
  }
  return LineRead::line;
}

}  // namespace zuna::thermodata
