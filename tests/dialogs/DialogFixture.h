// A folder tree for the dialog tests and helpers that work the dialogs' controls.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>

#include "data/DataState.h"
#include "dialogs/FileDialogBase.h"
#include "support/Fakes.h"

namespace ombrix::test {

// root/
//   data/  a.utl BLDG.UTL b.wea Notes.txt README .hidden.utl
//   data/sub/  c.utl
//   other/  x.wea
//   .secret/
class DialogTest : public ::testing::Test {
  protected:
    DialogTest() {
        for (const char* name :
             {"data/a.utl", "data/BLDG.UTL", "data/b.wea", "data/Notes.txt", "data/README",
              "data/.hidden.utl", "data/sub/c.utl", "other/x.wea", ".secret/s.utl"}) {
            tmp.write(name, "1,2,3\n");
        }
    }

    QString root() const { return QString::fromStdString(tmp.path().string()); }
    QString at(const QString& rel) const { return root() + "/" + rel; }
    std::string slashed(const QString& rel) const { return (at(rel) + "/").toStdString(); }
    // Roots of the tests' root list: the machine's root and the temporary tree.
    QStringList roots() const { return {QStringLiteral("/"), root()}; }

    static void type(FileDialogBase& w, const QString& text) {
        w.TextBox->setFocus();
        w.TextBox->selectAll();
        QTest::keyClicks(w.TextBox, text);
        if (text.isEmpty()) {
            w.TextBox->clear();
        }
    }
    static void ok(FileDialogBase& w) { QTest::mouseClick(w.DlgBut[0], Qt::LeftButton); }
    static void cancel(FileDialogBase& w) { QTest::mouseClick(w.DlgBut[1], Qt::LeftButton); }

    // What the window system sends for a double-click: a click, then the double-click.
    static void doubleClick(QWidget* target, QPoint p) {
        QTest::mouseClick(target, Qt::LeftButton, {}, p);
        QTest::mouseDClick(target, Qt::LeftButton, {}, p);
        QTest::mouseRelease(target, Qt::LeftButton, {}, p);
    }
    static QPoint centreOf(QAbstractItemView* view, const QModelIndex& index) {
        view->scrollTo(index);
        return view->visualRect(index).center();
    }
    static void clickFile(FileDialogBase& w, const QString& name) {
        const auto found = w.File1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        const QModelIndex index = w.File1->indexFromItem(found.front());
        QTest::mouseClick(w.File1->viewport(), Qt::LeftButton, {}, centreOf(w.File1, index));
    }
    static void doubleClickFile(FileDialogBase& w, const QString& name) {
        const auto found = w.File1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        const QModelIndex index = w.File1->indexFromItem(found.front());
        doubleClick(w.File1->viewport(), centreOf(w.File1, index));
    }
    static void clickFolder(FileDialogBase& w, const QString& folder, bool twice = false) {
        QTreeWidgetItem* item = w.Dir1->itemOf(folder);
        ASSERT_NE(item, nullptr) << folder.toStdString();
        const QModelIndex index = w.Dir1->indexFromItem(item);
        const QPoint p = centreOf(w.Dir1, index);
        if (twice) {
            doubleClick(w.Dir1->viewport(), p);
        } else {
            QTest::mouseClick(w.Dir1->viewport(), Qt::LeftButton, {}, p);
        }
    }
    static void showAndWait(QWidget& w) {
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }

    TempDir tmp;
    DialogExchange dlg;
    FakeUi ui;
};

}  // namespace ombrix::test
