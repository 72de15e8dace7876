// xframe: the host frame. Loads the page plug-ins, shows them, and with the simulated modem
// offers a Device menu that plays the network and the hardware.

#include "Change.h"
#include "CommonUtils.h"
#include "DeviceChoice.h"
#include "FrameWindow.h"
#include "SettingsDialog.h"
#include "SingleInstance.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLabel>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>

#include <memory>

Q_LOGGING_CATEGORY(lcStartup, "xframe.startup")

namespace {
// The message store a frame works on: the simulated modem's database, or the data folder it
// lies in by default.
QString storeKey()
{
    const QString database = qEnvironmentVariable("ZSDK_DATABASE");
    return database.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) : database;
}
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("xframe"));
    QApplication::setOrganizationName(QStringLiteral("xframe"));
    // The desktop matches the window to its menu entry by this name, and takes the icon from the
    // theme where the program is installed; the built-in copy serves the build tree.
    QApplication::setDesktopFileName(QStringLiteral("org.xframe.XFrame"));
    QIcon icon = QIcon::fromTheme(QStringLiteral("org.xframe.XFrame"));
    if (icon.isNull()) {
        icon.addFile(QStringLiteral(":/xframe/icon-48.png"));
        icon.addFile(QStringLiteral(":/xframe/icon-128.png"));
    }
    QApplication::setWindowIcon(icon);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Mobile broadband connection manager frame"));
    parser.addHelpOption();
    QCommandLineOption screenshot(QStringLiteral("screenshot"), QStringLiteral("Render the window to FILE (PNG) and exit."), QStringLiteral("FILE"));
    QCommandLineOption device(QStringLiteral("device"),
                              QStringLiteral("Device: sim (simulated modem), modemmanager (a real modem through ModemManager) "
                                             "or auto (ModemManager when it has a modem with messaging, else the simulated modem; "
                                             "the default, or $ZSDK_DEVICE)."),
                              QStringLiteral("NAME"));
    QCommandLineOption language(QStringLiteral("language"), QStringLiteral("Language (en, de, ar)."), QStringLiteral("LANG"));
    QCommandLineOption delay(QStringLiteral("screenshot-delay"), QStringLiteral("Milliseconds to wait before the screenshot."), QStringLiteral("MS"), QStringLiteral("2500"));
    QCommandLineOption verbose(QStringLiteral("verbose"), QStringLiteral("Print the plug-ins' debug lines."));
    QCommandLineOption settings(QStringLiteral("settings"), QStringLiteral("Open the settings dialog at start (with --screenshot, render the dialog)."));
    parser.addOptions({screenshot, device, language, delay, verbose, settings});
    parser.process(app);
    // The plug-ins log every operation at debug level; a person running the frame sees warnings
    // only, unless asked otherwise.
    if (!parser.isSet(verbose) && !qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    QString deviceName = parser.value(device);
    if (deviceName.isEmpty())
        deviceName = qEnvironmentVariableIsSet("ZSDK_DEVICE") ? qEnvironmentVariable("ZSDK_DEVICE") : QStringLiteral("auto");
    if (!ZsdkDevice::Choose(deviceName)) {
        qCritical("xframe: unknown device '%s' (sim, modemmanager or auto)", qPrintable(deviceName));
        return 2;
    }
    if (parser.isSet(language) && !Change::LoadLanguage(parser.value(language)))
        qWarning("xframe: language '%s' not available; staying with English", qPrintable(parser.value(language)));
    QApplication::setLayoutDirection(Change::IsRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);

    // One frame per store: a later start brings the running frame forward and ends. A screenshot
    // run renders and ends by itself; it neither waits for nor stands in the way of a frame that
    // is open on the same store.
    std::unique_ptr<SingleInstance> guard;
    if (!parser.isSet(screenshot)) {
        guard = std::make_unique<SingleInstance>(storeKey());
        if (guard->Claim() == SingleInstance::Forwarded) {
            qCDebug(lcInstance, "a frame already runs on this store; it was asked to come forward");
            return 0;
        }
    }

    // Where a real modem's received messages go is the page's save mode ("ReceviceMode": 1 PC,
    // 0 card), read when the service starts.
    ZsdkDevice::ModemOptions modemOptions;
    modemOptions.saveToPc = CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("ReceviceMode")) != QLatin1String("0");
    ZsdkDevice::ConfigureModem(modemOptions);
    // Starts the device service; with "auto" this asks ModemManager, at most the service timeout.
    const QString inUse = ZsdkDevice::InUse();
    FrameWindow window(inUse == QLatin1String("Simulated modem"));
    auto* deviceLabel = new QLabel(inUse, &window);
    deviceLabel->setObjectName(QStringLiteral("XFrame_DeviceLabel"));
    window.statusBar()->addPermanentWidget(deviceLabel);
    ZsdkDevice::SetNoteHandler([&window](const QString& text) {
        QMetaObject::invokeMethod(&window, [&window, text] { window.statusBar()->showMessage(text, 20000); }, Qt::QueuedConnection);
    });
    if (guard) {
        QObject::connect(guard.get(), &SingleInstance::raiseRequested, &window, [&window] {
            qCDebug(lcInstance, "another start asked this frame to come forward");
            window.BringToFront();
        });
    }
    window.show();
    const int running = window.StartPlugins();
    qCDebug(lcStartup, "%d page plug-in(s) running from %s", running, qPrintable(CommonUtils::GetPluginLibraryPath()));
    const QString problem = ZsdkDevice::Problem();
    if (!problem.isEmpty())
        window.statusBar()->showMessage(problem, 20000);
    window.CheckMessageStore();
    std::unique_ptr<SettingsDialog> settingsDialog;
    if (parser.isSet(settings)) {
        settingsDialog.reset(window.CreateSettingsDialog());
        settingsDialog->show();
    }

    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(parser.value(delay).toInt(), &window, [&window, &settingsDialog, file] {
            QWidget* shown = settingsDialog ? static_cast<QWidget*>(settingsDialog.get()) : &window;
            const bool ok = shown->grab().save(file, "PNG");
            settingsDialog.reset();
            if (!ok)
                qCritical("xframe: could not write %s", qPrintable(file));
            ZsdkDevice::SetNoteHandler(nullptr);
            window.Shutdown();
            QApplication::exit(ok ? 0 : 1);
        });
    }
    const int rc = app.exec();
    settingsDialog.reset();
    ZsdkDevice::SetNoteHandler(nullptr);
    window.Shutdown();
    return rc;
}
