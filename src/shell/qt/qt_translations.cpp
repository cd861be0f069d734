#include "shell/qt/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "device/degree_text.h"

namespace tandrin {

namespace {

QTranslator* installed = nullptr;  // owned by the application

}  // namespace

bool FollowLanguageInQtTexts() {
    const bool chinese = chineseUi.load() == 1;
    if (!chinese) {
        if (installed != nullptr) {
            QCoreApplication::removeTranslator(installed);
            delete installed;
            installed = nullptr;
        }
        return true;
    }
    if (installed != nullptr) {
        return true;
    }
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

}  // namespace tandrin
