// Adding, modifying and clearing entries, and their pictures.
#include "vocabulary/VocabularyWindow.h"

#include "core/Columns.h"
#include "platform/Dialogs.h"
#include "platform/Pictures.h"
#include "recordbook/RecordBookController.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"
#include "store/StoreError.h"
#include "ui_IQDW.h"
#include "vocabulary/WordText.h"

#include <QPixmap>

namespace vocabulary {

namespace {

const QString kAllWords = QStringLiteral("select*  from foxcjdc");
const QString kTip = QStringLiteral("提示");

} // namespace

recordbook::BookDescriptor VocabularyWindow::wordBook()
{
    recordbook::BookDescriptor book;
    book.table = QStringLiteral("foxcjdc");
    book.listColumn = book.searchColumn = columns::kSuperWord;
    book.keywordColumn = columns::kKeyword;
    book.allRows = QStringLiteral("select * from foxcjdc");
    book.searchHead = QStringLiteral("select  * from foxcjdc where ");
    // Add writes nothing for an empty box, Modify writes null; the key is
    // left unset on Add only when both texts are empty.
    book.fields.bind(m_ui->gjz, columns::kKeyword)
        .bind(m_ui->rtzw, columns::kChinese)
        .bind(m_ui->RTB, columns::kEnglish)
        .compute(columns::kSuperWord, [this](recordbook::Mode mode) -> std::optional<QVariant> {
            const QString english = recordbook::boxText(m_ui->RTB);
            const QString chinese = recordbook::boxText(m_ui->rtzw);
            const QString key = composedKey(english, chinese);
            if (mode == recordbook::Mode::Add)
                return english.isEmpty() && chinese.isEmpty() ? std::nullopt
                                                              : std::optional<QVariant>(key);
            return key.isEmpty() ? QVariant() : QVariant(key);
        });
    // The boxes empty even when the line has no entry.
    book.load.before = [this](int) {
        recordbook::setBoxText(m_ui->gjz, QString());
        clearEnglishAndChinese();
    };
    book.load.after = [this](int) { showWordPicture(); };
    book.addRows = kAllWords;
    book.add.done = {QStringLiteral("加入英语素材成功！"), kTip, platform::Icon::Information};
    book.add.said = [this](int) {
        m_words->clearList();
        reopen(kAllWords);
        m_words->clearBoxes();
    };
    book.modify.written = [this](int) {
        if (wordCursor().recordCount() >= 1) wordCursor().moveLast();
    };
    book.modify.done = {QStringLiteral("修改成功！"), kTip, platform::Icon::Information};
    book.modify.said = [this](int) { m_words->clearList(); };
    book.deleted = {QStringLiteral("删除成功！"), QStringLiteral("提醒"),
                    platform::Icon::Information};
    return book;
}

void VocabularyWindow::addWord()
{
    m_words->addRecord();
}

void VocabularyWindow::modifyWord()
{
    // Without a selected line there is no entry to change, and saying
    // "modified" would be untrue.
    m_words->modifySelected();
}

void VocabularyWindow::clearWordBoxes()
{
    m_words->clearBoxes();
    m_words->clearSelection();
}

void VocabularyWindow::attachWordPicture()
{
    // The picture belongs to the entry the user picked, never to whatever
    // record the cursor happens to stand on.
    if (!m_words->requireSelection()) return;
    const int line = m_words->selectedLine();
    platform::Dialogs& dialogs = *m_context.services().dialogs;
    const QString path =
        dialogs.openFile(QStringLiteral("请选择一幅与该单词意义相称的图片"),
                         QStringLiteral("jpeg(*.jpg)|*.jpg|bmp(*.bmp)|*.bmp|gif(*.gif)|*.gif"));
    if (path.isEmpty()) return;
    if (platform::readPicture(path, m_ui->Image5->contentsRect().size()).isNull()) {
        dialogs.message(
            QStringLiteral("无法读取图片“%1”：文件不存在、不能读取，或不是可以显示的图片。"
                           "插图没有保存。")
                .arg(path),
            kTip, platform::Buttons::Ok, platform::Icon::Warning);
        return;
    }
    if (!m_words->recordForLine(line)) return;
    store::Recordset& cursor = wordCursor();
    try {
        cursor.collect(columns::kPicture, path);
        cursor.update();
        m_context.dbConnection().commitSoFar();
    } catch (const store::StoreError& error) {
        m_context.dbConnection().rollbackSoFar();
        dialogs.message(QStringLiteral("插图没有保存：%1").arg(m_context.failureText(error)), kTip,
                        platform::Buttons::Ok, platform::Icon::Warning);
        return;
    }
    showPicture(path);
}

void VocabularyWindow::showPicture(const QString& path)
{
    const QSize room = m_ui->Image5->contentsRect().size();
    const QImage picture = platform::readPicture(path, room);
    if (picture.isNull()) {
        m_ui->Image5->clear();
        return;
    }
    m_ui->Image5->setPixmap(
        QPixmap::fromImage(picture.width() > room.width() || picture.height() > room.height()
                               ? picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                               : picture));
}

} // namespace vocabulary
