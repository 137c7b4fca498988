#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include <functional>

class QObject;

namespace platform {

// Opening documents with the user's programs (a program file is started).
// Returns an empty string on success, else a Chinese error text.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual QString open(const QString& path) = 0;
};

// Whether the desktop names a program for files of this type (xdg-mime).
// Opening a file succeeds as soon as xdg-open starts, whether or not
// anything can show it, so callers that must know ask this first. Returns at
// once; `answer` runs later on the receiver's thread, unless the receiver is
// gone by then. No answer within `timeoutMs` counts as none.
void askDefaultApplication(const QString& mimeType, QObject* receiver,
                           std::function<void(bool known)> answer, int timeoutMs = 5000);

class QtDesktop : public Desktop {
public:
    // Documents open through xdg-open, which may fail after open() has returned;
    // `lateFailure` then gets a Chinese text naming the file.
    explicit QtDesktop(std::function<void(const QString&)> lateFailure = {})
        : m_lateFailure(std::move(lateFailure))
    {
    }
    QString open(const QString& path) override;

private:
    std::function<void(const QString&)> m_lateFailure;
};

} // namespace platform
