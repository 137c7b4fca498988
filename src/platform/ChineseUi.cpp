#include "platform/ChineseUi.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QLibraryInfo>
#include <QTranslator>

namespace platform {

namespace {

// Words Qt's Chinese catalogue lacks; the file dialog shows them in its type column.
class MissingQtWords : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return {};
        static const QHash<QByteArray, QString> words{{"Folder", QStringLiteral("文件夹")},
                                                      {"Drive", QStringLiteral("驱动器")},
                                                      {"File", QStringLiteral("文件")},
                                                      {"%1 File", QStringLiteral("%1 文件")},
                                                      {"Unknown", QStringLiteral("未知")}};
        return words.value(source);
    }
};

void installChineseTranslations(QApplication& app)
{
    // Installed first, so Qt's own catalogue is asked before it.
    QApplication::installTranslator(new MissingQtWords(&app));
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
