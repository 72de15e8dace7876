// The frame as a desktop program: what `cmake --install` puts under a prefix starts from its menu
// entry; a second start brings the running frame forward.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kAppId = QStringLiteral("org.xframe.XFrame");

// The key/value pairs of the [Desktop Entry] group.
QMap<QString, QString> readDesktopEntry(const QString& path)
{
    QMap<QString, QString> entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entry;
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QLatin1String("[Desktop Entry]");
        else if (inGroup && line.contains(QLatin1Char('=')) && !line.startsWith(QLatin1Char('#')))
            entry.insert(line.section(QLatin1Char('='), 0, 0).trimmed(), line.section(QLatin1Char('='), 1).trimmed());
    }
    return entry;
}

// The Exec line as a program and its arguments, without the field codes (%f, %U, ...) that the
// desktop would replace with files or URLs.
QStringList execCommand(const QString& exec)
{
    QStringList words = QProcess::splitCommand(exec);
    words.erase(std::remove_if(words.begin(), words.end(), [](const QString& w) {
                    return w.size() == 2 && w.at(0) == QLatin1Char('%') && w.at(1) != QLatin1Char('%');
                }),
                words.end());
    for (QString& w : words)
        w.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return words;
}

// Runs a tool to completion; its exit status, or -1 when it could not run. `output` receives
// everything it printed.
int runTool(const QString& program, const QStringList& args, QString* output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForStarted(10000)) {
        *output = p.errorString();
        return -1;
    }
    p.waitForFinished(120000);
    *output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// An environment like a fresh desktop session: the user's folders under `home`, nothing that
// would point the frame at the build tree.
QProcessEnvironment sessionEnvironment(const QString& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XFRAME_LIBRARY_PATH"));
    env.remove(QStringLiteral("ZSDK_DATABASE"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    QDir().mkpath(home + QStringLiteral("/run"));
    QFile::setPermissions(home + QStringLiteral("/run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    return env;
}

// A frame started as a child process, its error output collected as it comes.
class Frame
{
public:
    Frame(const QProcessEnvironment& env, const QStringList& args = {})
    {
        m_process.setProcessEnvironment(env);
        QObject::connect(&m_process, &QProcess::readyReadStandardError, [this] {
            m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
        });
        m_process.start(QStringLiteral(TEST_BUILD_ROOT "/xframe"), args);
    }
    ~Frame()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    QProcess& process() { return m_process; }
    QString log()
    {
        m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
        return m_log;
    }
    // Where it listens, from its "listens on" line; empty while it does not.
    QString socketPath()
    {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("listens on (\\S+)")).match(log());
        return m.hasMatch() ? m.captured(1) : QString();
    }
    bool finishedWithSuccess(int timeoutMs)
    {
        return m_process.waitForFinished(timeoutMs) && m_process.exitStatus() == QProcess::NormalExit
            && m_process.exitCode() == 0;
    }

private:
    QProcess m_process;
    QString m_log;
};

const QString kRaised = QStringLiteral("another start asked this frame to come forward");

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void installedFilesAreValid_data();
    void installedFilesAreValid();
    void installedProgramStartsFromItsMenuEntry();
    void secondStartRaisesTheFirstFrame();
    void settingsScreenshotShowsTheDialog();

private:
    QTemporaryDir m_prefix;
    QTemporaryDir m_home;
};

void TestDesktop::initTestCase()
{
    QVERIFY(m_prefix.isValid());
    QVERIFY(m_home.isValid());
    QString output;
    const int rc = runTool(QStringLiteral(CMAKE_COMMAND_PATH),
                           {QStringLiteral("--install"), QStringLiteral(TEST_BUILD_ROOT), QStringLiteral("--prefix"), m_prefix.path()},
                           &output);
    QVERIFY2(rc == 0, qPrintable(output));
}

void TestDesktop::installedFilesAreValid_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("validator");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("silentWhenGood");
    // desktop-file-validate succeeds with hints (e.g. a category that no menu shows); any line
    // it prints counts.
    QTest::newRow("menu entry") << QStringLiteral("share/applications/%1.desktop").arg(kAppId)
                                << QStringLiteral("desktop-file-validate") << QStringList() << true;
    // --strict: an informational note fails too; --no-net: the build machine may be offline.
    QTest::newRow("software centre description")
        << QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kAppId) << QStringLiteral("appstreamcli")
        << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net"), QStringLiteral("--strict")} << false;
}

