// A main window built as the program builds it, in this test process.
#pragma once
#include <memory>

#include "app/Main.h"
#include "support.h"

struct FormTest : ::testing::Test {
    std::unique_ptr<TfrmMain> form;

    void StartForm() { form = std::make_unique<TfrmMain>(nullptr); }
    void TearDown() override { form.reset(); }
};
