#include "host/qt/host-error.h"

#include <QFileInfo>

namespace zuna {

QString host_error_message(int code) {
  switch (code) {
    case kHostOutOfMemory: return QStringLiteral("Out of Memory");
    case kHostInternalError: return QStringLiteral("Internal Error - unexpected error");
    case kHostInconsistency: return QStringLiteral("Possible internal inconsistency");
    case kHostInitialSetup:
      return QStringLiteral("The initial settings or the initial menu could not be made");
    default: return QStringLiteral("Internal Error - error %1").arg(code);
  }
}

QString host_error_caption(HostErrorLevel level) {
  switch (level) {
    case HostErrorLevel::warning: return QStringLiteral("Corvane Warning");
    case HostErrorLevel::error: return QStringLiteral("Corvane Error");
    case HostErrorLevel::fatal: return QStringLiteral("Corvane Fatal Error");
  }
  return {};
}

QString host_error_text(HostErrorLevel level, int code, const char* file, int line) {
  QString module = QFileInfo(QString::fromLocal8Bit(file)).fileName();
  QString separator = level == HostErrorLevel::fatal ? QStringLiteral(", ") : QStringLiteral("\n");
  return host_error_message(code) + separator +
         QStringLiteral("file \"%1\", line %2").arg(module).arg(line);
}

}  // namespace zuna
