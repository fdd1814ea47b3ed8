#include <QApplication>

#include <gtest/gtest.h>

// The main of every test executable: the application object exists for the whole run, as it does
// in the player, so widgets, timers and posted messages behave as they do there.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
