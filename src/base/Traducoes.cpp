#include "base/Traducoes.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace marvek {

QTranslator* CarregarTraducoes() {
    auto* tradutor = new QTranslator(QCoreApplication::instance());
    if (!tradutor->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete tradutor;
        return nullptr;
    }
    QCoreApplication::installTranslator(tradutor);
    return tradutor;
}

} // namespace marvek
