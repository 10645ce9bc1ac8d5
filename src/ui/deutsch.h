// German for Qt's own texts (file dialogs, standard buttons) and the editor's context menu,
// whatever the user's locale says.
#pragma once

class QObject;

namespace quintaro::ui {

// Installs Qt's and QScintilla's German translations from Qt's translations folder (packages
// qt6-translations-l10n and libqscintilla2-qt6-l10n) and makes German the default locale. The
// translations stay installed as long as `besitzer` lives (the application, for the program).
// Returns false when Qt's own translation is missing; the program then runs with English dialogs.
bool deutschLaden(QObject& besitzer);

}  // namespace quintaro::ui
