#pragma once
// Qt's own texts, such as the text box's context menu, in the user's
// language; the program's own texts are Japanese whatever the language.
#include <QCoreApplication>

namespace quillbox::qt {

// Installs into `app` Qt's translation for the language of QLocale(), from
// the translations Qt was installed with. False when there is none, and Qt
// stays in English.
bool LoadQtTranslations(QCoreApplication& app);

}  // namespace quillbox::qt
