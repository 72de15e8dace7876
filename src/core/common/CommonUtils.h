// The host library's general services: settings, message boxes, frame queries, links, calls and
// the plug-in data path. Everything is static; the frame (or a test) configures the pieces that
// depend on the running host through the Set... functions.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QObject;
class QThread;
class QWidget;

// What a message box would show; a test responder receives it instead of a modal box.
struct MessageRequest {
    int icon = 0;
    QString text;
    QString title;
    QStringList buttons;   // resource ids as passed by the caller, empty ones left out
    bool modal = true;
    int windowFlags = 0;   // added to the box's own flags
    bool keptOpen = false; // the caller gave a place to keep the open box (a dialog out-pointer)
};

class CommonUtils
{
public:
    // ---- settings (one INI file; shipped defaults for the customization groups) ----
    static QString GetSettings(const QString& group, const QString& key);
    static void SetSettings(const QString& group, const QString& key, const QString& value);
    // Points the settings at another file (tests, portable installs). Empty restores the default.
    static void SetSettingsFile(const QString& path);
    static QString SettingsFile();

    // ---- message boxes ----
    // Returns the pressed QMessageBox::StandardButton (0x400 OK, 0x4000 Yes, 0x10000 No, ...).
    static int ShowMessage(int icon, QWidget* parent, const QString& text, const QString& title,
                           const QString& button1, const QString& button2, const QString& button3,
                           bool modal = true, int windowFlags = 0, QDialog** dialogOut = nullptr,
                           const QString& extra = QString(), bool flag = false);
    static int ShowMessageCustomize(int icon, QWidget* parent, const QString& text, const QString& title,
                                    const QString& button1, const QString& button2, const QString& button3,
                                    bool modal = true, int windowFlags = 0, QDialog** dialogOut = nullptr,
                                    const QString& extra = QString(), bool flag = false);
    using MessageResponder = std::function<int(const MessageRequest&)>;
    // Installed by tests so that no test ever blocks on a modal box; null restores real boxes.
    static void SetMessageResponder(MessageResponder responder);

    // ---- frame ----
    static QWidget* GetMainWindow();
    static void SetMainWindow(QWidget* window);
    static bool IsMiniMode();
    static bool IsShuttingDown();
    static void SetShuttingDown(bool down);
    static int GetFrameStyle();           // bit 4 set: mini frame
    static void SetFrameStyle(int style);
    static QObject* GetLayoutPlugin();   // implements ILayoutPlugin
    static void SetLayoutPlugin(QObject* layout);

    // Directory under which "plugins/<name>/", "translations/" and "config/" lie.
    static QString GetPluginLibraryPath();
    static void SetPluginLibraryPath(const QString& path);
    static bool IsPluginAvailable(const QString& guid);

    // ---- calls and links ----
    static bool MakeCall(const QString& number, int type);
    // Opens only http, https, mailto and tel URLs; anything else is refused (message texts are
    // untrusted input).
    static bool OpenUrl(const QString& url);
    static bool IsUrlAllowed(const QString& url);
    using UrlOpener = std::function<bool(const QString&)>;
    static void SetUrlOpener(UrlOpener opener);   // tests: observe instead of launching a browser

    static QString getIMSI();
    static void SetImsiProvider(std::function<QString()> provider);

    // ---- texts ----
    // Keeps brackets and digits in logical order inside right-to-left text.
    static void ParanthesisCorrection(QString& text);
    // Turns web addresses, e-mail addresses and phone numbers of an (already escaped) plain text
    // into HTML anchors. Nothing else becomes a link.
    static QString ParseAndCreateHyperLinks(const QString& text);
    static void setElidedTextForWidgetText(QWidget* widget, const QString& text, int width);

    static void SetSMSSeperatorConfigValue(bool semicolon);
    static QString GetSMSSeperator();     // ";" or ","

    // ---- threads and dialogs ----
    static void ThreadCountInc(const QString& file, const QString& function);
    static void ThreadCountDec(const QString& file, const QString& function);
    static int ThreadCount();
    static bool WaitForThreadToStop(QThread* thread, int ms);
    static void MoveCentre(QWidget* dialog);
};

// Fills `count` bytes of `dest` (capacity `destSize`) with `value`; false when it would overflow.
bool ZSDK_memset(void* dest, size_t destSize, int value, size_t count);
