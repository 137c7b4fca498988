#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Opening documents with the user's programs and starting programs.
// Both return an empty string on success, else a Chinese error text.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual QString open(const QString& path) = 0;
    virtual QString start(const QString& program, const QStringList& args = {}) = 0;
};

class QtDesktop : public Desktop {
public:
    QString open(const QString& path) override;
    QString start(const QString& program, const QStringList& args) override;
};

} // namespace platform
