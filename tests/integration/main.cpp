// Entry of the platform tests: the application object exists as in the program, under a
// title of its own so that a running Mervane is never taken for this process.
#include <gtest/gtest.h>

#include "framework/Application.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    fw::Application->Initialize();
    fw::Application->SetTitle("Mervane under test");
    return RUN_ALL_TESTS();
}
