#pragma once

// common/: what every part of the program shares and that knows no window: the text codec,
// file and path helpers, errors, the message box wrapper and this seam to the machine.

#include <QString>

class QObject;

namespace rdp {

// Message box style codes (icon + buttons) and result codes, as the program uses them.
namespace MsgStyle {
inline constexpr int OkOnly = 0;
inline constexpr int Critical = 16;         // error icon, OK
inline constexpr int QuestionOkCancel = 33; // question icon, OK and Cancel
inline constexpr int Exclamation = 48;      // exclamation icon, OK
inline constexpr int ExclamationYesNo = 52; // exclamation icon, Yes and No
inline constexpr int Information = 64;      // information icon, OK
} // namespace MsgStyle

namespace MsgResult {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MsgResult

// The monitor the program's windows open on, in the units they are laid out in: its size,
// its twips per (logical) pixel, its place on the desktop and its work area (what panels
// leave of it; an empty work area stands for the whole monitor).
struct ScreenMetrics {
    double widthTwips = 0;
    double heightTwips = 0;
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
    double leftTwips = 0;
    double topTwips = 0;
    double workLeftTwips = 0;
    double workTopTwips = 0;
    double workWidthTwips = 0;
    double workHeightTwips = 0;
};

// Everything the program asks of the machine it runs on. Production installs the Qt
// implementation (or the console one in rdp-store); tests install a fake that records
// messages, answers them from a script and never ends the process.
class Platform {
public:
    virtual ~Platform() = default;

    // The folder that holds the program file, without a trailing "/" except for the
    // root of a file system or of a mounted volume.
    virtual QString ProgramFolder() const = 0;

    // The folder of the run-location record, ending with "/"; empty text when unavailable.
    virtual QString SystemFolder() const = 0;

    // A modal message box. `owner` is the window that raises it (a QWidget), or null for
    // the active window. Returns one of the MsgResult codes.
    virtual int MessageBox(const QString& text, int style, const QString& title,
                           QObject* owner) = 0;

    virtual void Beep() = 0;

    // Ends the program at once: no window's closing handler runs and nothing is saved.
    // In production this never returns; a test fake records the call and returns, so
    // callers call it last and return right after.
    virtual void EndProgram() = 0;

    virtual ScreenMetrics Screen() const = 0;
};

// The installed platform. Installing null restores nothing: callers must install one
// before the first use (main, the store tool and every test fixture do).
Platform& platform();
void setPlatform(Platform* p);

} // namespace rdp
