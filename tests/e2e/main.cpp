// Entry of the end-to-end driver. With --demo it runs the guided demo instead of the tests:
// three clips added, converted, and a screenshot of each stage.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "framework/Application.h"

int RunDemo();

int main(int argc, char** argv)
{
    fw::Application->Initialize();
    fw::Application->SetTitle("Mervane driver");
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--demo") == 0) return RunDemo();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
