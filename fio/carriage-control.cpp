#include "fio/carriage-control.h"

namespace zuna {

std::string_view window_control_prefix(char control, bool first_record) {
  switch (control) {
    case '0': return first_record ? "\r\n" : "\r\n\r\n";
    case '1': return "\r\n\f\r \r";
    case '+': return "\r";
    default: return first_record ? "" : "\r\n";
  }
}

std::string_view file_control_prefix(char control) {
  switch (control) {
    case '0': return "\r\n";
    case '1': return "\f\r \r";
    default: return "";
  }
}

}  // namespace zuna
