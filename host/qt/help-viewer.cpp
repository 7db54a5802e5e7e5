#include "host/qt/help-viewer.h"

#include <QTextBrowser>
#include <QVBoxLayout>

#include "host/qt/commands.h"

namespace zuna {
namespace {

const char* const kHelpText = R"(
<h2><a name="contents">%1 &mdash; help</a></h2>
<p>The program runs inside this frame. Each text window stands for a unit of
the program: the program writes its records there, and when it reads from a
unit it waits until you type a line in that window and press Enter. The
status bar shows the state of the computation (Running, Paused, Finished)
and, while a read waits, the window that waits for input.</p>
<ul>
<li><a href="#file">File menu</a></li>
<li><a href="#edit">Edit menu</a></li>
<li><a href="#view">View menu</a></li>
<li><a href="#state">State menu</a></li>
<li><a href="#window">Window menu</a></li>
<li><a href="#keys">Keys of a text window</a></li>
</ul>

<h3><a name="file">File menu</a></h3>
<p><a name="print"><b>Print...</b></a> prints the active window's whole
virtual screen on the default printer. A box says &ldquo;Printing In
Progress...&rdquo;; Cancel abandons the job.</p>
<p><a name="save"><b>Save...</b></a> saves the active window's whole virtual
screen as a bitmap file (.bmp).</p>
<p><a name="exit"><b>Exit</b></a> (Ctrl+C) ends the program at once, also
while it computes. Nothing is asked.</p>

<h3><a name="edit">Edit menu</a></h3>
<p><a name="select-text"><b>Select Text</b></a> pauses the computation and
lets you mark characters with the mouse; the title starts with &ldquo;Mark
Text&rdquo;, then &ldquo;Select Text&rdquo; once something is marked.</p>
<p><a name="select-graphics"><b>Select Graphics</b></a> does the same for a
rectangle of the picture.</p>
<p><a name="select-all"><b>Select All</b></a> marks the whole window.</p>
<p><a name="copy"><b>Copy</b></a> (Ctrl+Ins) puts the marked text, or the
marked picture, on the clipboard, ends the selection and lets the
computation go on, unless you chose Pause during the selection.</p>
<p><a name="paste"><b>Paste</b></a> (Shift+Ins) types the clipboard's text
into the window, line by line, as the program reads it.</p>

<h3><a name="view">View menu</a></h3>
<p><a name="size-to-fit"><b>Size To Fit</b></a> shows the whole virtual
screen scaled to the window instead of a scrolled part of it.</p>
<p><a name="full-screen"><b>Full Screen</b></a> (Alt+Enter) shows the active
window alone on the whole screen; Alt+Enter again returns.</p>

<h3><a name="state">State menu</a></h3>
<p><a name="pause"><b>Pause</b></a> (Ctrl+S) stops the computation at its
next output; <b>Resume</b> (Ctrl+Q or Esc) lets it go on. The windows can be
scrolled, copied, saved and printed meanwhile.</p>

<h3><a name="window">Window menu</a></h3>
<p><a name="cascade"><b>Cascade</b></a>, <a name="tile"><b>Tile</b></a> and
<a name="arrange-icons"><b>Arrange Icons</b></a> arrange the text windows.
<a name="input"><b>Input</b></a> brings the window that waits for input to
the front. <a name="clear-paste"><b>Clear Paste</b></a> throws away the
rest of a paste. <a name="status-bar"><b>Status Bar</b></a> shows or hides
the status bar. The open windows are listed at the end of the menu.</p>

<h3><a name="keys">Keys of a text window</a></h3>
<p>Page Up and Page Down scroll a page (with Ctrl, sideways); Home and End go
to the left and right edge (with Ctrl, also to the top and the bottom); the
arrow keys scroll by a line or a column. While a read waits, the characters
you type go into the line (at most 128); Backspace takes the last one back,
Tab types eight blanks and Enter ends the line.</p>

<h3><a name="using-help">Using help</a></h3>
<p>Choose Contents in the Help menu to see this text; click a link to go to a
topic. To get help on a menu item, open the menu, press F1, then choose the
item.</p>
)";

}  // namespace

QString help_topic(int command) {
  switch (command) {
    case kCmdPrint: return QStringLiteral("print");
    case kCmdSave: return QStringLiteral("save");
    case kCmdExit: return QStringLiteral("exit");
    case kCmdSelectText: return QStringLiteral("select-text");
    case kCmdSelectGraphics: return QStringLiteral("select-graphics");
    case kCmdSelectAll: return QStringLiteral("select-all");
    case kCmdCopy: return QStringLiteral("copy");
    case kCmdPaste: return QStringLiteral("paste");
    case kCmdSizeToFit: return QStringLiteral("size-to-fit");
    case kCmdFullScreen: return QStringLiteral("full-screen");
    case kCmdPause:
    case kCmdResume: return QStringLiteral("pause");
    case kCmdCascade: return QStringLiteral("cascade");
    case kCmdTile: return QStringLiteral("tile");
    case kCmdArrangeIcons: return QStringLiteral("arrange-icons");
    case kCmdInput: return QStringLiteral("input");
    case kCmdClearPaste: return QStringLiteral("clear-paste");
    case kCmdStatusBar: return QStringLiteral("status-bar");
    default: return {};
  }
}

HelpViewer::HelpViewer(const QString& program_name, QWidget* parent)
    : QDialog(parent), browser_(new QTextBrowser(this)) {
  setWindowTitle(program_name + QStringLiteral(" Help"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(browser_);
  browser_->setHtml(QString::fromUtf8(kHelpText).arg(program_name.toHtmlEscaped()));
  resize(560, 480);
}

void HelpViewer::show_contents() { show_topic(QStringLiteral("contents")); }

void HelpViewer::show_using_help() { show_topic(QStringLiteral("using-help")); }

void HelpViewer::show_topic(const QString& topic) {
  show();
  raise();
  activateWindow();
  browser_->scrollToAnchor(topic);
}

}  // namespace zuna
