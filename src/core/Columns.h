#pragma once

#include <QString>

// Column names of the tables the list windows read and write, written once.
namespace columns {

// mp: the reminder book.
inline const QString kAffair = QStringLiteral("要事");
inline const QString kAffairKeyword = QStringLiteral("要事关键字");
inline const QString kTimePoint = QStringLiteral("时间点");
inline const QString kStart = QStringLiteral("起始时间");
inline const QString kEnd = QStringLiteral("结束时间");
inline const QString kContact = QStringLiteral("联系人");
inline const QString kPlace = QStringLiteral("联系地点");
inline const QString kAddress = QStringLiteral("家庭住址");
inline const QString kMobile = QStringLiteral("联系人手机");
inline const QString kPhone = QStringLiteral("联系人电话");
inline const QString kMonth = QStringLiteral("每月时间");
inline const QString kWeekday = QStringLiteral("每周时间");
inline const QString kDay = QStringLiteral("每日时间");
inline const QString kMonthDay = QStringLiteral("每月每日时间");
inline const QString kLunarYearly = QStringLiteral("农历每年时间");
inline const QString kLunarMonthly = QStringLiteral("农历每月时间");

// foxcjdc: the vocabulary.
inline const QString kSuperWord = QStringLiteral("超级单词");
inline const QString kEnglish = QStringLiteral("英文");
inline const QString kChinese = QStringLiteral("中文");
inline const QString kPicture = QStringLiteral("图片名称");

// wblb and qqzx: the category books. 关键字 is also the vocabulary's keyword.
inline const QString kName = QStringLiteral("外部");
inline const QString kDescription = QStringLiteral("说明");
inline const QString kCategory = QStringLiteral("分类");
inline const QString kKeyword = QStringLiteral("关键字");

} // namespace columns
