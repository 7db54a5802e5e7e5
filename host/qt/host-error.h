// The host's own failures, shown in message boxes owned by the frame. A
// fatal one ends the process with exit code -1.
#pragma once

#include <QString>

namespace zuna {

enum class HostErrorLevel { warning, error, fatal };

// Error numbers of the host.
inline constexpr int kHostOutOfMemory = 4;
inline constexpr int kHostInternalError = 5;
inline constexpr int kHostInconsistency = 6;
inline constexpr int kHostInitialSetup = 7;

QString host_error_message(int code);
QString host_error_caption(HostErrorLevel level);  // "Corvane Warning", ...
// "%s\nfile \"%s\", line %d" for warnings and errors, "%s, file \"%s", line %d"
// for fatal errors; the file is the source module's name without its folder.
QString host_error_text(HostErrorLevel level, int code, const char* file, int line);

}  // namespace zuna
