#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

// The application's look applied to a freshly made toolkit control in one call. Each
// preset takes the control as an untyped pointer whose type the caller guarantees (the
// toolkit class named beside it) and does nothing for a null pointer.
class QInitCtrlStyle
{
public:
    // Any QWidget.
    static void InitFont(void *widget, int pixelSize);
    static void InitPalette(void *widget, QPalette::ColorRole role, const QColor &color);

    // Dialogs on QZVDialog.
    static void InitBg1(void *dialog);
    static void InitBg2(void *dialog);
    static void InitBg3(void *dialog);
    static void InitBg4(void *dialog);

    // QZVBaseButton.
    static void InitZVButton(void *button, int width, int height);
    static void InitZVButton1(void *button, int width, int height);
    // For an action that destroys files, so it never looks like the harmless choice.
    static void InitDestructiveButton(void *button, int width, int height);
    static void InitTabBtn(void *button);

    static void InitCheckBox(void *checkBox);   // QZVCheckBox
    static void InitRadio(void *radio);         // QZVRadioButton
    static void InitZvMenu(void *menu);         // QZVMenu
    static void InitZVSlider(void *slider);     // QZVBaseSlider
    static void InitZvScrollBar(void *scrollBar); // QZVScrollBar
    static void InitEdit(void *edit);           // QZVLineEdit
    static void InitTextEdit(void *textEdit);   // QZVTextEdit
    static void InitSpinbox(void *spinBox);     // QZVSpinBox
    // QZVComboBox; a non-empty background path is used as it is, without the resource folder.
    static void InitZVCombox1(void *comboBox, int width, int height, const QString &backgroundPath);
    static void InitZVCombox(void *comboBox, int width, int height);
};

// The common frame of a dialog on QZVDialog, applied after its background.
void InitDlg(void *dialog);
