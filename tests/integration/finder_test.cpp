// TFindFile on real folders.
#include <gtest/gtest.h>

#include <algorithm>

#include "queue/FindFile.h"
#include "support.h"

using namespace testing_support;

namespace {

struct FinderTest : ::testing::Test {
    std::string root = FreshFolder("finder");
    TFindFile finder{nullptr};
    void TearDown() override { RemoveTree(root); }
    void Touch(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
    {
        WriteFile(root + relative, "x");
        SetFileAttributesA((root + relative).c_str(), attributes);
    }
    void Folder(const std::string& relative) { CreateDirectoryA((root + relative).c_str(), nullptr); }
    std::vector<std::string> Sorted(std::vector<std::string> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }
};

}  // namespace

TEST_F(FinderTest, PatternCaseHiddenFilesAndFolders)
{
    Touch("CLIP.MP4");
    Touch("hidden.mp4", FILE_ATTRIBUTE_HIDDEN);
    Touch("notes.txt");
    Folder("x.mp4");
    finder.Filter = "*.mp4";
    finder.Directory = root;
    finder.Execute();
    EXPECT_EQ(Sorted(finder.Files), (std::vector<std::string>{root + "CLIP.MP4", root + "hidden.mp4"}));
    SetFileAttributesA((root + "hidden.mp4").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FinderTest, FinalBackslashIsOptionalAndRunningTwiceListsOnce)
{
    Touch("a.mp4");
    Touch("b.mp4");
    finder.Filter = "*.mp4";
    finder.Directory = root;
    finder.Execute();
    std::vector<std::string> withBackslash = finder.Files;
    finder.Directory = root.substr(0, root.size() - 1);
    finder.Execute();
    finder.Execute();
    EXPECT_EQ(finder.Files, withBackslash);
    EXPECT_EQ(Sorted(finder.Files), (std::vector<std::string>{root + "a.mp4", root + "b.mp4"}));
}

TEST_F(FinderTest, EmptyDirectoryFindsNothingButRaisesBothEvents)
{
    std::vector<std::string> events;
    finder.BeforeExecute = [&](fw::TComponent*) { events.push_back("before"); };
    finder.AfterExecute = [&](fw::TComponent*) { events.push_back("after"); };
    finder.Files = {"stale"};
    finder.Execute();
    EXPECT_TRUE(finder.Files.empty());
    EXPECT_EQ(events, (std::vector<std::string>{"before", "after"}));
}

TEST_F(FinderTest, RecursionIsBreadthFirstAndOnlyWhenAskedFor)
{
    Folder("A");
    Folder("A\\A1");
    Folder("B");
    Touch("top.mp4");
    Touch("A\\a.mp4");
    Touch("A\\A1\\deep.mp4");
    Touch("B\\b.mp4");
    finder.Filter = "*.mp4";
    finder.Directory = root;
    std::vector<std::string> searched;
    finder.OnNewPath = [&](fw::TComponent*, const std::string& path, bool&) { searched.push_back(path); };
    finder.Execute();
    EXPECT_EQ(finder.Files, std::vector<std::string>{root + "top.mp4"});
    EXPECT_EQ(searched, std::vector<std::string>{root});

    searched.clear();
    finder.Recurse = true;
    finder.Execute();
    ASSERT_EQ(searched.size(), 4u);
    EXPECT_EQ(searched[0], root);
    EXPECT_EQ(Sorted({searched[1], searched[2]}), (std::vector<std::string>{root + "A\\", root + "B\\"}));
    EXPECT_EQ(searched[3], root + "A\\A1\\");
    EXPECT_EQ(finder.Files.size(), 4u);
    EXPECT_EQ(finder.Files.front(), root + "top.mp4");
    EXPECT_EQ(finder.Files.back(), root + "A\\A1\\deep.mp4");
}

TEST_F(FinderTest, AbortSkipsTheFolderAndEndsTheTreeSearch)
{
    Folder("A");
    Touch("top.mp4");
    Touch("A\\a.mp4");
    finder.Filter = "*.mp4";
    finder.Directory = root;
    finder.Recurse = true;
    finder.OnNewPath = [&](fw::TComponent*, const std::string&, bool& abort) { abort = true; };
    finder.Execute();
    EXPECT_TRUE(finder.Files.empty());
}

TEST_F(FinderTest, MissingFolderYieldsNothing)
{
    finder.Directory = root + "missing";
    finder.Execute();
    EXPECT_TRUE(finder.Files.empty());
}
