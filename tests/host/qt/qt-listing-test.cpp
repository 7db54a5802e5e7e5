// The program's own listing viewer: the report's Windows-1252 bytes decoded,
// its lines as written, read-only, and Find.
#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>

#include "host/qt/listing-viewer.h"

namespace zuna {
namespace {

class ListingViewerTest : public ::testing::Test {
 protected:
  QString write(const QByteArray& bytes) {
    const QString path = dir_.filePath(QStringLiteral("saida"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  QTemporaryDir dir_;
};

TEST_F(ListingViewerTest, ShowsTheReportDecodedLineByLine) {
  // A report's first records: CR LF ends, accented letters as single bytes.
  const QString path =
      write(QByteArray("  RESULTADOS\r\n"
                       " Raz\xE3o entre O/F m\xEDnimo e estequiom\xE9trico =   0.50\r\n"
                       " EXECU\xC7\xC3O DOS C\xC1LCULOS\r\n"));
  ListingViewer viewer;
  QString error;
  ASSERT_TRUE(viewer.open_file(path, error)) << error.toStdString();
  EXPECT_TRUE(error.isEmpty());
  EXPECT_EQ(viewer.windowTitle(), QStringLiteral("saida - Listagem dos Resultados"));
  const QTextDocument* doc = viewer.text()->document();
  ASSERT_GE(doc->blockCount(), 3);
  EXPECT_EQ(doc->findBlockByNumber(0).text(), QStringLiteral("  RESULTADOS"));
  EXPECT_EQ(doc->findBlockByNumber(1).text(),
            QString::fromUtf8(" Razão entre O/F mínimo e estequiométrico =   0.50"));
  EXPECT_EQ(doc->findBlockByNumber(2).text(), QString::fromUtf8(" EXECUÇÃO DOS CÁLCULOS"));
  EXPECT_TRUE(viewer.text()->isReadOnly());
  EXPECT_TRUE(viewer.text()->font().fixedPitch() || QFontInfo(viewer.text()->font()).fixedPitch());

  // Find ignores case, goes on to the next one and wraps at the end.
  viewer.find_field()->setText(QStringLiteral("o/f"));
  ASSERT_TRUE(viewer.find());
  EXPECT_EQ(viewer.text()->textCursor().blockNumber(), 1);
  const int first = viewer.text()->textCursor().position();
  ASSERT_TRUE(viewer.find());
  EXPECT_EQ(viewer.text()->textCursor().position(), first) << "one match only: wrapped to it";
  viewer.find_field()->setText(QStringLiteral("nowhere"));
  EXPECT_FALSE(viewer.find());
}

TEST_F(ListingViewerTest, AMissingReportSaysWhichFile) {
  ListingViewer viewer;
  QString error;
  EXPECT_FALSE(viewer.open_file(dir_.filePath(QStringLiteral("saida")), error));
  EXPECT_TRUE(error.contains(dir_.filePath(QStringLiteral("saida")))) << error.toStdString();
}

}  // namespace
}  // namespace zuna
