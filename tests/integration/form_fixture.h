// A session as the program makes it, in this test process, and the main window on it.
#pragma once
#include <memory>

#include "app/Session.h"
#include "support.h"
#include "ui/Main.h"

struct SessionTest : ::testing::Test {
    std::unique_ptr<app::TSession> session;

    // With its tools written, as once the window has shown.
    void StartSession()
    {
        session = std::make_unique<app::TSession>();
        session->WaitForTools();
    }
    // The test encoder as the session's encoder: a copy, since the session deletes its
    // encoder file when it ends.
    void UseFakeEncoder(const std::string& folder)
    {
        session->Tools.ffmpeg = folder + "fake_encoder.exe";
        CopyFileA((testing_support::ExeFolder() + "fake_encoder.exe").c_str(), session->Tools.ffmpeg.c_str(), FALSE);
    }
    // A batch that converts until the session ends: the test encoder on a file that sleeps,
    // queued as the last row.
    void KeepConverting(const std::string& folder)
    {
        UseFakeEncoder(folder);
        testing_support::WriteFile(folder + "busy.mp4", "sleep 60000\n");
        session->Queue().Add(folder + "busy.mp4", 1);
        session->Folders.work = folder;
        session->Start();
    }
    bool Converting() const { return session->Busy(); }
    void TearDown() override { session.reset(); }
};

// A session that converts into a folder of its own, with its settings made anew.
struct ConvertingTest : SessionTest {
    std::string work = testing_support::FreshFolder("converting");
    void SetUp() override
    {
        testing_support::DeleteSettings();
        StartSession();
        session->Folders.work = work;
    }
    void TearDown() override
    {
        testing_support::PumpUntil([&] { return !Converting(); }, 60000);
        SessionTest::TearDown();
        testing_support::RemoveTree(work);
        testing_support::DeleteSettings();
    }
};

struct FormTest : SessionTest {
    std::unique_ptr<TfrmMain> form;

    // The window of a first start: no setting left by an earlier test.
    void StartForm()
    {
        testing_support::DeleteSettings();
        StartSession();
        form = std::make_unique<TfrmMain>(*session);
    }
    // A control of the window by its name.
    template <typename T = fw::TWinControl>
    T& Control(const char* name)
    {
        auto* control = dynamic_cast<T*>(form->FindComponent(name));
        if (!control) throw std::runtime_error(std::string("no control ") + name);
        return *control;
    }
    // A click on a push button of the window, as the button tells it.
    void Press(const char* name)
    {
        const HWND button = Control(name).Handle();
        SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
    }
    void TearDown() override
    {
        form.reset();
        SessionTest::TearDown();
    }
};
