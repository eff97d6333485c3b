#pragma once

#include <QFont>
#include <QIcon>
#include <QString>

namespace haojian {

// The application title: the task bar's name for the program and the caption of every plain
// message box and error box.
QString ApplicationTitle();
// The main window's own caption, which differs from the title in its version.
QString MainWindowCaption();

// The font of the windows: the Song face "宋体" at 12 pixels. Where no face of that name is
// installed, a Song face that is (AR PL UMing) stands in for it.
QFont WindowFont();

// The application icon, in 32 x 32 and 16 x 16.
QIcon ApplicationIcon();

// Makes Qt's own texts Chinese whatever the user's locale, as the program's own are: the file
// dialogs, standard buttons and their questions (Qt's translation qtbase_zh_CN) and the dates
// and numbers they show. Gives false when the translation is not installed; Qt's texts then
// stay English.
bool InstallChineseStandardTexts();

// Sets the application-wide values on the running QApplication: the title as the application's
// name, the desktop entry's name, the icon, the font and Qt's Chinese texts. The title is
// deliberately not made the display name: Qt would append a display name to every window
// caption.
void SetUpApplication();

}  // namespace haojian
