// A main window built as the program builds it, in this test process.
#pragma once
#include <memory>

#include "ui/Main.h"
#include "support.h"

struct FormTest : ::testing::Test {
    using Form = std::unique_ptr<TfrmMain>;
    Form form;

    // With its tools written, as once the window has shown.
    void StartForm()
    {
        form = std::make_unique<TfrmMain>(nullptr);
        form->WaitForTools();
    }
    // The test encoder as the window's encoder: a copy, since the window deletes its
    // encoder file when it closes.
    void UseFakeEncoder(const std::string& folder)
    {
        form->FfmpegPath = folder + "fake_encoder.exe";
        CopyFileA((testing_support::ExeFolder() + "fake_encoder.exe").c_str(), form->FfmpegPath.c_str(), FALSE);
    }
    // A batch that converts until the window goes: the test encoder on a file that sleeps,
    // queued as the last row.
    void KeepConverting(const std::string& folder)
    {
        UseFakeEncoder(folder);
        testing_support::WriteFile(folder + "busy.mp4", "sleep 60000\n");
        form->Queue->Add(folder + "busy.mp4", "1");
        form->WorkDir = folder;
        convert::BatchSetup setup;
        setup.encoderPath = form->FfmpegPath;
        setup.outputFolder = folder;
        setup.logFolder = form->TempDir;
        form->Batch->Start(setup);
    }
    void TearDown() override { form.reset(); }
};
