#include "mainwindow.h"
#include "modalwatchdog.h"
#include "qconverteroperate.h"
#include "qianyutil.h"
#include "qpreferencesdlg.h"
#include "qvideosettingxml.h"
#include "qzvbasebutton.h"
#include "qzvcombobox.h"
#include "qzvradiobutton.h"
#include "qzvtextedit.h"
#include "suupdater.h"
#include "testhome.h"

#include <QFileDialog>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <unistd.h>

class TestPreferences : public QObject
{
    Q_OBJECT

private:
    static QString setting(const char *item, const char *key)
    {
        return QVideoSettingXml::GetItemValue(QLatin1String(item), QLatin1String(key), QStringLiteral("<none>"));
    }


    template <typename T> static T *child(QWidget &dialog, const char *name)
    {
        T *found = dialog.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }

    static void click(QWidget &dialog, const char *name)
    {
        child<QZVBaseButton>(dialog, name)->click();
    }

    static QString shownFolder(QWidget &dialog)
    {
        return child<QZVTextEdit>(dialog, "m_pathTextEdit")->textEdit()->toPlainText();
    }

    // Answers the folder question with the given folder, or cancels it when empty.
    static void answerFolderDialog(ModalWatchdog &dog, const QString &folder)
    {
        dog.expect("QFileDialog", QString(), [folder](QWidget *modal) {
            auto *dialog = static_cast<QFileDialog *>(modal);
            if (folder.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->setDirectory(folder);
            static_cast<QDialog *>(dialog)->accept();
        });
    }

    static QString defaultFolder()
    {
        return QIAnyUtil::getDocumentPath() + "/Converted/";
    }

private slots:
    void init()
    {
        MainWindow::resetStaticsForTests();
        QFile::remove(QIAnyUtil::getAppDataPath() + "/VideoDefaultSetting.xml");
        QConverterOperate::setConverterPath("/before/");
        QConverterOperate::setKeepClassify(2);
        SUUpdater::sharedUpdater()->setAutomaticallyChecksForUpdates(false);
    }

    void opensOnGeneralWithStoredDefaults()
    {
        QPreferencesDlg dialog;
        QCOMPARE(dialog.size(), QSize(466, 316));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(child<QZVRadioButton>(dialog, "m_radCloseUpdate")->isChecked());
        QVERIFY(!child<QZVRadioButton>(dialog, "m_radAutoUpdate")->isChecked());
        // The program never updates itself, so the page does not offer it.
        QVERIFY(!child<QZVRadioButton>(dialog, "m_radAutoUpdate")->isEnabled());
        QVERIFY(child<QZVRadioButton>(dialog, "m_radAutoUpdate")->toolTip().contains("system's packages"));
        QVERIFY(child<QZVRadioButton>(dialog, "m_radExit")->isChecked());
        QCOMPARE(setting("UPDATES_ITEM", "bIsAutoUpdate"), QString("N"));
        QCOMPARE(setting("CLOSE_ITEM", "bIsCloseDlg"), QString("Y"));
        QCOMPARE(setting("SHOWDOWN_ITEM", "Finished_All_Job"), QString("0"));
        QCOMPARE(setting("Language_item", "Language_Name"), QString("<none>"));
        QCOMPARE(child<QZVComboBox>(dialog, "m_cmbFinished")->currentText(), QString("Do Nothing"));
        QCOMPARE(shownFolder(dialog), defaultFolder());

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.repaint();
        QCOMPARE(child<QZVBaseButton>(dialog, "m_btnCancel")->pos(), QPoint(262, 271));
        QCOMPARE(child<QZVBaseButton>(dialog, "m_btnOk")->pos(), QPoint(358, 271));
        QWidget *general = child<QWidget>(dialog, "GeneralWidget");
        QWidget *convert = child<QWidget>(dialog, "ConvertWidget");
        QCOMPARE(general->minimumSize(), QSize(378, 207));
        QVERIFY(general->isVisible());
        QVERIFY(!convert->isVisible());
        QVERIFY(!child<QZVBaseButton>(dialog, "m_btnGeneral")->isEnabled());
    }

    // Switching pages changes only what is shown; the edits of both pages survive.
    void tabsSwitchPagesAndKeepEdits()
    {
        QPreferencesDlg dialog;
        dialog.show();
        child<QZVRadioButton>(dialog, "m_radMin")->click();
        child<QZVBaseButton>(dialog, "m_btnConvert")->click();
        QVERIFY(child<QWidget>(dialog, "ConvertWidget")->isVisible());
        QVERIFY(!child<QWidget>(dialog, "GeneralWidget")->isVisible());
        QVERIFY(!child<QZVBaseButton>(dialog, "m_btnConvert")->isEnabled());
        QVERIFY(child<QZVBaseButton>(dialog, "m_btnGeneral")->isEnabled());
        child<QZVComboBox>(dialog, "m_cmbFinished")->setCurrentIndex(2);
        child<QZVBaseButton>(dialog, "m_btnGeneral")->click();
        QVERIFY(child<QWidget>(dialog, "GeneralWidget")->isVisible());
        QVERIFY(child<QZVRadioButton>(dialog, "m_radMin")->isChecked());
        QVERIFY(!child<QZVRadioButton>(dialog, "m_radExit")->isChecked());
        QCOMPARE(child<QZVComboBox>(dialog, "m_cmbFinished")->currentIndex(), 2);
    }

    void cancelAndCloseStoreNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Cancel") << "m_btnCancel";
        QTest::newRow("title close") << "m_btnTitleClose";
    }

