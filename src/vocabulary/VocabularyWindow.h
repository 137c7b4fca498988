#pragma once

#include <QMainWindow>
#include <memory>

namespace shell {
class AppContext;
}
namespace store {
class Recordset;
}
namespace recordbook {
struct BookDescriptor;
class RecordBookController;
} // namespace recordbook

namespace vocabulary {

namespace Ui {
class VocabularyWindow;
}

// The vocabulary trainer IQDW over table foxcjdc: searches, the word list,
// editing with pictures, and reading the English aloud. It owns wordCursor.
class VocabularyWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit VocabularyWindow(shell::AppContext& context, QWidget* parent = nullptr);
    ~VocabularyWindow() override;

    store::Recordset& wordCursor() const;
    bool hasWordCursor() const;

    void fillWordList();
    void substringWordSearch();
    void anyCharWordSearch();
    void loadAllWords();
    void showWordKeywords();
    void setChineseShown(bool shown);
    void deleteWord();
    void returnToMain();

    void addWord();
    void modifyWord();
    void clearWordBoxes();
    void attachWordPicture();

    void listVoices();
    void readAloud();

private:
    recordbook::BookDescriptor wordBook();
    void showWordPicture();
    void load();
    void connectCommands();
    void setUpIcons();
    void reopen(const QString& sql);
    void clearEnglishAndChinese();
    void showPicture(const QString& path);
    QString englishShown() const;

    shell::AppContext& m_context;
    std::unique_ptr<Ui::VocabularyWindow> m_ui;
    recordbook::RecordBookController* m_words = nullptr;
};

} // namespace vocabulary
