#include "host/qt/rocket-window.h"

#include <QLocale>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/rocket-performance.h"
#include "app/rocket-text.h"
#include "host/qt/cp1252.h"

namespace zuna {
namespace {

using rocket_text::fixed;

QTableWidget* new_table(QWidget* parent) {
  auto* t = new QTableWidget(parent);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setSelectionMode(QAbstractItemView::ContiguousSelection);
  t->verticalHeader()->setVisible(false);
  t->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
  t->setAlternatingRowColors(true);
  // Rows as high as a line of text: more of them in view.
  t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
  return t;
}

QTableWidgetItem* cell(const QString& text, bool number = true) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(number ? (Qt::AlignRight | Qt::AlignVCenter)
                                : (Qt::AlignLeft | Qt::AlignVCenter));
  return item;
}

QString number_text(double v, int digits) {
  return std::isfinite(v) ? QString::fromStdString(fixed(v, digits)) : QStringLiteral("-");
}

}  // namespace

// A window of the frame's own, as its dialogs are (kept above the frame by
// the window manager), but modal to nothing, resizable and with the
// buttons of a main window.
RocketWindow::RocketWindow(QWidget* owner)
    : QWidget(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QString::fromUtf8("Resultados do desempenho como motor-foguete"));
  setAttribute(Qt::WA_DeleteOnClose);

  heading_ = new QLabel(this);
  heading_->setWordWrap(true);
  heading_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* split = new QSplitter(Qt::Vertical, this);
  auto* best_box = new QWidget(split);
  auto* best_layout = new QVBoxLayout(best_box);
  best_layout->setContentsMargins(0, 0, 0, 0);
  best_layout->addWidget(new QLabel(QString::fromUtf8("Melhor O/F de cada saída:"), best_box));
  best_ = new_table(best_box);
  best_layout->addWidget(best_);
  auto* values_box = new QWidget(split);
  auto* values_layout = new QVBoxLayout(values_box);
  values_layout->setContentsMargins(0, 0, 0, 0);
  values_layout->addWidget(
      new QLabel(QString::fromUtf8("Impulso específico (s) de cada saída por O/F:"), values_box));
  values_ = new_table(values_box);
  values_layout->addWidget(values_);
  split->addWidget(best_box);
  split->addWidget(values_box);
  split->setStretchFactor(0, 0);
  split->setStretchFactor(1, 1);
  split_ = split;

  auto* copy_button = new QPushButton(QString::fromUtf8("&Copiar"), this);
  copy_button->setToolTip(
      QString::fromUtf8("Copia a tabela, separada por tabulações, para uma planilha (Ctrl+C)"));
  auto* csv_button = new QPushButton(QString::fromUtf8("&Salvar como CSV..."), this);
  auto* close_button = new QPushButton(QString::fromUtf8("&Fechar"), this);
  connect(copy_button, &QPushButton::clicked, this, [this] { copy(); });
  connect(csv_button, &QPushButton::clicked, this, [this] { choose_csv_file(); });
  connect(close_button, &QPushButton::clicked, this, &QWidget::close);
  auto* shortcut = new QShortcut(QKeySequence::Copy, this);
  connect(shortcut, &QShortcut::activated, this, [this] { copy(); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copy_button);
  buttons->addWidget(csv_button);
  buttons->addStretch(1);
  buttons->addWidget(close_button);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading_);
  layout->addWidget(split, 1);
  layout->addLayout(buttons);

  QSize size(900, 600);
  if (QScreen* screen = owner != nullptr ? owner->screen() : nullptr) {
    size = size.boundedTo(screen->availableSize() * 9 / 10);
  }
  resize(size);
}

void RocketWindow::show_table(std::shared_ptr<const RocketTable> table) {
  table_ = std::move(table);
  if (!table_) {
    return;
  }
  QStringList lines;
  for (const std::string& line : table_->heading) {
    lines << from_cp1252(line);
  }
  heading_->setText(lines.join(QLatin1Char('\n')));
  fill_best();
  fill_values();
  // Every exit's best O/F in view above the table (up to a dozen rows;
  // the rest scrolls), before the window is laid out: from the size hints.
  const int rows = std::min(best_->rowCount(), 12);
  best_->setMinimumHeight(best_->horizontalHeader()->sizeHint().height() +
                          rows * best_->verticalHeader()->defaultSectionSize() +
                          2 * best_->frameWidth() + 2);
}

