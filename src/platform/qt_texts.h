#pragma once
// Qt's own texts (the standard buttons of message boxes and dialogs, the menus of text
// boxes) in Japanese like every other text of the program, whatever the system's language.

// Loads and installs Qt's Japanese translations into the running application once; false
// when they are not installed on the machine, and Qt's texts then stay in English.
bool InstallJapaneseQtTexts();
