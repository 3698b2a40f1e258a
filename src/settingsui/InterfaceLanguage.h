#pragma once

#include <QStringList>

#include <memory>

class QTranslator;

/**
 * The language of the interface. The texts in the code are French; an English translation is
 * built into the program and chosen when the first of the desktop's interface languages is
 * English. Every other language, `C` and `POSIX` included, keeps French.
 */
namespace InterfaceLanguage {

/** Whether `uiLanguages` (most preferred first, as QLocale::uiLanguages() lists them) asks for English. */
bool prefersEnglish(const QStringList &uiLanguages);

/**
 * The translator for `uiLanguages`, or nothing when the interface stays French. Also nothing when the
 * built-in translation cannot be loaded: French is then shown rather than a mix.
 */
std::unique_ptr<QTranslator> translatorFor(const QStringList &uiLanguages);

/** Installs the desktop's language on the running application; true when a translation was installed. */
bool install();

} // namespace InterfaceLanguage
