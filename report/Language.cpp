#include "report/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace gencfg {

std::optional<InterfaceLanguage> LanguageFromName(const QString &name)
{
    const QString lower = name.trimmed().toLower();
    if (lower == QLatin1String("ru"))
        return InterfaceLanguage::Russian;
    if (lower == QLatin1String("en"))
        return InterfaceLanguage::English;
    return std::nullopt;
}

std::optional<InterfaceLanguage> ChosenLanguage(const QString &option, const QString &environment)
{
    if (!option.isEmpty())
        return LanguageFromName(option);
    if (!environment.isEmpty())
        return LanguageFromName(environment);
    return InterfaceLanguage::Russian;
}

InterfaceTranslators::InterfaceTranslators(InterfaceLanguage language)
{
    // Qt's translations where Qt keeps them, or beside the program where an installer put them.
    const QStringList qtFolders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    switch (language) {
    case InterfaceLanguage::Russian:
        install(QStringLiteral("qtbase_ru"), qtFolders);
        install(QStringLiteral("qtserialport_ru"), qtFolders);
        break;
    case InterfaceLanguage::English:
        // Qt's own texts are English already; the program's come with it as a resource.
        install(QStringLiteral("gencfg_en"), {QStringLiteral(":/i18n")});
        break;
    }
}

InterfaceTranslators::~InterfaceTranslators()
{
    for (const std::unique_ptr<QTranslator> &translator : m_installed)
        QCoreApplication::removeTranslator(translator.get());
}

void InterfaceTranslators::install(const QString &name, const QStringList &folders)
{
    auto translator = std::make_unique<QTranslator>();
    for (const QString &folder : folders) {
        if (translator->load(name, folder)) {
            QCoreApplication::installTranslator(translator.get());
            m_installed.push_back(std::move(translator));
            return;
        }
    }
    m_missing << name;
}

} // namespace gencfg
