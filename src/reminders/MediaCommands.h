#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace shell {
class AppContext;
}
namespace store {
class Recordset;
}

namespace reminders {

inline const QString kMediaFilter =
    QStringLiteral("(*.wav)|*.wav|(*.mid)|*.mid|(*.dat)|*.dat|(*.avi)|*.avi");
inline const QString kExternalFilter =
    QStringLiteral("所有文件|*.*|(*.mid)|*.mid|(*.dat)|*.dat|(*.avi)|*.avi|(*.wav)|*.wav");

// The three files kept in bjyy: the alarm's sound or film (Image3), the
// background music or film played to relax (Image15) and the external
// document or program opened with one click (wbcx).
class MediaCommands : public QObject {
    Q_OBJECT
public:
    MediaCommands(shell::AppContext& context, std::unique_ptr<store::Recordset>& mediaCursor,
                  QObject* parent = nullptr);

    void chooseAlarmFile();
    void relax();
    void openExternal();

private:
    struct Choice {
        QString column;
        QString question;
        QString filter;
    };
    // Asks whether to replace a stored path, lets the user pick a file and
    // stores it. Returns the path now stored; a cancelled dialog keeps the
    // stored one.
    QString choose(const Choice& choice);
    void reopenMediaCursor();

    shell::AppContext& m_context;
    std::unique_ptr<store::Recordset>& m_mediaCursor;
};

} // namespace reminders
