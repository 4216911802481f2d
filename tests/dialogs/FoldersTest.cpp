#include <filesystem>

#include <QDir>
#include <QFileInfo>
#include "DialogFixture.h"

#include "dialogs/Folders.h"

using namespace ombrix;

namespace fs = std::filesystem;

TEST(Folders, Read_SortsWithoutRegardToCaseAndLeavesOutHiddenNames) {
    ombrix::test::TempDir tmp;
    for (const char* name :
         {"b.utl", "A.utl", "a.utl", "C.wea", ".hidden", "sub/x", "Other/y", ".cache/z"}) {
        tmp.write(name, "");
    }
    const FolderContents c = readFolder(QString::fromStdString(tmp.path().string()));
    EXPECT_EQ(c.files, QStringList({"A.utl", "a.utl", "b.utl", "C.wea"}));
    EXPECT_EQ(c.folders, QStringList({"Other", "sub"}));
}

TEST(Folders, Read_LinksCountAsWhatTheyLeadToAndBrokenOnesAreLeftOut) {
    ombrix::test::TempDir tmp;
    tmp.write("real/f.txt", "");
    fs::create_directory_symlink(tmp.path() / "real", tmp.path() / "linked");
    fs::create_symlink(tmp.path() / "real/f.txt", tmp.path() / "f-link.txt");
    fs::create_symlink(tmp.path() / "nowhere", tmp.path() / "broken.txt");
    const FolderContents c = readFolder(QString::fromStdString(tmp.path().string()));
    EXPECT_EQ(c.folders, QStringList({"linked", "real"}));
    EXPECT_EQ(c.files, QStringList({"f-link.txt"}));
}

TEST(Folders, Read_MissingFolderOrFileIsPathNotFoundOtherFailuresAreNot) {
    ombrix::test::TempDir tmp;
    const QString root = QString::fromStdString(tmp.path().string());
    tmp.write("f.txt", "");
    EXPECT_THROW(readFolder(root + "/gone"), PathNotFound);
    EXPECT_THROW(readFolder(root + "/f.txt"), PathNotFound);
    EXPECT_THROW(readFolder(root + "/f.txt/x"), PathNotFound);
    try {
        readFolder(root + "/" + QString(300, 'x'));
        FAIL() << "a name longer than the file system allows was read";
    } catch (const PathNotFound&) {
        FAIL() << "reported as a missing folder";
    } catch (const OmbrixError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot open folder"), std::string::npos);
    }
}

TEST(Folders, RootOf_LongestRootOnAWholeFolderName) {
    const QStringList roots{"/", "/home/ann", "/media/ann/USB"};
    EXPECT_EQ(rootOf("/home/ann/bills", roots), "/home/ann");
    EXPECT_EQ(rootOf("/home/ann", roots), "/home/ann");
    EXPECT_EQ(rootOf("/home/ann2/bills", roots), "/");
    EXPECT_EQ(rootOf("/media/ann/USB/x", roots), "/media/ann/USB");
    EXPECT_EQ(rootOf("/", roots), "/");
    EXPECT_EQ(rootOf("/tmp", {"/home/ann"}), "/");
}

TEST(Folders, ReachableRoots_StartWithRootAndHomeWithoutRepeats) {
    const QStringList roots = reachableRoots();
    ASSERT_FALSE(roots.isEmpty());
    EXPECT_EQ(roots.front(), "/");
    QStringList once = roots;
    EXPECT_EQ(once.removeDuplicates(), 0);
    const QString home = QDir::cleanPath(QDir::homePath());
    EXPECT_TRUE(roots.contains(home));
    for (const QString& r : roots) {
        EXPECT_TRUE(QFileInfo(r).isDir()) << r.toStdString();
    }
}
