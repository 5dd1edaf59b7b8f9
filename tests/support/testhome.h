#pragma once

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include "skinfont.h"

// Points HOME, the XDG folders and the temporary folder at a private folder for the
// life of the test process, and cuts the session bus and browser off, so no test can
// touch the user's files, open a file manager or a web page.
class TestHome
{
public:
    TestHome();
    QString path() const;

private:
    QTemporaryDir m_dir;
};

#define GLINTORA_TEST_MAIN_WITH(AppClass, TestObject)                                           \
    int main(int argc, char *argv[])                                                           \
    {                                                                                          \
        TestHome home;                                                                         \
        AppClass app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                               \
        SkinFont::installSubstitutes();                                                        \
        TestObject tc;                                                                         \
        QTEST_SET_MAIN_SOURCE_PATH                                                             \
        return QTest::qExec(&tc, argc, argv);                                                  \
    }

// For tests that show widgets (offscreen unless the test is run under a display).
#define GLINTORA_TEST_MAIN(TestObject) GLINTORA_TEST_MAIN_WITH(QApplication, TestObject)
// For tests without widgets.
#define GLINTORA_TEST_MAIN_CORE(TestObject) GLINTORA_TEST_MAIN_WITH(QCoreApplication, TestObject)
