// The save chooser people see: a name typed without a suffix takes the chosen filter's, and the
// filter chosen comes back with the path. The dialog is driven from a timer; a second timer
// rejects whatever modal window is still up, so the test can never hang in the loop.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/ui/qt_prompts.h"
#include "tests/support/temp_dir.h"

using namespace zbq::ui;

namespace {

// The chooser's dialog once it is shown.
QFileDialog* shownDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

std::optional<SaveChoice> chooseTyping(const Chooser& chooser, const QString& filter,
                                       const QString& name) {
    QTimer driver;
    driver.setInterval(20);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QFileDialog* dialog = shownDialog();
        if (!dialog) return;
        driver.stop();
        dialog->selectNameFilter(filter);
        emit dialog->filterSelected(filter);
        // Typed, as a person does: selectFile() would drop a name the filter hides.
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (edit) edit->setText(name);
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own accept adds the suffix
    });
    driver.start();
    QTimer::singleShot(5000, [] {
        if (QFileDialog* dialog = shownDialog()) dialog->reject();
    });
    QtPrompts prompts;
    return prompts.chooseSave(nullptr, chooser);
}

}  // namespace

TEST(QtSaveChooser, ATypedNameTakesTheChosenFiltersSuffixAndTheFilterComesBack) {
    zbq::test::TempDir dir;
    Chooser chooser;
    chooser.caption = QString::fromUtf8("ファイルの保存");
    chooser.start = QString::fromStdString(dir.path());
    chooser.filter = QString::fromUtf8("CSVファイル(*.csv);;TEXTファイル(*.txt)");
    chooser.defaultSuffix = "csv";
    const QString text = QString::fromUtf8("TEXTファイル(*.txt)");
    const QString csv = QString::fromUtf8("CSVファイル(*.csv)");

    std::optional<SaveChoice> chosen = chooseTyping(chooser, text, "report");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->path, QString::fromStdString(dir.file("report.txt")));
    EXPECT_EQ(chosen->filter, 1);

    chosen = chooseTyping(chooser, text, "report.csv");  // the name's own suffix stays
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->path, QString::fromStdString(dir.file("report.csv")));
    EXPECT_EQ(chosen->filter, 1);

    chosen = chooseTyping(chooser, csv, "table");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->path, QString::fromStdString(dir.file("table.csv")));
    EXPECT_EQ(chosen->filter, 0);
}
