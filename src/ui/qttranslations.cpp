#include "ui/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace h33 {

bool LoadQtTranslations() {
  // Lives as long as the application: Qt keeps only a pointer.
  static QTranslator translator;
  // Built in (the Windows build), else where Qt keeps its translations.
  if (!translator.load("qtbase_ru", ":/translations") &&
      !translator.load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  return QCoreApplication::installTranslator(&translator);
}

}  // namespace h33
