// Names in any script: the program's code page, a wide drop, and the rules for comparing
// names and for names that an older code page cannot hold.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "form_fixture.h"
#include "framework/Files.h"
#include "framework/Unicode.h"

using namespace testing_support;

TEST(Names, CaseIsIgnoredOnTheUtf16FormAndLostCharactersAreNeverLookAlikes)
{
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest's code page";
    struct Same {
        const char *a, *b;
        bool same;
    } same[] = {
        {"D:\\Out\\Vidéo été.mpg", "d:\\OUT\\VIDÉO ÉTÉ.MPG", true},
        {"Привет.mpg", "ПРИВЕТ.MPG", true},
        {"Ωmega 🎈.mpg", "ωMEGA 🎈.mpg", true},
        {"ｗｈｙ？.mpg", "ＷＨＹ？.mpg", true},
        {"straße.mpg", "STRASSE.mpg", false},  // no folding that changes the length
        {"a.mpg", "a .mpg", false},
    };
    for (const Same& c : same) EXPECT_EQ(fw::SameNameIgnoringCase(c.a, c.b), c.same) << c.a << " | " << c.b;

    // Output paths as the same-name rule compares them: however the folder is written.
    const std::string folder = FreshFolder("a long folder name");
    char shortForm[MAX_PATH] = {};
    GetShortPathNameA(folder.c_str(), shortForm, MAX_PATH);
    EXPECT_NE(shortForm, folder);
    for (const std::string& other : {folder + "\\X.MPG", std::string(shortForm) + "x.mpg", folder + "sub\\..\\x.mpg"})
        EXPECT_TRUE(fw::SamePath(folder + "x.mpg", other)) << other;
    EXPECT_FALSE(fw::SamePath(folder + "x.mpg", folder + "x (2).mpg"));
    RemoveTree(folder);

    struct Lost {
        const wchar_t* wide;
        UINT codePage;
        const char* narrow;
        bool lost;
    } lost[] = {
        {L"Live \xFF5C Part 1\xFF1A Why\xFF1F.mp4", 1252, "Live ? Part 1? Why?.mp4", true},  // never "|", ":" or "?"-less
        {L"\x03A9mega.mp4", 1252, "?mega.mp4", true},                                          // never "Omega"
        {L"M\xFCller.mp4", 1252, "M\xFCller.mp4", false},
        {L"\x03A9mega \xD83C\xDF88.mp4", CP_UTF8, "Ωmega 🎈.mp4", false},
    };
    for (const Lost& c : lost) {
        bool wasLost = true;
        EXPECT_EQ(fw::Narrow(c.wide, &wasLost, c.codePage), c.narrow) << c.narrow;
        EXPECT_EQ(wasLost, c.lost) << c.narrow;
    }
}

using NamesDrop = FormTest;

TEST_F(NamesDrop, WideDropIsQueuedWithItsDurations)
{
    const std::string work = FreshFolder("names");
    const std::vector<std::string> clips = {work + "Ωmega drop 🎈.mp4", work + "Живой ｜ звук.mp4"};
    MakeClip(clips[0], 2);
    MakeClip(clips[1], 3);
    std::wstring names;
    for (const std::string& clip : clips) names += fw::Wide(clip) + L'\0';
    names += L'\0';

    StartForm();
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;  // as the shell drops
    memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    PostMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    PumpUntil([&] { return session->Queue().Count() == 2; }, 30000);
    ASSERT_EQ(session->Queue().Count(), 2);
    EXPECT_EQ(session->Queue().Path(0), clips[0]);
    EXPECT_EQ(session->Queue().MediaSeconds(0), 3);
    EXPECT_EQ(session->Queue().Path(1), clips[1]);
    EXPECT_EQ(session->Queue().MediaSeconds(1), 4);
    EXPECT_EQ(Control<fw::TListView>("FileList").CellText(1, 1), "Живой ｜ звук");
    TearDown();
    RemoveTree(work);
}