    void cancelAndCloseStoreNothing()
    {
        QFETCH(QString, button);
        QVideoSettingXml::GetItemValue("UPDATES_ITEM", "bIsAutoUpdate", "Y");
        QPreferencesDlg dialog;
        QSignalSpy updates(&dialog, &QPreferencesDlg::emitAutoUpdate);
        dialog.show();
        child<QZVRadioButton>(dialog, "m_radCloseUpdate")->click();
        child<QZVRadioButton>(dialog, "m_radMin")->click();
        child<QZVComboBox>(dialog, "m_cmbFinished")->setCurrentIndex(1);
        click(dialog, "m_btnReset");
        click(dialog, qPrintable(button));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(updates.count(), 0);
        QCOMPARE(setting("UPDATES_ITEM", "bIsAutoUpdate"), QString("Y"));
        QCOMPARE(setting("CLOSE_ITEM", "bIsCloseDlg"), QString("Y"));
        QCOMPARE(setting("SHOWDOWN_ITEM", "Finished_All_Job"), QString("0"));
        QCOMPARE(QConverterOperate::getConverterPath(), QString("/before/"));
    }

    void okStoresOnlyChangedGeneralChoices_data()
    {
        QTest::addColumn<QString>("updateBefore");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("storedUpdate");
        QTest::addColumn<QString>("storedClose");
        QTest::addColumn<QList<bool>>("announced");
        QTest::newRow("nothing changed") << "N" << QStringList() << "N" << "Y" << QList<bool>();
        QTest::newRow("updates cannot be turned on") << "N" << QStringList{"m_radAutoUpdate"} << "N" << "Y"
                                                     << QList<bool>();
        QTest::newRow("updates off") << "Y" << QStringList{"m_radCloseUpdate"} << "N" << "Y" << QList<bool>{false};
        QTest::newRow("close minimises") << "N" << QStringList{"m_radMin"} << "N" << "N" << QList<bool>();
    }

    void okStoresOnlyChangedGeneralChoices()
    {
        QFETCH(QString, updateBefore);
        QFETCH(QStringList, clicks);
        QFETCH(QString, storedUpdate);
        QFETCH(QString, storedClose);
        QFETCH(QList<bool>, announced);
        QVideoSettingXml::GetItemValue("UPDATES_ITEM", "bIsAutoUpdate", updateBefore);
        QPreferencesDlg dialog;
        QSignalSpy updates(&dialog, &QPreferencesDlg::emitAutoUpdate);
        dialog.show();
        for (const QString &radio : clicks)
            child<QZVRadioButton>(dialog, qPrintable(radio))->click();
        // Changed behind the dialog's back: what OK leaves alone keeps the mark.
        QVideoSettingXml::SetItemValue("UPDATES_ITEM", "bIsAutoUpdate", "mark");
        QVideoSettingXml::SetItemValue("CLOSE_ITEM", "bIsCloseDlg", "mark");
        QVideoSettingXml::SetItemValue("SHOWDOWN_ITEM", "Finished_All_Job", "mark");
        click(dialog, "m_btnOk");
        QVERIFY(!dialog.isVisible());
        QList<bool> emitted;
        for (const QList<QVariant> &call : updates)
            emitted << call.at(0).toBool();
        QCOMPARE(emitted, announced);
        QCOMPARE(setting("UPDATES_ITEM", "bIsAutoUpdate"), announced.isEmpty() ? "mark" : storedUpdate);
        QCOMPARE(setting("CLOSE_ITEM", "bIsCloseDlg"), storedClose == "Y" ? "mark" : storedClose);
        QCOMPARE(setting("SHOWDOWN_ITEM", "Finished_All_Job"), QString("0"));
        QCOMPARE(QConverterOperate::getConverterPath(), defaultFolder());
        QCOMPARE(QConverterOperate::keepClassify(), 0);
    }

