#include <gtest/gtest.h>

#include "dialogs/DialogText.h"

using namespace ombrix;

TEST(DialogText, Pattern_MatchesWithoutRegardToLetterCase) {
    EXPECT_TRUE(matchesPattern("BLDG.UTL", "*.utl"));
    EXPECT_TRUE(matchesPattern("bldg.utl", "*.UTL"));
    EXPECT_TRUE(matchesPattern("Bldg.Utl", "bldg.utl"));
    EXPECT_FALSE(matchesPattern("bldg.utlx", "*.utl"));
    EXPECT_FALSE(matchesPattern("bldg.ut", "*.utl"));
    EXPECT_FALSE(matchesPattern("utl", "*.utl"));
    EXPECT_TRUE(matchesPattern(QString::fromUtf8("ÄRGER.UTL"), QString::fromUtf8("ärger.*")));
}

TEST(DialogText, Pattern_QuestionMarkTakesExactlyOneCharacter) {
    EXPECT_TRUE(matchesPattern("ab.txt", "a?.txt"));
    EXPECT_FALSE(matchesPattern("a.txt", "a?.txt"));
    EXPECT_FALSE(matchesPattern("abc.txt", "a?.txt"));
}

TEST(DialogText, Pattern_StarTriesEveryLength) {
    EXPECT_TRUE(matchesPattern("aXbYbZc", "a*b*c"));
    EXPECT_TRUE(matchesPattern("abc", "a*b*c"));
    EXPECT_FALSE(matchesPattern("aXbY", "a*b*c"));
    EXPECT_TRUE(matchesPattern("x.utl.utl", "*.utl"));
    EXPECT_TRUE(matchesPattern("", "*"));
}

TEST(DialogText, Pattern_AllFilesAlsoMatchesNamesWithoutExtension) {
    EXPECT_TRUE(matchesPattern("README", "*.*"));
    EXPECT_TRUE(matchesPattern("a.b", "*.*"));
    EXPECT_TRUE(matchesPattern("README", ""));
    EXPECT_FALSE(matchesPattern("README", "*.txt"));
}

TEST(DialogText, Pattern_SeveralPatternsSeparatedBySemicolons) {
    EXPECT_TRUE(matchesPattern("a.wea", "*.utl; *.wea"));
    EXPECT_TRUE(matchesPattern("a.UTL", "*.utl;*.wea"));
    EXPECT_FALSE(matchesPattern("a.txt", "*.utl;*.wea"));
}

TEST(DialogText, Parse_SplitsAtTheLastSlash) {
    TypedText t = parseTyped("/data/bills/*.utl");
    EXPECT_TRUE(t.hasFolder);
    EXPECT_EQ(t.folder, "/data/bills");
    EXPECT_TRUE(t.hasWildcard);
    EXPECT_EQ(t.tail, "*.utl");

    t = parseTyped("bldg?.utl");
    EXPECT_FALSE(t.hasFolder);
    EXPECT_TRUE(t.hasWildcard);
    EXPECT_EQ(t.tail, "bldg?.utl");

    t = parseTyped("sub/");
    EXPECT_TRUE(t.hasFolder);
    EXPECT_EQ(t.folder, "sub");
    EXPECT_FALSE(t.hasWildcard);
    EXPECT_EQ(t.tail, "");

    t = parseTyped("");
    EXPECT_FALSE(t.hasFolder);
    EXPECT_FALSE(t.hasWildcard);
}

TEST(DialogText, Parse_ASlashAtTheStartAloneIsTheRoot) {
    EXPECT_EQ(parseTyped("/").folder, "/");
    EXPECT_EQ(parseTyped("/").tail, "");
    EXPECT_EQ(parseTyped("/*.utl").folder, "/");
    EXPECT_EQ(parseTyped("/*.utl").tail, "*.utl");
    EXPECT_EQ(parseTyped("/tmp").folder, "/");
    EXPECT_EQ(parseTyped("/tmp").tail, "tmp");
}

TEST(DialogText, TrailingSlash_AddedOnceAndRootKept) {
    EXPECT_EQ(withTrailingSlash("/data"), "/data/");
    EXPECT_EQ(withTrailingSlash("/data/"), "/data/");
    EXPECT_EQ(withTrailingSlash("/"), "/");
    EXPECT_EQ(withoutTrailingSlash("/data/"), "/data");
    EXPECT_EQ(withoutTrailingSlash("/data"), "/data");
    EXPECT_EQ(withoutTrailingSlash("/"), "/");
}

TEST(DialogText, Resolve_RelativeFromCurrentFolderTildeFromHome) {
    EXPECT_EQ(resolveFolder("sub", "/data", "/home/ann"), "/data/sub");
    EXPECT_EQ(resolveFolder("..", "/data/sub", "/home/ann"), "/data");
    EXPECT_EQ(resolveFolder("../other", "/", "/home/ann"), "/other");
    EXPECT_EQ(resolveFolder("/a//b/./c/", "/data", "/home/ann"), "/a/b/c");
    EXPECT_EQ(resolveFolder("~", "/data", "/home/ann"), "/home/ann");
    EXPECT_EQ(resolveFolder("~/bills", "/data", "/home/ann"), "/home/ann/bills");
    EXPECT_EQ(resolveFolder("~ann", "/data", "/home/ann"), "/data/~ann");
}
