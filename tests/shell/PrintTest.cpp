#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QProcess>
#include <QTest>

#include "shell/OBMain.h"
#include "support/Fakes.h"

using namespace ombrix;
using ombrix::test::FakeDialogs;
using ombrix::test::FakeHelp;
using ombrix::test::FakeUi;

namespace {

struct Window {
    Session session;
    FakeUi ui;
    FakeDialogs dialogs;
    FakeHelp help;
    OBMain main{session, {&ui, &dialogs, &help, "/opt/ombrix"}};

    Window() {
        main.resize(900, 600);
        main.show();
        // A graph the printout can be recognised by: a blue block in the left half.
        Picture& p = main.graphPicture();
        p.setScale({0, 0, 100, 100});
        p.box(5, 5, 45, 95, kBlue, true);
        main.statusText().print(" BLDG.UTL     Number rows = 37     Number columns = 8");
    }
};

// The folder where the PDF printer puts its files (its configured "Out" folder).
QString pdfFolder() {
    QFile conf("/etc/cups/cups-pdf.conf");
    QString out = "${HOME}/PDF";
    if (conf.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : conf.readAll().split('\n')) {
            const QString l = QString::fromUtf8(line).trimmed();
            if (l.startsWith("Out ")) {
                out = l.mid(4).trimmed();
            }
        }
    }
    out.replace("${HOME}", QDir::homePath());
    out.replace("${USER}", qEnvironmentVariable("USER", "root"));
    return out;
}

QFileInfo newestPdfAfter(const QString& folder, const QDateTime& since) {
    QFileInfo newest;
    for (const QFileInfo& f : QDir(folder).entryInfoList({"*.pdf"}, QDir::Files)) {
        if (f.lastModified() >= since &&
            (!newest.exists() || f.lastModified() > newest.lastModified())) {
            newest = f;
        }
    }
    return newest;
}

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

TEST(Print, MainWindowComesOutAsOnePageOnTheDefaultPrinter) {
    if (QPrinterInfo::defaultPrinter().isNull()) {
        if (qEnvironmentVariableIsSet("OMBRIX_REQUIRE_PRINTER")) {
            FAIL() << "no default printer; scripts/setup-printer.sh sets one up";
        }
        GTEST_SKIP() << "no default printer (scripts/setup-printer.sh sets up a PDF printer)";
    }
    Window w;
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    w.main.run(CommandId::PrintCmd);
    EXPECT_TRUE(w.ui.boxes.empty()) << w.ui.boxes.front().text;

    // The PDF printer writes the file shortly after the job is queued.
    QFileInfo pdf;
    QElapsedTimer timer;
    timer.start();
    qint64 lastSize = -1;
    while (timer.elapsed() < 60000) {
        pdf = newestPdfAfter(pdfFolder(), before);
        if (pdf.exists() && pdf.size() > 0 && pdf.size() == lastSize) {
            break;
        }
        lastSize = pdf.exists() ? pdf.size() : -1;
        QTest::qWait(500);
    }
    ASSERT_TRUE(pdf.exists()) << "no PDF appeared in " << pdfFolder().toStdString();
    EXPECT_TRUE(run("pdfinfo", {pdf.filePath()}).contains(QRegularExpression("Pages:\\s+1\\n")));

    test::TempDir tmp;
    const QString png = QString::fromStdString((tmp.path() / "page").string());
    run("pdftoppm", {"-r", "40", "-png", "-singlefile", pdf.filePath(), png});
    QImage page(png + ".png");
    ASSERT_FALSE(page.isNull());
    // The blue block of the graph area is on the page, and the page is mostly white.
    int blue = 0;
    int white = 0;
    for (int y = 0; y < page.height(); y += 2) {
        for (int x = 0; x < page.width(); x += 2) {
            const QColor c = page.pixelColor(x, y);
            blue += (c.blue() > 200 && c.red() < 60 && c.green() < 60) ? 1 : 0;
            white += (c.red() > 240 && c.green() > 240 && c.blue() > 240) ? 1 : 0;
        }
    }
    const int total = (page.width() / 2) * (page.height() / 2);
    EXPECT_GT(blue, total / 50);
    EXPECT_GT(white, total / 3);
    if (!qEnvironmentVariableIsSet("OMBRIX_KEEP_PRINT")) {
        QFile::remove(pdf.filePath());
    }
}

TEST(PrintIsolated, NoDefaultPrinterGivesExactlyOneErrorBox) {
    if (!qEnvironmentVariableIsSet("OMBRIX_EXPECT_NO_PRINTER")) {
        GTEST_SKIP() << "runs in its own process with no reachable print server";
    }
    Window w;
    const auto before = w.main.graphPicture().ops().size();
    w.main.run(CommandId::PrintCmd);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].title, "Error");
    EXPECT_EQ(w.ui.boxes[0].text, "\"No default printer is set up\"");
    EXPECT_EQ(w.main.graphPicture().ops().size(), before);
    EXPECT_EQ(w.main.statusText().lines().size(), 1u);
}

TEST(PrintIsolated, RefusedJobGivesExactlyOneErrorBox) {
    if (!qEnvironmentVariableIsSet("OMBRIX_EXPECT_REFUSED_PRINT")) {
        GTEST_SKIP() << "runs in its own process while the PDF printer refuses jobs";
    }
    Window w;
    w.main.run(CommandId::PrintCmd);
    ASSERT_EQ(w.ui.boxes.size(), 1u);
    EXPECT_EQ(w.ui.boxes[0].title, "Error");
    EXPECT_TRUE(QString::fromStdString(w.ui.boxes[0].text)
                    .startsWith("\"The printer PDF did not take the job: "))
        << w.ui.boxes[0].text;
}
