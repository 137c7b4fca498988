#pragma once

#include <QString>

namespace platform {

// Start with the desktop session. Returns an empty string on success,
// else a Chinese error text.
class Autostart {
public:
    virtual ~Autostart() = default;
    virtual QString enable(const QString& executablePath) = 0;
};

// Writes ~/.config/autostart/Lumo.desktop (honours XDG_CONFIG_HOME).
class XdgAutostart : public Autostart {
public:
    QString enable(const QString& executablePath) override;
};

} // namespace platform
