// Test entry: a GUI application on the offscreen platform (fonts and painting need it),
// settings kept in a private folder so the suite never touches the user's.
#include "preview/fonts.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toUtf8());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configDir.path());
    QApplication app(argc, argv);
    orv::registerHandheldFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
