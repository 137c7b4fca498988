#include "platform/ChineseUi.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace platform {

namespace {

void installChineseTranslations(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

// Fontconfig usually falls back to a CJK font by itself; a session whose
// default font has no Chinese glyphs gets one that has.
void ensureChineseFont()
{
    const QFont font = QApplication::font();
    if (QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::SimplifiedChinese))
        return;
    const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    for (const QString& wanted :
         {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")}) {
        if (families.contains(wanted)) {
            QFont chinese = font;
            chinese.setFamilies({font.family(), wanted});
            QApplication::setFont(chinese);
            return;
        }
    }
}

} // namespace

void setUpChineseUi(QApplication& application)
{
    installChineseTranslations(application);
    ensureChineseFont();
}

} // namespace platform
