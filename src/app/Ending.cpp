#include "app/Ending.h"

#include <QCoreApplication>

namespace app {

void Ending::operator()(int code)
{
    if (m_requested) return;
    m_requested = true;
    m_code = code;
    if (m_beforeLeaving) m_beforeLeaving();
    // Not quit(): it would send every window a close event first.
    QCoreApplication::exit(code);
}

int Ending::runEventLoop() const
{
    return m_requested ? m_code : QCoreApplication::exec();
}

} // namespace app
