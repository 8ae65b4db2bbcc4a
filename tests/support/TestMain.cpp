// Test main: one QApplication for the whole run, as the windows need one.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    Q_INIT_RESOURCE(resources);
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
