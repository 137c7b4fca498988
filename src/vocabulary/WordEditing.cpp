// Adding, modifying and clearing entries, and their pictures.
#include "vocabulary/VocabularyWindow.h"

#include "core/Columns.h"
#include "platform/Dialogs.h"
#include "platform/Pictures.h"
#include "recordbook/FieldBindings.h"
#include "recordbook/RecordBookController.h"
#include "shell/AppContext.h"
#include "store/Recordset.h"
#include "store/StoreError.h"
#include "ui_IQDW.h"

#include <QPixmap>

namespace vocabulary {

namespace {

const QString kAllWords = QStringLiteral("select*  from foxcjdc");
const QString kTip = QStringLiteral("提示");

} // namespace

void VocabularyWindow::addWord()
{
    reopen(kAllWords);
    store::Recordset& cursor = wordCursor();
    cursor.addNew();
    m_fields->collect(cursor, recordbook::Mode::Add);
    cursor.update();
    // Stored before saying so.
    m_context.dbConnection().commitSoFar();
    m_context.services().dialogs->message(QStringLiteral("加入英语素材成功！"), kTip,
                                          platform::Buttons::Ok, platform::Icon::Information);
    m_words->clearList();
    reopen(kAllWords);
    recordbook::setBoxText(m_ui->gjz, QString());
    recordbook::setBoxText(m_ui->RTB, QString());
    recordbook::setBoxText(m_ui->rtzw, QString());
}

void VocabularyWindow::modifyWord()
{
    // Without a selected line there is no entry to change, and saying
    // "modified" would be untrue.
    if (!m_words->requireSelection()) return;
    store::Recordset& cursor = wordCursor();
    if (m_words->recordForLine(m_words->selectedLine())) {
        m_fields->collect(cursor, recordbook::Mode::Modify);
        cursor.update();
        m_context.dbConnection().commitSoFar();
    }
    if (cursor.recordCount() >= 1) cursor.moveLast();
    m_context.services().dialogs->message(QStringLiteral("修改成功！"), kTip, platform::Buttons::Ok,
                                          platform::Icon::Information);
    m_words->clearList();
}

void VocabularyWindow::clearWordBoxes()
{
    recordbook::setBoxText(m_ui->rtzw, QString());
    recordbook::setBoxText(m_ui->RTB, QString());
    recordbook::setBoxText(m_ui->gjz, QString());
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
