#pragma once

#include <QString>

class QWidget;

namespace platform {

// Title of message boxes that name none.
inline const QString kDefaultTitle = QStringLiteral("Lumo");

// YesNoDefaultNo: Enter answers 否, for questions whose 是 deletes.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
enum class Icon { None, Information, Question, Warning, Critical };
enum class Answer { Ok, Cancel, Yes, No };

// Modal questions to the user. Filters use the "desc|pattern|desc|pattern" form.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual Answer message(const QString& text, const QString& title = kDefaultTitle,
                           Buttons buttons = Buttons::Ok, Icon icon = Icon::None) = 0;
    // An OK box above every other window, for what must not go unseen.
    virtual void messageOnTop(const QString& text, const QString& title) { message(text, title); }
    // Returns the chosen path, or an empty string when the user cancels.
    virtual QString openFile(const QString& title, const QString& filter,
                             const QString& initialName = {}) = 0;
    // The path to write to, or an empty string when the user cancels; an
    // existing file is replaced only after the user agreed to it.
    virtual QString saveFile(const QString& title, const QString& filter,
                             const QString& initialName = {}) = 0;
};

class QtDialogs : public Dialogs {
public:
    Answer message(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
    void messageOnTop(const QString& text, const QString& title) override;
    QString openFile(const QString& title, const QString& filter,
                     const QString& initialName) override;
    QString saveFile(const QString& title, const QString& filter,
                     const QString& initialName) override;

    // "desc|pattern|desc|pattern" -> Qt's "desc (pattern);;desc (pattern)"
    static QString toQtFilter(const QString& filter);
};

} // namespace platform
