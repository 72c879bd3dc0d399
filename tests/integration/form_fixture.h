// A session as the program makes it, in this test process, and the main window on it.
#pragma once
#include <cstdio>
#include <memory>

#include "app/Session.h"
#include "framework/text.h"
#include "support.h"
#include "ui/Main.h"

struct SessionTest : ::testing::Test {
    std::unique_ptr<app::TSession> session;
    std::vector<std::string> told;  // what the session said before a window listened

    // With its tools written, as once the window has shown.
    void StartSession(app::TSessionTunings tunings = {})
    {
        session = std::make_unique<app::TSession>(std::move(tunings));
        told.clear();
        app::TSessionEvents events;
        events.OnMessage = [this](const std::string& text) { told.push_back(text); };
        session->Listen(events);
        session->Settle();
        session->Tools().Wait();
    }
    // The test encoder as the session's encoder: a copy, since the session deletes its
    // encoder file when it ends.
    void UseFakeEncoder(const std::string& folder)
    {
        app::TToolPaths tools = session->Tools().Paths();
        tools.ffmpeg = folder + "fake_encoder.exe";
        CopyFileA((testing_support::ExeFolder() + "fake_encoder.exe").c_str(), tools.ffmpeg.c_str(), FALSE);
        session->Tools().Use(tools);
    }
    void UseMediaTool(const std::string& path)
    {
        app::TToolPaths tools = session->Tools().Paths();
        tools.mediainfo = path;
        session->Tools().Use(tools);
    }
    // Queues a file as "Add MP4 File" does, a stand-in media tool answering its length.
    void QueueFile(const std::string& path, int seconds)
    {
        const app::TToolPaths staged = session->Tools().Paths();
        UseMediaTool(testing_support::ExeFolder() + "echo_args.exe");
        const int answered = seconds - 1;  // the probe counts a second begun
        char length[32];
        std::snprintf(length, sizeof length, "%02d:%02d:%02d.000", answered / 3600, answered / 60 % 60, answered % 60);
        char echoOut[MAX_PATH] = {};  // a stand-in opener's record, not the probe's
        const bool recording = GetEnvironmentVariableA("ECHO_OUT", echoOut, MAX_PATH) > 0;
        SetEnvironmentVariableA("ECHO_OUT", nullptr);
        SetEnvironmentVariableA("ECHO_PRINT", length);
        session->Intake().AddChosenFile(path);
        SetEnvironmentVariableA("ECHO_PRINT", nullptr);
        SetEnvironmentVariableA("ECHO_OUT", recording ? echoOut : nullptr);
        session->Tools().Use(staged);
    }
    // A batch that converts until the session ends: the test encoder on a file that sleeps,
    // queued as the last row.
    void KeepConverting(const std::string& folder)
    {
        UseFakeEncoder(folder);
        testing_support::WriteFile(folder + "busy.mp4", "sleep 60000\n");
        QueueFile(folder + "busy.mp4", 1);
        session->ChooseOutputFolder(folder);
        session->Start();
    }
    bool Converting() const { return session->Busy(); }
    void TearDown() override { session.reset(); }
};

// A session that converts into a folder of its own, with its settings made anew.
struct ConvertingTest : SessionTest {
    std::string work = testing_support::FreshFolder("converting");
    // The embedded encoder, quiet, replacing what it writes.
    const std::string encoder = "\"" + testing_support::PayloadFolder() + "ffmpeg.exe\" -v error -y ";
    void Choose(const std::function<void(batch::Choices&)>& change)
    {
        batch::Choices choices = session->Settings().Choices();
        change(choices);
        session->Choose(choices);
    }
    void ConvertAll()
    {
        session->Start();
        testing_support::PumpUntil([&] { return !Converting(); }, 120000);
    }
    // "Version|WxH|DAR|fps|audio rate|channels" of a converted file, as the media tool reads it.
    static std::string Facts(const std::string& file)
    {
        const std::string tool = "\"" + testing_support::PayloadFolder() + "mediainfo.exe\" ";
        return fw::Trim(testing_support::RunAndCapture(tool + "\"--Inform=Video;%Format_Version%|%Width%x%Height%|%DisplayAspectRatio/String%|%FrameRate%|\" \"" + file + "\"")) +
               fw::Trim(testing_support::RunAndCapture(tool + "\"--Inform=Audio;%SamplingRate%|%Channel(s)%\" \"" + file + "\""));
    }
    void SetUp() override
    {
        testing_support::DeleteSettings();
        StartSession();
        session->ChooseOutputFolder(work);
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
    void StartForm(app::TSessionTunings tunings = {})
    {
        form.reset();
        testing_support::DeleteSettings();
        StartSession(std::move(tunings));
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