void RocketWindow::fill_best() {
  const RocketTable& t = *table_;
  const int quantities = static_cast<int>(t.quantities.size());
  QStringList head{QString::fromUtf8("Saída")};
  for (const std::string& q : t.quantities) {
    const QString name = from_cp1252(q.substr(0, q.find(' ')));
    head << QString::fromUtf8("melhor O/F\n(%1)").arg(name) << from_cp1252(q);
  }
  best_->clear();
  best_->setColumnCount(static_cast<int>(head.size()));
  best_->setHorizontalHeaderLabels(head);
  const int exits = quantities > 0 ? static_cast<int>(t.best.size()) / quantities : 0;
  best_->setRowCount(exits);
  for (int e = 0; e < exits; ++e) {
    best_->setItem(e, 0, cell(from_cp1252(t.best[static_cast<std::size_t>(e * quantities)].exit), false));
    for (int q = 0; q < quantities; ++q) {
      const RocketTable::Best& b = t.best[static_cast<std::size_t>(e * quantities + q)];
      if (!std::isfinite(b.of)) {
        best_->setItem(e, 1 + 2 * q,
                       cell(QString::fromUtf8("não encontrado (%1)").arg(from_cp1252(b.state))));
        best_->setItem(e, 2 + 2 * q, cell(QStringLiteral("-")));
        continue;
      }
      QString of = number_text(b.of, 4);
      if (b.at_end) {
        of += QString::fromUtf8(" (extremo da faixa)");
      }
      QTableWidgetItem* at = cell(of);
      if (b.at_end) {
        at->setToolTip(QString::fromUtf8(
            "O melhor O/F está num extremo da faixa calculada: o máximo pode estar além dela."));
      }
      best_->setItem(e, 1 + 2 * q, at);
      best_->setItem(e, 2 + 2 * q, cell(number_text(b.value, 2)));
    }
  }
  best_->resizeColumnsToContents();
  best_->resizeRowsToContents();
}

void RocketWindow::fill_values() {
  const RocketTable& t = *table_;
  const bool pressures = t.several_pressures();
  QStringList head{QStringLiteral("O/F")};
  if (pressures) {
    head << QStringLiteral("Pc (atm)");
  }
  // Each exit a group: its name over each of its quantities.
  for (const std::string& exit : t.exits) {
    for (const std::string& q : t.quantities) {
      head << from_cp1252(exit) + QLatin1Char('\n') + from_cp1252(q);
    }
  }
  const int first = pressures ? 2 : 1;
  const int quantities = static_cast<int>(t.quantities.size());
  values_->clear();
  values_->setColumnCount(static_cast<int>(head.size()));
  values_->setHorizontalHeaderLabels(head);
  values_->setRowCount(static_cast<int>(t.rows.size()));
  for (int i = 0; i < static_cast<int>(t.rows.size()); ++i) {
    const RocketTable::Row& r = t.rows[static_cast<std::size_t>(i)];
    values_->setItem(i, 0, cell(number_text(r.of, 4)));
    if (pressures) {
      values_->setItem(i, 1, cell(QString::number(r.pc_atm, 'g', QLocale::FloatingPointShortest)));
    }
    for (int k = 0; k < static_cast<int>(r.values.size()); ++k) {
      const std::size_t exit = static_cast<std::size_t>(k / std::max(quantities, 1));
      const double v = r.values[static_cast<std::size_t>(k)];
      QString text = number_text(v, 2);
      if (!std::isfinite(v) && exit < r.states.size() && !r.states[exit].empty()) {
        text = from_cp1252(r.states[exit]);
      }
      QTableWidgetItem* item = cell(text);
      if (quantities > 1 && (k / quantities) % 2 == 1) {
        item->setBackground(values_->palette().alternateBase().color().darker(104));
      }
      values_->setItem(i, first + k, item);
    }
  }
  values_->resizeColumnsToContents();
}

void RocketWindow::copy() const {
  if (table_) {
    QApplication::clipboard()->setText(from_cp1252(rocket_table_text(*table_, '\t')));
  }
}

bool RocketWindow::save_csv(const QString& path) const {
  if (!table_) {
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    return false;
  }
  const QByteArray bytes = from_cp1252(rocket_table_text(*table_, ',')).toUtf8();
  return file.write(bytes) == bytes.size() && file.flush();
}

void RocketWindow::choose_csv_file() {
  const QString path = QFileDialog::getSaveFileName(
      this, QString::fromUtf8("Salvar como CSV"), QDir::current().filePath("foguete.csv"),
      QString::fromUtf8("Tabelas CSV (*.csv);;Todos os arquivos (*)"));
  if (!path.isEmpty() && !save_csv(path)) {
    QMessageBox::warning(this, windowTitle(),
                         QString::fromUtf8("O arquivo %1 não pode ser gravado.").arg(path));
  }
}

}  // namespace zuna
