#include "CommonUtils.h"

#include "Change.h"
#include "Startup.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QAtomicInt>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHash>
#include <QMutex>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <QWidget>
#include <cstring>
#include <memory>

namespace {

// Values the product ships with for the customization groups; a key written by the user or the
// operator in the settings file wins over these.
const QHash<QString, QString>& shippedDefaults()
{
    static const QHash<QString, QString> defaults = {
        {QStringLiteral("customize/simtype"), QStringLiteral("SIM")},
        {QStringLiteral("customize/uimtype"), QStringLiteral("UIM")},
        {QStringLiteral("callui/callvoice"), QStringLiteral("1")},
        {QStringLiteral("CBS/enable"), QStringLiteral("false")},
        {QStringLiteral("DualModeCard/HideDoubleModeCardNode"), QStringLiteral("false")},
    };
    return defaults;
}

struct HostState {
    QMutex settingsMutex;
    QString settingsPath;
    std::unique_ptr<QSettings> settings;
    CommonUtils::MessageResponder responder;
    CommonUtils::UrlOpener urlOpener;
    std::function<QString()> imsiProvider;
    QPointer<QWidget> mainWindow;
    QPointer<QObject> layoutPlugin;
    QString libraryPath;
    int frameStyle = 0;
    bool shuttingDown = false;
    bool semicolonSeparator = true;
    QAtomicInt threadCount;
};

HostState& state()
{
    static HostState s;
    return s;
}

QString defaultSettingsPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.config/xframe");
    return dir + QStringLiteral("/xframe.ini");
}

// Caller holds settingsMutex.
QSettings& settingsLocked()
{
    HostState& s = state();
    if (!s.settings) {
        const QString path = s.settingsPath.isEmpty() ? defaultSettingsPath() : s.settingsPath;
        QDir().mkpath(QFileInfo(path).absolutePath());
        s.settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
        if (s.settings->status() != QSettings::NoError)
            qWarning("CommonUtils: settings file %s could not be read; using defaults", qPrintable(path));
    }
    return *s.settings;
}

QMessageBox::StandardButton standardButtonFor(const QString& id)
{
    if (id == QLatin1String("IDS_OK")) return QMessageBox::Ok;
    if (id == QLatin1String("IDS_CANCEL")) return QMessageBox::Cancel;
    if (id == QLatin1String("IDS_YES")) return QMessageBox::Yes;
    if (id == QLatin1String("IDS_NO")) return QMessageBox::No;
    return QMessageBox::NoButton;
}

int showBox(int icon, QWidget* parent, const QString& text, const QString& title,
            const QStringList& buttons, bool modal, int windowFlags, QDialog** dialogOut)
{
    MessageRequest request;
    request.icon = icon;
    request.text = text;
    request.title = title;
    request.buttons = buttons;
    request.modal = modal;
    request.windowFlags = windowFlags;
    request.keptOpen = dialogOut != nullptr;
    if (state().responder)
        return state().responder(request);

    QMessageBox box(static_cast<QMessageBox::Icon>(icon), title, text, QMessageBox::NoButton, parent);
    if (windowFlags)
        box.setWindowFlags(box.windowFlags() | Qt::WindowFlags(windowFlags));
    // Buttons that are not one of the four standard ones still report a standard value, in the
    // order they were given (first: Ok role), so that callers can compare with 0x400.
    QHash<QAbstractButton*, int> values;
    static const QMessageBox::StandardButton fallback[] = {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Ignore};
    int index = 0;
    for (const QString& id : buttons) {
        QMessageBox::StandardButton sb = standardButtonFor(id);
        if (sb == QMessageBox::NoButton)
            sb = fallback[qMin(index, 2)];
        QAbstractButton* b = box.addButton(sb);
        b->setText(Change::tr(id, QStringLiteral("XFramePlugin")));
        values.insert(b, sb);
        ++index;
    }
    if (buttons.isEmpty())
        values.insert(box.addButton(QMessageBox::Ok), QMessageBox::Ok);
    if (dialogOut)
        *dialogOut = &box;
    if (!modal)
        box.setWindowModality(Qt::NonModal);
    box.exec();
    if (dialogOut)
        *dialogOut = nullptr;
    return values.value(box.clickedButton(), QMessageBox::Cancel);
}

} // namespace

QString CommonUtils::GetSettings(const QString& group, const QString& key)
{
    HostState& s = state();
    QMutexLocker lock(&s.settingsMutex);
    const QString path = group + QLatin1Char('/') + key;
    QSettings& settings = settingsLocked();
    if (settings.contains(path))
        return settings.value(path).toString();
    return shippedDefaults().value(path);
}

