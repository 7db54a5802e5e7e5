// The host's help: a text of our own shown in a viewer owned by the frame,
// with one topic per menu item that has one (the command table names them).
#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace zuna {

class HelpViewer : public QDialog {
  Q_OBJECT

 public:
  HelpViewer(const QString& program_name, QWidget* parent);

  void show_contents();
  void show_using_help();
  void show_topic(const QString& topic);

 private:
  QTextBrowser* browser_;
};

}  // namespace zuna