void TestDesktop::installedFilesAreValid()
{
    QFETCH(QString, file);
    QFETCH(QString, validator);
    QFETCH(QStringList, args);
    QFETCH(bool, silentWhenGood);
    const QString path = m_prefix.filePath(file);
    QVERIFY2(QFileInfo::exists(path), qPrintable(path + QStringLiteral(" was not installed")));
    const QString tool = QStandardPaths::findExecutable(validator);
    QVERIFY2(!tool.isEmpty(), qPrintable(validator + QStringLiteral(" is missing; scripts/deps.sh installs it")));
    QString output;
    const int rc = runTool(tool, args << path, &output);
    QVERIFY2(rc == 0, qPrintable(output));
    if (silentWhenGood)
        QVERIFY2(output.trimmed().isEmpty(), qPrintable(output));
}

void TestDesktop::installedProgramStartsFromItsMenuEntry()
{
    const QMap<QString, QString> entry = readDesktopEntry(m_prefix.filePath(QStringLiteral("share/applications/%1.desktop").arg(kAppId)));
    QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));

    // The icon the entry names is in the hicolor theme, scalable and as pixels.
    const QString icon = entry.value(QStringLiteral("Icon"));
    QVERIFY(!icon.isEmpty());
    const QString themeDir = m_prefix.filePath(QStringLiteral("share/icons/hicolor/"));
    QVERIFY(QFileInfo::exists(themeDir + QStringLiteral("scalable/apps/") + icon + QStringLiteral(".svg")));
    for (int size : {48, 128}) {
        const QImage image(themeDir + QStringLiteral("%1x%1/apps/").arg(size) + icon + QStringLiteral(".png"));
        QCOMPARE(image.size(), QSize(size, size));
    }

    // The desktop runs the Exec line with the prefix's bin folder on the PATH.
    QStringList command = execCommand(entry.value(QStringLiteral("Exec")));
    QVERIFY(!command.isEmpty());
    const QString bin = m_prefix.filePath(QStringLiteral("bin"));
    const QString program = QStandardPaths::findExecutable(command.takeFirst(), {bin});
    QVERIFY2(!program.isEmpty(), "the Exec line's program is not in <prefix>/bin");

    QProcessEnvironment env = sessionEnvironment(m_home.path());
    env.insert(QStringLiteral("PATH"), bin + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    // Only the frame's own start-up lines, not every plug-in call.
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*.debug=false;xframe.startup.debug=true"));
    const QString png = m_home.filePath(QStringLiteral("installed.png"));
    QProcess frame;
    frame.setProcessEnvironment(env);
    frame.setWorkingDirectory(m_home.path());
    frame.start(program, command << QStringLiteral("--screenshot") << png << QStringLiteral("--screenshot-delay")
                                 << QStringLiteral("300"));
    QVERIFY2(frame.waitForStarted(10000), qPrintable(frame.errorString()));
    QVERIFY(frame.waitForFinished(90000));
    const QString log = QString::fromLocal8Bit(frame.readAllStandardError());
    QVERIFY2(frame.exitStatus() == QProcess::NormalExit && frame.exitCode() == 0, qPrintable(log));
    // It found the SMS page in the installed library folder, not in the build tree.
    const QString libDir = QDir::cleanPath(m_prefix.filePath(QStringLiteral(TEST_INSTALL_LIBDIR)));
    QVERIFY2(log.contains(QStringLiteral("1 page plug-in(s) running from %1").arg(libDir)), qPrintable(log));
    const QImage shot(png);
    QVERIFY2(!shot.isNull(), "no screenshot was written");
    QVERIFY(shot.width() > 400 && shot.height() > 300);
}