void CommonUtils::SetSettings(const QString& group, const QString& key, const QString& value)
{
    HostState& s = state();
    QMutexLocker lock(&s.settingsMutex);
    QSettings& settings = settingsLocked();
    settings.setValue(group + QLatin1Char('/') + key, value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        qWarning("CommonUtils: could not write %s/%s to %s", qPrintable(group), qPrintable(key),
                 qPrintable(settings.fileName()));
}

void CommonUtils::SetSettingsFile(const QString& path)
{
    HostState& s = state();
    QMutexLocker lock(&s.settingsMutex);
    s.settings.reset();
    s.settingsPath = path;
}

QString CommonUtils::SettingsFile()
{
    HostState& s = state();
    QMutexLocker lock(&s.settingsMutex);
    return settingsLocked().fileName();
}

int CommonUtils::ShowMessage(int icon, QWidget* parent, const QString& text, const QString& title,
                             const QString& button1, const QString& button2, const QString& button3,
                             bool modal, int windowFlags, QDialog** dialogOut, const QString&, bool)
{
    QStringList buttons;
    for (const QString& b : {button1, button2, button3})
        if (!b.isEmpty())
            buttons << b;
    return showBox(icon, parent, text, title, buttons, modal, windowFlags, dialogOut);
}

int CommonUtils::ShowMessageCustomize(int icon, QWidget* parent, const QString& text, const QString& title,
                                      const QString& button1, const QString& button2, const QString& button3,
                                      bool modal, int windowFlags, QDialog** dialogOut,
                                      const QString& extra, bool flag)
{
    return ShowMessage(icon, parent, text, title, button1, button2, button3, modal, windowFlags,
                       dialogOut, extra, flag);
}

void CommonUtils::SetMessageResponder(MessageResponder responder)
{
    state().responder = std::move(responder);
}

QWidget* CommonUtils::GetMainWindow() { return state().mainWindow; }
void CommonUtils::SetMainWindow(QWidget* window) { state().mainWindow = window; }
bool CommonUtils::IsMiniMode() { return (state().frameStyle & 0x10) != 0; }
bool CommonUtils::IsShuttingDown() { return state().shuttingDown; }
void CommonUtils::SetShuttingDown(bool down) { state().shuttingDown = down; }
int CommonUtils::GetFrameStyle() { return state().frameStyle; }
void CommonUtils::SetFrameStyle(int style) { state().frameStyle = style; }
QObject* CommonUtils::GetLayoutPlugin() { return state().layoutPlugin; }
void CommonUtils::SetLayoutPlugin(QObject* layout) { state().layoutPlugin = layout; }

QString CommonUtils::GetPluginLibraryPath()
{
    HostState& s = state();
    if (!s.libraryPath.isEmpty())
        return s.libraryPath;
    const QByteArray env = qgetenv("XFRAME_LIBRARY_PATH");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    // Run from the build tree: the executable sits at the root of the runnable layout. Installed:
    // the layout lies in <prefix>/lib/xframe beside <prefix>/bin (the executable's path has its
    // symbolic links resolved, so a link to it elsewhere on the PATH finds the same folder).
    const QString appDir = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(appDir + QStringLiteral("/plugins")))
        return appDir;
    return QDir::cleanPath(appDir + QStringLiteral("/" HOST_BIN_TO_LIBDIR));
}

void CommonUtils::SetPluginLibraryPath(const QString& path) { state().libraryPath = path; }

bool CommonUtils::IsPluginAvailable(const QString& guid)
{
    PluginContainer* container = Startup::GetPluginContainer();
    return container && container->HasPlugin(guid);
}

bool CommonUtils::MakeCall(const QString& number, int)
{
    static const QRegularExpression dialable(QStringLiteral("^\\+?[0-9*#]+$"));
    if (!dialable.match(number).hasMatch()) {
        qWarning("CommonUtils: refusing to call '%s': not a dialable number", qPrintable(number));
        return false;
    }
    return OpenUrl(QStringLiteral("tel:") + number);
}

bool CommonUtils::IsUrlAllowed(const QString& url)
{
    const QUrl u(url.trimmed(), QUrl::StrictMode);
    if (!u.isValid())
        return false;
    const QString scheme = u.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https")
        || scheme == QLatin1String("mailto") || scheme == QLatin1String("tel");
}

bool CommonUtils::OpenUrl(const QString& url)
{
    if (!IsUrlAllowed(url)) {
        qWarning("CommonUtils: refusing to open '%s': scheme not allowed", qPrintable(url));
        return false;
    }
    if (state().urlOpener)
        return state().urlOpener(url.trimmed());
    return QDesktopServices::openUrl(QUrl(url.trimmed()));
}