    void oddStoredValues_data()
    {
        QTest::addColumn<QString>("storedChoice");
        QTest::addColumn<QString>("storedFinish");
        QTest::addColumn<QString>("shownFinish");
        QTest::addColumn<QString>("finishAfterOk");
        QTest::newRow("lower case, text") << "y" << "abc" << "Do Nothing" << "0";
        QTest::newRow("word, out of range") << "YES" << "7" << "" << "-1";
        QTest::newRow("sleep") << "N" << "1" << "Put Computer to Sleep" << "1";
    }

    void oddStoredValues()
    {
        QFETCH(QString, storedChoice);
        QFETCH(QString, storedFinish);
        QFETCH(QString, shownFinish);
        QFETCH(QString, finishAfterOk);
        QVideoSettingXml::GetItemValue("UPDATES_ITEM", "bIsAutoUpdate", storedChoice);
        QVideoSettingXml::GetItemValue("CLOSE_ITEM", "bIsCloseDlg", storedChoice);
        QVideoSettingXml::GetItemValue("SHOWDOWN_ITEM", "Finished_All_Job", storedFinish);
        QPreferencesDlg dialog;
        QSignalSpy updates(&dialog, &QPreferencesDlg::emitAutoUpdate);
        QVERIFY(child<QZVRadioButton>(dialog, "m_radCloseUpdate")->isChecked());
        QVERIFY(child<QZVRadioButton>(dialog, "m_radMin")->isChecked());
        QCOMPARE(child<QZVComboBox>(dialog, "m_cmbFinished")->currentText(), shownFinish);
        dialog.OnBtnOk();
        QCOMPARE(updates.count(), 0);
        QCOMPARE(setting("UPDATES_ITEM", "bIsAutoUpdate"), storedChoice);
        QCOMPARE(setting("CLOSE_ITEM", "bIsCloseDlg"), storedChoice);
        QCOMPARE(setting("SHOWDOWN_ITEM", "Finished_All_Job"), finishAfterOk);
    }

    void changeFolder()
    {
        QTemporaryDir chosen;
        QVERIFY(chosen.isValid());
        ModalWatchdog dog;
        answerFolderDialog(dog, QString());
        answerFolderDialog(dog, chosen.path());
        QPreferencesDlg dialog;
        dialog.show();
        click(dialog, "m_btnConvert");
        click(dialog, "m_btnChange");
        QCOMPARE(shownFolder(dialog), defaultFolder());
        click(dialog, "m_btnChange");
        GLINTORA_VERIFY_WATCHDOG(dog);
        QCOMPARE(shownFolder(dialog), chosen.path() + "/");
        click(dialog, "m_btnOk");
        QCOMPARE(QConverterOperate::getConverterPath(), chosen.path() + "/");
    }

    void unwritableFolderIsIgnoredSilently()
    {
        if (geteuid() == 0)
            QSKIP("every folder is writable for root");
        QTemporaryDir locked;
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner);
        ModalWatchdog dog;
        answerFolderDialog(dog, locked.path());
        QPreferencesDlg dialog;
        dialog.show();
        click(dialog, "m_btnConvert");
        click(dialog, "m_btnChange");
        GLINTORA_VERIFY_WATCHDOG(dog);
        QCOMPARE(shownFolder(dialog), defaultFolder());
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The window stores the process-wide folder after the dialog, whichever way it closed,
    // and only a changed update choice reaches the updater.
    void mainWindowAppliesTheOutcome()
    {
        QVideoSettingXml::GetItemValue("UPDATES_ITEM", "bIsAutoUpdate", "Y");
        SUUpdater::sharedUpdater()->setAutomaticallyChecksForUpdates(true);
        MainWindow window;
        ModalWatchdog dog;
        dog.expect("QPreferencesDlg", QString(), ModalWatchdog::clickButton("m_btnCancel"));
        dog.expect("QPreferencesDlg", QString(), [](QWidget *modal) {
            child<QZVRadioButton>(*modal, "m_radCloseUpdate")->click();
            click(*modal, "m_btnOk");
        });
        const QString before = QConverterOperate::getConverterPath();
        window.ActOnPreferDlg();
        QCOMPARE(setting("OutPut_path", "path_value"), before);
        QVERIFY(SUUpdater::sharedUpdater()->automaticallyChecksForUpdates());
        window.ActOnPreferDlg();
        GLINTORA_VERIFY_WATCHDOG(dog);
        QVERIFY(!SUUpdater::sharedUpdater()->automaticallyChecksForUpdates());
        QCOMPARE(setting("UPDATES_ITEM", "bIsAutoUpdate"), QString("N"));
        QCOMPARE(setting("OutPut_path", "path_value"), defaultFolder());
    }
};

GLINTORA_TEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
