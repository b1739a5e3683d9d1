#pragma once

// The interface language. The program's texts are Russian and Russian is the
// default whatever the system locale says; English is there on request.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QTranslator;

namespace gencfg {

enum class InterfaceLanguage { Russian, English };

// "ru" or "en", in any case; nothing for any other name.
std::optional<InterfaceLanguage> LanguageFromName(const QString &name);

// The language --lang names (option), else the one GENCFG_LANG names
// (environment), else Russian; nothing when the name that counts is unknown.
std::optional<InterfaceLanguage> ChosenLanguage(const QString &option, const QString &environment);

// Installs into the running application the translations of a language: Qt's
// own texts (dialog buttons, file dialogs, the edit fields' menus) and, for
// English, the program's; removes them again when destroyed.
class InterfaceTranslators
{
public:
    explicit InterfaceTranslators(InterfaceLanguage language);
    ~InterfaceTranslators();
    InterfaceTranslators(const InterfaceTranslators &) = delete;
    InterfaceTranslators &operator=(const InterfaceTranslators &) = delete;

    // The translation files that could not be loaded, for a warning; the texts they hold stay as written.
    const QStringList &missing() const { return m_missing; }

private:
    void install(const QString &name, const QStringList &folders);

    std::vector<std::unique_ptr<QTranslator>> m_installed;
    QStringList m_missing;
};

} // namespace gencfg