void TestDesktop::secondStartRaisesTheFirstFrame()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcessEnvironment env = sessionEnvironment(home.path());
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*.debug=false;xframe.instance.debug=true"));

    auto first = std::make_unique<Frame>(env);
    QTRY_VERIFY_WITH_TIMEOUT(!first->socketPath().isEmpty(), 60000);
    const QString socket = first->socketPath();
    QVERIFY2(socket.startsWith(home.path() + QStringLiteral("/run/")), qPrintable(socket));
    {
        Frame second(env);
        QVERIFY2(second.finishedWithSuccess(30000), qPrintable(second.log()));
        QVERIFY2(second.log().contains(QStringLiteral("asked to come forward")), qPrintable(second.log()));
        // The running frame answered, and the later start waited for that answer.
        QVERIFY2(!second.log().contains(QStringLiteral("did not confirm")), qPrintable(second.log()));
        QVERIFY(second.socketPath().isEmpty());
    }
    QTRY_VERIFY2_WITH_TIMEOUT(first->log().contains(kRaised), qPrintable(first->log()), 10000);
    QCOMPARE(first->log().count(kRaised), 1);

    // A frame that crashes leaves its socket behind; the next start takes it over instead of
    // knocking at a door nobody opens.
    first->process().kill();
    QVERIFY(first->process().waitForFinished(10000));
    QVERIFY(QFileInfo::exists(socket));
    first.reset();
    Frame third(env);
    QTRY_VERIFY_WITH_TIMEOUT(third.socketPath() == socket, 60000);
    QVERIFY2(third.log().contains(QStringLiteral("taking over")), qPrintable(third.log()));
    {
        Frame fourth(env);
        QVERIFY2(fourth.finishedWithSuccess(30000), qPrintable(fourth.log()));
    }
    QTRY_VERIFY2_WITH_TIMEOUT(third.log().contains(kRaised), qPrintable(third.log()), 10000);

    // A screenshot run renders beside the running frame instead of handing over to it.
    const QString png = home.filePath(QStringLiteral("beside.png"));
    {
        Frame shot(env, {QStringLiteral("--screenshot"), png, QStringLiteral("--screenshot-delay"), QStringLiteral("200")});
        QVERIFY2(shot.finishedWithSuccess(60000), qPrintable(shot.log()));
    }
    QVERIFY(!QImage(png).isNull());
    QCOMPARE(third.log().count(kRaised), 1);

    // A frame on another store (its own data folder) is a frame of its own.
    QTemporaryDir otherHome;
    QProcessEnvironment otherEnv = env;
    otherEnv.insert(QStringLiteral("XDG_DATA_HOME"), otherHome.path());
    Frame other(otherEnv);
    QTRY_VERIFY_WITH_TIMEOUT(!other.socketPath().isEmpty(), 60000);
    QVERIFY(other.socketPath() != socket);
}

// `--settings --screenshot` renders the settings dialog, so that its layout can be looked at in
// each language without clicking through the frame.
void TestDesktop::settingsScreenshotShowsTheDialog()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString png = home.filePath(QStringLiteral("settings.png"));
    Frame shot(sessionEnvironment(home.path()), {QStringLiteral("--settings"), QStringLiteral("--language"), QStringLiteral("de"),
                                                 QStringLiteral("--screenshot"), png, QStringLiteral("--screenshot-delay"), QStringLiteral("300")});
    QVERIFY2(shot.finishedWithSuccess(60000), qPrintable(shot.log()));
    const QImage image(png);
    QVERIFY2(!image.isNull(), "no screenshot was written");
    // The dialog, not the frame's window (980 pixels wide) behind it.
    QVERIFY2(image.width() > 300 && image.width() < 800 && image.height() > 300,
             qPrintable(QStringLiteral("%1 x %2").arg(image.width()).arg(image.height())));
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
