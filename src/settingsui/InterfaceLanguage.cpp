#include "settingsui/InterfaceLanguage.h"

#include "settings/Settings.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

namespace InterfaceLanguage {

bool prefersEnglish(const QStringList &uiLanguages)
{
    if (uiLanguages.isEmpty())
        return false;
    // "en", "en-US", "en_GB": the language is the part before the first separator.
    const QString first = uiLanguages.first().trimmed();
    const qsizetype separator = first.indexOf(QRegularExpression(QStringLiteral("[-_.@]")));
    return first.left(separator < 0 ? first.size() : separator).compare(QLatin1String("en"), Qt::CaseInsensitive) == 0;
}

std::unique_ptr<QTranslator> translatorFor(const QStringList &uiLanguages)
{
    if (!prefersEnglish(uiLanguages))
        return nullptr;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral(":/i18n/dotbanner_en.qm")))
        return nullptr;
    return translator;
}

bool install()
{
    std::unique_ptr<QTranslator> translator = translatorFor(QLocale::system().uiLanguages());
    // A new user's first lists (labels, feeds) come in the language the interface speaks.
    Settings::setEnglishDefaults(translator != nullptr);
    if (!translator)
        return false;
    // Owned by the application: it translates until the program ends.
    QTranslator *installed = translator.release();
    installed->setParent(QCoreApplication::instance());
    return QCoreApplication::installTranslator(installed);
}

} // namespace InterfaceLanguage
