#pragma once

#include "setup/SetupContext.h"

#include <QWidget>
#include <memory>

namespace Ui {
class TutorialWindow;
}

namespace setup {

// splxcz "视频录像帮助系统": six topics, each with a recording played full
// screen in the video window.
class TutorialWindow : public QWidget {
    Q_OBJECT
public:
    explicit TutorialWindow(SetupContext& context, QWidget* parent = nullptr);
    ~TutorialWindow() override;

    // Plays shlx/lx<n>.webm; a missing or unplayable one is reported and
    // nothing else happens.
    void runTutorial(int n);

    static QString tutorialPath(const QString& resourcePath, int n);

private:
    void reportError(const QString& message);

    std::unique_ptr<Ui::TutorialWindow> ui;
    SetupContext& m_context;
};

} // namespace setup
