// The floor of the start-up benchmark: the emptiest Qt Widgets program that
// puts a top-level window titled "zuna4-floor" on screen.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("zuna4-floor"));
  window.resize(640, 480);
  window.show();
  return QApplication::exec();
}