void CommonUtils::SetUrlOpener(UrlOpener opener) { state().urlOpener = std::move(opener); }

QString CommonUtils::getIMSI()
{
    return state().imsiProvider ? state().imsiProvider() : QString();
}

void CommonUtils::SetImsiProvider(std::function<QString()> provider) { state().imsiProvider = std::move(provider); }

void CommonUtils::ParanthesisCorrection(QString& text)
{
    // A bracket is a neutral character: between right-to-left words the bidi algorithm mirrors it,
    // next to digits or Latin text it may end up on the wrong side. A right-to-left mark after each
    // bracket ties it to the surrounding right-to-left run.
    static const QChar rlm(0x200F);
    static const QChar lrm(0x200E);
    QString out;
    out.reserve(text.size() + 8);
    // A number written "+49..." would show its plus sign at the far end of a right-to-left line;
    // a left-to-right mark in front keeps it where it was typed.
    if (text.size() > 1 && text.at(0) == QLatin1Char('+') && text.at(1).isDigit())
        out.append(lrm);
    for (const QChar c : qAsConst(text)) {
        out.append(c);
        if (c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char('[') || c == QLatin1Char(']'))
            out.append(rlm);
    }
    text = out;
}

QString CommonUtils::ParseAndCreateHyperLinks(const QString& text)
{
    // Order matters: web addresses first (they may contain digits and '@'), then e-mail, then
    // phone numbers of at least 5 digits so that times and small counts stay plain text.
    static const QRegularExpression pattern(QStringLiteral(
        "(?<web>\\b(?:https?://|www\\.)[^\\s<>\"]+[^\\s<>\".,;:!?)\\]])"
        "|(?<mail>\\b[A-Za-z0-9._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,}\\b)"
        "|(?<tel>(?<![\\w&#])\\+?[0-9][0-9 ()-]{3,}[0-9](?![\\w;]))"));
    QString out;
    int last = 0;
    auto it = pattern.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.midRef(last, m.capturedStart() - last);
        const QString found = m.captured(0);
        QString href;
        if (!m.captured(QStringLiteral("web")).isEmpty()) {
            href = found.startsWith(QLatin1String("www."), Qt::CaseInsensitive) ? QStringLiteral("http://") + found : found;
        } else if (!m.captured(QStringLiteral("mail")).isEmpty()) {
            href = QStringLiteral("mailto:") + found;
        } else {
            QString digits = found;
            digits.remove(QRegularExpression(QStringLiteral("[ ()-]")));
            if (digits.count(QRegularExpression(QStringLiteral("[0-9]"))) < 5) {
                out += found;
                last = m.capturedEnd();
                continue;
            }
            href = QStringLiteral("tel:") + digits;
        }
        href.replace(QLatin1Char('"'), QStringLiteral("%22"));
        out += QStringLiteral("<a href=\"%1\">%2</a>").arg(href, found);
        last = m.capturedEnd();
    }
    out += text.midRef(last);
    return out;
}

void CommonUtils::setElidedTextForWidgetText(QWidget* widget, const QString& text, int width)
{
    if (!widget)
        return;
    const QString elided = widget->fontMetrics().elidedText(text, Qt::ElideRight, qMax(0, width));
    if (auto* b = qobject_cast<QAbstractButton*>(widget))
        b->setText(elided);
    else
        widget->setProperty("text", elided);
    if (elided != text)
        widget->setToolTip(text);
}

void CommonUtils::SetSMSSeperatorConfigValue(bool semicolon) { state().semicolonSeparator = semicolon; }
QString CommonUtils::GetSMSSeperator() { return state().semicolonSeparator ? QStringLiteral(";") : QStringLiteral(","); }

void CommonUtils::ThreadCountInc(const QString&, const QString&) { state().threadCount.ref(); }
void CommonUtils::ThreadCountDec(const QString&, const QString&) { state().threadCount.deref(); }
int CommonUtils::ThreadCount() { return state().threadCount.loadAcquire(); }

bool CommonUtils::WaitForThreadToStop(QThread* thread, int ms)
{
    if (!thread)
        return true;
    thread->quit();
    return thread->wait(static_cast<unsigned long>(qMax(0, ms)));
}

void CommonUtils::MoveCentre(QWidget* dialog)
{
    if (!dialog)
        return;
    QRect area;
    if (QWidget* main = GetMainWindow())
        area = main->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        dialog->move(area.center() - dialog->rect().center());
}

bool ZSDK_memset(void* dest, size_t destSize, int value, size_t count)
{
    if (!dest || count > destSize)
        return false;
    std::memset(dest, value, count);
    return true;
}
