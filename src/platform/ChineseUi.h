#pragma once

class QApplication;

namespace platform {

// The interface speaks Chinese whatever the session's locale: Qt's own
// buttons and dialogs are translated, and a font with Chinese glyphs is used.
void setUpChineseUi(QApplication& application);

} // namespace platform
