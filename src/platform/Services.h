#pragma once

namespace platform {

class Clock;
class Dialogs;
class Desktop;
class MediaPlayer;
class Speech;
class SpreadsheetPrinter;
class Autostart;
class Notifier;
class Tray;

// What the windows may ask of the operating system. main() fills it with the
// real implementations, tests with fakes; nobody owns them through this.
struct Services {
    Clock* clock = nullptr;
    Dialogs* dialogs = nullptr;
    Desktop* desktop = nullptr;
    MediaPlayer* mediaPlayer = nullptr;
    Speech* speech = nullptr;
    SpreadsheetPrinter* printer = nullptr;
    Autostart* autostart = nullptr;
    // The alarm's own player: sounding it must not stop a film or music, nor
    // 轻松时刻 silence the alarm.
    MediaPlayer* alarmPlayer = nullptr;
    Notifier* notifier = nullptr; // none: nothing is notified
    Tray* tray = nullptr;         // none: no tray icon
};

} // namespace platform
