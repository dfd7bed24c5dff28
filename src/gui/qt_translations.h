#pragma once

class QCoreApplication;

namespace tolvane::gui {

// Makes Qt's own texts (standard buttons, the file dialog, the text boxes'
// context menus) Japanese like the rest of the program, whatever the
// desktop's language. False when Qt's Japanese translations are missing;
// those texts then stay in English.
bool installJapaneseQtTranslations(QCoreApplication& app);

} // namespace tolvane::gui
