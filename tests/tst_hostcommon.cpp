// The host library as the plug-in uses it: translations, settings, message boxes, links, the
// menu builder, the tool bar and the plug-in container.

#include "Change.h"
#include "CommonUtils.h"
#include "ExtendLineEdit.h"
#include "HostInterfaces.h"
#include "QBuildMenu.h"
#include "Startup.h"
#include "ToolBarLogic.h"
#include "ToolButtonStrip.h"
#include "VlSound.h"

#include <QAction>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {
// A host built separately calls each interface operation by its virtual-table slot. Under the
// Itanium C++ ABI a pointer to a virtual member function holds 1 + the function's byte offset in
// the virtual table (and a this-adjustment), so the slot can be read back from the pointer without
// trusting the order in which the header happens to list the operations.
template <typename Member>
int vtableSlot(Member member)
{
    struct Representation {
        std::ptrdiff_t ptr;
        std::ptrdiff_t adjust;
    };
    static_assert(sizeof(Member) == sizeof(Representation), "not an Itanium member-function pointer");
    Representation rep;
    std::memcpy(&rep, &member, sizeof rep);
    if ((rep.ptr & 1) == 0 || rep.adjust != 0)
        return -1;   // not virtual, or not in the interface's primary table
    return int((rep.ptr - 1) / std::ptrdiff_t(sizeof(void*)));
}
}

class TestHostCommon : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void translation_data();
    void translation();
    void translationSplitsShortcut_data();
    void translationSplitsShortcut();
    void languageSwitchAndFallback();

    void settingsRoundTripAndDefaults();
    void settingsFileUnreadable();

    void messageResponderReceivesRequest();
    void realBoxAnswersThePressedButton_data();
    void realBoxAnswersThePressedButton();

    void urlAllowList_data();
    void urlAllowList();
    void hyperlinks_data();
    void hyperlinks();
    void paranthesisCorrectionMarksBrackets();

    void menuBuilderReadsListview();
    void menuBuilderMissingSection();
    void menuBuilderMalformedFile();

    void containerLookups();
    void toolBarItems();
    void toolBarIconsFollowTheDirection();
    void toolBarShrinksIntoAMenu_data();
    void toolBarShrinksIntoAMenu();
    void soundWithoutFileDoesNotPlay();
    void memsetRefusesOverflow();

    void hostInterfaceSlots_data();
    void hostInterfaceSlots();

private:
    QTemporaryDir m_dir;
};

void TestHostCommon::initTestCase()
{
    QVERIFY(m_dir.isValid());
    CommonUtils::SetPluginLibraryPath(QStringLiteral(TEST_BUILD_ROOT));
    QVERIFY2(Change::LoadLanguage(QStringLiteral("en")), "English language file missing from the build tree");
}

void TestHostCommon::cleanup()
{
    CommonUtils::SetMessageResponder(nullptr);
    CommonUtils::SetPluginLibraryPath(QStringLiteral(TEST_BUILD_ROOT));
    Change::LoadLanguage(QStringLiteral("en"));
}

void TestHostCommon::translation_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a folder name") << "IDS_TREE_LINBOX" << "SMSUIPlugin" << "Inbox";
    QTest::newRow("a text with a shortcut shows only the text") << "IDS_MENU_NEW" << "SMSUIPlugin" << "New";
    QTest::newRow("a frame button") << "IDS_OK" << "XFramePlugin" << "OK";
    QTest::newRow("an id nobody translated shows the id") << "IDS_NOT_THERE" << "SMSUIPlugin" << "IDS_NOT_THERE";
    QTest::newRow("the right id in the wrong group shows the id") << "IDS_TREE_LINBOX" << "XFramePlugin" << "IDS_TREE_LINBOX";
}

void TestHostCommon::translation()
{
    QFETCH(QString, id);
    QFETCH(QString, group);
    QFETCH(QString, expected);
    QCOMPARE(Change::tr(id, group), expected);
}

void TestHostCommon::translationSplitsShortcut_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("hasKey");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeySequence>("key");
    QTest::newRow("New carries Ctrl+N") << "IDS_MENU_NEW" << true << "New" << QKeySequence(Qt::CTRL | Qt::Key_N);
    QTest::newRow("Delete carries the Delete key") << "IDS_MENU_DELETE" << true << "Delete" << QKeySequence(Qt::Key_Delete);
    QTest::newRow("Search has no shortcut") << "IDS_MENU_SEARCH" << false << "Search" << QKeySequence();
    QTest::newRow("a missing id has no shortcut") << "IDS_NOPE" << false << "IDS_NOPE" << QKeySequence();
}

void TestHostCommon::translationSplitsShortcut()
{
    QFETCH(QString, id);
    QFETCH(bool, hasKey);
    QString text;
    QKeySequence key(Qt::Key_F1);   // must be overwritten
    QCOMPARE(Change::tr(id, QStringLiteral("SMSUIPlugin"), text, key), hasKey);
    QTEST(text, "text");
    QTEST(key, "key");
}

void TestHostCommon::languageSwitchAndFallback()
{
    QVERIFY(Change::LoadLanguage(QStringLiteral("de")));
    QCOMPARE(Change::tr(QStringLiteral("IDS_TREE_LINBOX"), QStringLiteral("SMSUIPlugin")), QStringLiteral("Posteingang"));
    QVERIFY(!Change::IsRightToLeft());
    QVERIFY(Change::LoadLanguage(QStringLiteral("ar")));
    QVERIFY(Change::IsRightToLeft());
    QVERIFY(Change::tr(QStringLiteral("IDS_TREE_LINBOX"), QStringLiteral("SMSUIPlugin")) != QStringLiteral("Inbox"));
    // A language without a file keeps the one in force.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("language file .*host_xx.qm missing")));
    QVERIFY(!Change::LoadLanguage(QStringLiteral("xx")));
    QCOMPARE(Change::CurrentLanguage(), QStringLiteral("ar"));
    QVERIFY(Change::AvailableLanguages().contains(QStringLiteral("de")));
}

void TestHostCommon::settingsRoundTripAndDefaults()
{
    const QString file = m_dir.filePath(QStringLiteral("settings/roundtrip.ini"));
    CommonUtils::SetSettingsFile(file);
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlert")), QString());
    // Shipped customization defaults answer until someone writes the key.
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("customize"), QStringLiteral("simtype")), QStringLiteral("SIM"));
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("CBS"), QStringLiteral("enable")), QStringLiteral("false"));
    CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlertFile"), QStringLiteral("/tmp/a b/ä.wav"));
    CommonUtils::SetSettings(QStringLiteral("CBS"), QStringLiteral("enable"), QStringLiteral("true"));
    // A fresh reader of the same file sees what was written.
    CommonUtils::SetSettingsFile(QString());
    CommonUtils::SetSettingsFile(file);
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("SoundAlertFile")), QStringLiteral("/tmp/a b/ä.wav"));
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("CBS"), QStringLiteral("enable")), QStringLiteral("true"));
    QVERIFY(QFile::exists(file));
    CommonUtils::SetSettingsFile(QString());
}

void TestHostCommon::settingsFileUnreadable()
{
    // A directory where the file should be: nothing can be read, defaults answer, nothing crashes.
    const QString path = m_dir.filePath(QStringLiteral("adir.ini"));
    QVERIFY(QDir().mkpath(path));
    CommonUtils::SetSettingsFile(path);
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("customize"), QStringLiteral("uimtype")), QStringLiteral("UIM"));
    QCOMPARE(CommonUtils::GetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("VisionAlert")), QString());
    // A choice that cannot be kept is said so, naming the key and the file.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not write SMSSERVICE/VisionAlert to .*adir\\.ini")));
    CommonUtils::SetSettings(QStringLiteral("SMSSERVICE"), QStringLiteral("VisionAlert"), QStringLiteral("1"));
    CommonUtils::SetSettingsFile(QString());
}

void TestHostCommon::messageResponderReceivesRequest()
{
    MessageRequest seen;
    CommonUtils::SetMessageResponder([&seen](const MessageRequest& r) {
        seen = r;
        return int(QMessageBox::No);
    });
    const int answer = CommonUtils::ShowMessage(QMessageBox::Question, nullptr, QStringLiteral("Delete?"), QStringLiteral("Prompt"),
                                                QStringLiteral("IDS_YES"), QString(), QStringLiteral("IDS_NO"));
    QCOMPARE(answer, 0x10000);
    QCOMPARE(seen.text, QStringLiteral("Delete?"));
    QCOMPARE(seen.icon, int(QMessageBox::Question));
    QCOMPARE(seen.buttons, QStringList({QStringLiteral("IDS_YES"), QStringLiteral("IDS_NO")}));
}

// Without a responder a real box is shown; the caller learns which of the named buttons was
// pressed as the standard button it stands for (a button of another name takes a standard value
// by its place). The box is answered by clicking it from the event loop it runs.
void TestHostCommon::realBoxAnswersThePressedButton_data()
{
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("press");   // index into buttons
    QTest::addColumn<int>("answer");
    QTest::newRow("OK of OK and Cancel") << QStringList{"IDS_OK", "IDS_CANCEL"} << 0 << int(QMessageBox::Ok);
    QTest::newRow("Cancel of OK and Cancel") << QStringList{"IDS_OK", "IDS_CANCEL"} << 1 << int(QMessageBox::Cancel);
    QTest::newRow("Yes of Yes and No") << QStringList{"IDS_YES", "IDS_NO"} << 0 << int(QMessageBox::Yes);
    QTest::newRow("No of Yes and No") << QStringList{"IDS_YES", "IDS_NO"} << 1 << int(QMessageBox::No);
    QTest::newRow("a button of its own, first") << QStringList{"IDS_BTN_CLOSE", "IDS_CANCEL"} << 0 << int(QMessageBox::Ok);
    QTest::newRow("Cancel beside a button of its own") << QStringList{"IDS_BTN_CLOSE", "IDS_CANCEL"} << 1 << int(QMessageBox::Cancel);
    QTest::newRow("the second of two buttons of their own") << QStringList{"IDS_BTN_CLOSE", "IDS_BTN_RETRY"} << 1 << int(QMessageBox::Cancel);
}

void TestHostCommon::realBoxAnswersThePressedButton()
{
    QFETCH(QStringList, buttons);
    QFETCH(int, press);
    CommonUtils::SetMessageResponder(nullptr);
    const QString wanted = Change::tr(buttons.at(press), QStringLiteral("XFramePlugin"));
    QStringList shown;
    int tries = 0;
    QTimer clicker;
    clicker.setInterval(10);
    connect(&clicker, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++tries > 500) {
                // No box became the modal one: close whatever box is up so that the test ends
                // (the comparisons below then fail).
                clicker.stop();
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* other = qobject_cast<QMessageBox*>(w))
                        other->reject();
            }
            return;
        }
        clicker.stop();
        QAbstractButton* target = nullptr;
        for (QAbstractButton* b : box->buttons()) {
            shown << b->text();
            if (b->text() == wanted)
                target = b;
        }
        if (target)
            target->click();
        else
            box->reject();
    });
    clicker.start();
    const int answer = CommonUtils::ShowMessage(QMessageBox::Question, nullptr, QStringLiteral("Go on?"), QStringLiteral("Prompt"),
                                                buttons.at(0), QString(), buttons.at(1));
    QVERIFY2(shown.contains(wanted), qPrintable(shown.join(QLatin1Char(','))));
    QTEST(answer, "answer");
}

void TestHostCommon::urlAllowList_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("web page") << "https://example.com/a?b=c" << true;
    QTest::newRow("plain http") << "http://example.com" << true;
    QTest::newRow("mail") << "mailto:anna@example.com" << true;
    QTest::newRow("phone") << "tel:+491712345678" << true;
    QTest::newRow("upper-case scheme") << "HTTPS://example.com" << true;
    QTest::newRow("local file") << "file:///etc/passwd" << false;
    QTest::newRow("script") << "javascript:alert(1)" << false;
    QTest::newRow("no scheme") << "example.com" << false;
    QTest::newRow("custom handler") << "smb://server/share" << false;
    QTest::newRow("empty") << "" << false;
}

void TestHostCommon::urlAllowList()
{
    QFETCH(QString, url);
    QFETCH(bool, allowed);
    QStringList opened;
    CommonUtils::SetUrlOpener([&opened](const QString& u) { opened << u; return true; });
    if (!allowed)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("refusing to open")));
    QCOMPARE(CommonUtils::OpenUrl(url), allowed);
    QCOMPARE(opened.size(), allowed ? 1 : 0);
    CommonUtils::SetUrlOpener(nullptr);
}

void TestHostCommon::hyperlinks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("hrefs");
    QTest::newRow("a web address") << "see https://example.com/x now" << QStringList{"https://example.com/x"};
    QTest::newRow("www without scheme") << "www.example.com." << QStringList{"http://www.example.com"};
    QTest::newRow("an e-mail address") << "write to anna@example.com" << QStringList{"mailto:anna@example.com"};
    QTest::newRow("a phone number with spaces") << "call +49 171 2345678" << QStringList{"tel:+491712345678"};
    QTest::newRow("a time is not a number") << "meet at 12:30" << QStringList{};
    QTest::newRow("escaped markup stays text") << "&lt;b&gt;hi&lt;/b&gt;" << QStringList{};
    QTest::newRow("javascript is never a link") << "javascript:alert(1)" << QStringList{};
}

void TestHostCommon::hyperlinks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, hrefs);
    const QString html = CommonUtils::ParseAndCreateHyperLinks(text);
    QRegularExpression anchor(QStringLiteral("<a href=\"([^\"]*)\">"));
    QStringList found;
    for (auto it = anchor.globalMatch(html); it.hasNext();)
        found << it.next().captured(1);
    QCOMPARE(found, hrefs);
    QString plain = html;
    plain.remove(QRegularExpression(QStringLiteral("</?a[^>]*>")));
    QCOMPARE(plain, text);   // only anchors are added; the text itself is unchanged
}

void TestHostCommon::paranthesisCorrectionMarksBrackets()
{
    QString text = QStringLiteral("a (b) c");
    CommonUtils::ParanthesisCorrection(text);
    QCOMPARE(text, QStringLiteral("a (\u200Fb)\u200F c"));
    QString none = QStringLiteral("abc");
    CommonUtils::ParanthesisCorrection(none);
    QCOMPARE(none, QStringLiteral("abc"));
    QString number = QStringLiteral("+447700900123");
    CommonUtils::ParanthesisCorrection(number);
    QCOMPARE(number, QStringLiteral("\u200E+447700900123"));
    QString plus = QStringLiteral("+ x");
    CommonUtils::ParanthesisCorrection(plus);
    QCOMPARE(plus, QStringLiteral("+ x"));
}

void TestHostCommon::menuBuilderReadsListview()
{
    QWidget parent;
    MENU::QBuildMenu builder(QStringLiteral("SMSUIPlugin"), QStringLiteral("Config.xml"));
    QList<MENU::MenuActionItem> actions;
    std::unique_ptr<QMenu> menu(builder.CreateMenuBar(QStringLiteral("listview"), &parent, &actions));
    QVERIFY2(menu, qPrintable(builder.errorString()));
    QStringList ids;
    for (const auto& a : actions)
        ids << a.id;
    for (const char* id : {"IDS_MENU_NEW", "IDS_MENU_EDIT", "IDS_MENU_SEND", "IDS_MENU_REPLY", "IDS_MENU_FORWARD",
                           "IDS_MENU_CALL", "IDS_MENU_VIDEO_CALL", "IDS_MENU_SAVENUMBER", "IDS_MENU_DELETE",
                           "IDS_MENU_CLEARALL", "IDS_MENU_RECOVER", "IDS_EXPORT_SMSSELECT", "IDS_EXPORT_SMSALL",
                           "IDS_MENU_SEARCH", "IDS_MENU_MOVE2", "IDS_MENU_COPY2", "IDS_MENU_MOVEAll2", "IDS_MENU_COPYAll2"})
        QVERIFY2(ids.contains(QLatin1String(id)), id);
    // Each of the four submenus holds the three targets, tagged with the submenu's English name.
    for (const char* sub : {"Move to", "Copy to", "Move All to", "Copy All to"}) {
        QStringList targets;
        for (const auto& a : actions)
            if (a.submenu == QLatin1String(sub))
                targets << a.id;
        QCOMPARE(targets, QStringList({"IDS_TREE_LOCAL", "IDS_TREE_SIM", "IDS_TREE_DEVICE"}));
    }
    // Texts are translated and carry no shortcut part.
    for (const auto& a : actions) {
        if (a.id == QLatin1String("IDS_MENU_NEW"))
            QCOMPARE(a.action->text(), QStringLiteral("New"));
    }
}

void TestHostCommon::menuBuilderMissingSection()
{
    MENU::QBuildMenu builder(QStringLiteral("SMSUIPlugin"), QStringLiteral("Config.xml"));
    QList<MENU::MenuActionItem> actions;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no menu 'nothere'")));
    QVERIFY(!builder.CreateMenuBar(QStringLiteral("nothere"), nullptr, &actions));
    QVERIFY(actions.isEmpty());
}

void TestHostCommon::menuBuilderMalformedFile()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("config"));
    QFile f(m_dir.filePath(QStringLiteral("config/Broken.xml")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<menus><menu name=\"listview\"><item id=\"IDS_MENU_NEW\"/><item </menus>");
    f.close();
    CommonUtils::SetPluginLibraryPath(m_dir.path());
    MENU::QBuildMenu builder(QStringLiteral("SMSUIPlugin"), QStringLiteral("Broken.xml"));
    QList<MENU::MenuActionItem> actions;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Broken.xml: line")));
    QVERIFY(!builder.CreateMenuBar(QStringLiteral("listview"), nullptr, &actions));
    QVERIFY(actions.isEmpty());
}

class FakeCall : public QObject, public ICallUIPlugin
{
    Q_OBJECT
    Q_INTERFACES(ICallUIPlugin)
public:
    bool MakeCall(const QString&, int) override { return true; }
    bool IsCallActive() override { return false; }
    bool IsCallNotificationVisible() override { return false; }
    void RaiseCallNotification() override {}
};

void TestHostCommon::containerLookups()
{
    Startup::SetPluginContainer(nullptr);
    QVERIFY(!CommonUtils::IsPluginAvailable(QStringLiteral("58A0343A-93DB-4ea2-92B4-C51589629381")));
    PluginContainer container;
    FakeCall call;
    container.RegisterPlugin(QStringLiteral("58A0343A-93DB-4ea2-92B4-C51589629381"), 0x1001, &call);
    Startup::SetPluginContainer(&container);
    QCOMPARE(Startup::GetPluginContainer(), &container);
    QObject* found = container.GetPlugin(QStringLiteral("58a0343a-93db-4EA2-92b4-c51589629381"), 0x1001);
    QCOMPARE(found, static_cast<QObject*>(&call));
    QVERIFY(qobject_cast<ICallUIPlugin*>(found));
    QVERIFY(!qobject_cast<IAddrBookUIPlugin*>(found));
    QVERIFY(!container.GetPlugin(QStringLiteral("58A0343A-93DB-4ea2-92B4-C51589629381"), 0x1002));
    QVERIFY(!container.GetPlugin(QStringLiteral("EB7C34BA-E88D-40fd-AEE9-9D6C4114A45D"), 0x1001));
    QVERIFY(CommonUtils::IsPluginAvailable(QStringLiteral("58A0343A-93DB-4ea2-92B4-C51589629381")));
    // The listing names each plug-in once, whatever the case it was registered in, with its codes
    // in order; a slot registered empty is not a plug-in, and taking one GUID out leaves the rest.
    container.RegisterPlugin(QStringLiteral("58a0343a-93db-4ea2-92b4-c51589629381"), 0x0, &call);
    container.RegisterPlugin(QStringLiteral("EB7C34BA-E88D-40fd-AEE9-9D6C4114A45D"), 0x1001, nullptr);
    container.RegisterPlugin(QStringLiteral("11111111-2222-3333-4444-555555555555"), 0x2011, &call);
    QCOMPARE(container.PluginGuids(), QStringList({QStringLiteral("11111111-2222-3333-4444-555555555555"),
                                                   QStringLiteral("58A0343A-93DB-4EA2-92B4-C51589629381")}));
    QCOMPARE(container.PluginCount(), 2);
    QCOMPARE(container.PluginCodes(QStringLiteral("58A0343A-93DB-4ea2-92B4-C51589629381")), QList<int>({0x0, 0x1001}));
    QCOMPARE(container.PluginCodes(QStringLiteral("EB7C34BA-E88D-40fd-AEE9-9D6C4114A45D")), QList<int>());
    QVERIFY(!container.HasPlugin(QStringLiteral("EB7C34BA-E88D-40fd-AEE9-9D6C4114A45D")));
    container.UnregisterPlugin(QStringLiteral("11111111-2222-3333-4444-555555555555"));
    QCOMPARE(container.PluginCount(), 1);
    container.UnregisterPlugin(QStringLiteral("58A0343A-93DB-4ea2-92B4-C51589629381"));
    QCOMPARE(container.PluginCodes(QStringLiteral("58A0343A-93DB-4ea2-92B4-C51589629381")), QList<int>());
    QVERIFY(!CommonUtils::IsPluginAvailable(QStringLiteral("58A0343A-93DB-4ea2-92B4-C51589629381")));
    // A container that goes away is no longer handed out; another one going away leaves the
    // current one in place.
    {
        PluginContainer other;
    }
    QCOMPARE(Startup::GetPluginContainer(), &container);
    {
        PluginContainer shortLived;
        Startup::SetPluginContainer(&shortLived);
    }
    QCOMPARE(Startup::GetPluginContainer(), static_cast<PluginContainer*>(nullptr));
    QVERIFY(!CommonUtils::IsPluginAvailable(QStringLiteral("58A0343A-93DB-4ea2-92B4-C51589629381")));
    Startup::SetPluginContainer(nullptr);
}

namespace {
// A tool bar made by ToolBarLogic with the parts it hands back.
struct BuiltToolBar {
    QButtonGroup* group = nullptr;
    QHBoxLayout* layout = nullptr;
    SearchLineEdit* search = nullptr;
    QLabel* label = nullptr;
    bool create(QWidget* parent, QList<ToolItem>& items)
    {
        return ToolBarLogic::CreateToolBar(QStringLiteral("SMSUIPlugin"), parent, items, &group, &layout, &search, &label);
    }
};
} // namespace

void TestHostCommon::toolBarItems()
{
    QWidget strip;
    QList<ToolItem> items;
    for (int id : {9000, 9001, 9006}) {
        ToolItem item;
        item.id = id;
        item.tooltip = id == 9006 ? QStringLiteral("IDS_TIP_SEARCH") : QStringLiteral("IDS_TIP_NEW");
        item.enabled = QStringLiteral("missing.png");
        items << item;
    }
    BuiltToolBar bar;
    QVERIFY(bar.create(&strip, items));
    QVERIFY(bar.group && bar.layout && bar.search && bar.label);
    QVERIFY(items.at(2).bSearch);
    QVERIFY(!items.at(0).bSearch);
    QCOMPARE(bar.group->button(9001), qobject_cast<QAbstractButton*>(items.at(1).button));
    // A tool bar's buttons: flat until the pointer is over them, not a row of raised buttons.
    for (const ToolItem& item : qAsConst(items))
        QVERIFY(qobject_cast<QToolButton*>(item.button)->autoRaise());
    QCOMPARE(ToolBarLogic::EnableDisableItem(QStringLiteral("SMSUIPlugin"), items, 9001, false), 0);
    QVERIFY(!items.at(1).button->isEnabled());
    QCOMPARE(ToolBarLogic::EnableDisableItem(QStringLiteral("SMSUIPlugin"), items, 9005, false), 1);
    QVERIFY(bar.search->isHidden());
    ToolBarLogic::ShowHideSearchBox(&strip, bar.layout, bar.search, true);
    QVERIFY(!bar.search->isHidden());
    QSignalSpy clicked(bar.group, &QButtonGroup::idClicked);
    QTest::mouseClick(items.at(0).button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toInt(), 9000);
    ToolBarLogic::DestroyToolButtonGroup(items, &bar.group);
    QVERIFY(!bar.group);
    QVERIFY(!items.at(0).button);
}

// A tool button's picture points the way the page reads: as drawn left to right, mirrored right
// to left, and back again.
void TestHostCommon::toolBarIconsFollowTheDirection()
{
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("plugins/SMSUIPlugin")));
    QImage arrow(4, 2, QImage::Format_ARGB32);
    arrow.fill(Qt::blue);
    arrow.setPixel(0, 0, qRgb(255, 0, 0));   // the tip, on the left
    QVERIFY(arrow.save(m_dir.filePath(QStringLiteral("plugins/SMSUIPlugin/arrow.png"))));
    CommonUtils::SetPluginLibraryPath(m_dir.path());
    QWidget strip;
    QList<ToolItem> items;
    ToolItem item;
    item.id = 9000;
    item.tooltip = QStringLiteral("IDS_TIP_NEW");
    item.enabled = QStringLiteral("arrow.png");
    items << item;
    BuiltToolBar bar;
    QVERIFY(bar.create(&strip, items));
    auto* button = qobject_cast<QToolButton*>(items.first().button);
    QVERIFY(button && !button->icon().isNull());
    auto tipOnTheLeft = [button] {
        const QImage shown = button->icon().pixmap(QSize(4, 2)).toImage();
        return shown.pixelColor(0, 0) == QColor(Qt::red);
    };
    QVERIFY(tipOnTheLeft());
    ToolBarLogic::ChangeToolBarIconDirection(QStringLiteral("SMSUIPlugin"), items, true, &bar.label);
    QVERIFY(!tipOnTheLeft());
    QCOMPARE(button->icon().pixmap(QSize(4, 2)).toImage().pixelColor(3, 0), QColor(Qt::red));
    ToolBarLogic::ChangeToolBarIconDirection(QStringLiteral("SMSUIPlugin"), items, false, &bar.label);
    QVERIFY(tipOnTheLeft());
    ToolBarLogic::DestroyToolButtonGroup(items, &bar.group);
    CommonUtils::SetPluginLibraryPath(QStringLiteral(TEST_BUILD_ROOT));
}

void TestHostCommon::toolBarShrinksIntoAMenu_data()
{
    QTest::addColumn<int>("direction");
    QTest::newRow("left to right") << int(Qt::LeftToRight);
    QTest::newRow("right to left") << int(Qt::RightToLeft);
}

// A strip narrower than its buttons keeps every command: the first buttons stay in the row, the
// others are offered by ">>" with their enabled state, and choosing one is a click of its button.
void TestHostCommon::toolBarShrinksIntoAMenu()
{
    QFETCH(int, direction);
    QWidget strip;
    strip.setLayoutDirection(Qt::LayoutDirection(direction));
    QList<ToolItem> items;
    const char* tips[] = {"IDS_TIP_NEW", "IDS_TIP_DELETE", "IDS_TIP_SEND", "IDS_TIP_REPLY", "IDS_TIP_FORWARD", "IDS_TIP_SEARCH"};
    for (int i = 0; i < 6; ++i) {
        ToolItem item;
        item.id = 9000 + i;
        item.tooltip = QLatin1String(tips[i]);
        items << item;
    }
    BuiltToolBar bar;
    QVERIFY(bar.create(&strip, items));
    auto* row = strip.findChild<ToolButtonStrip*>(QStringLiteral("SMSUIPlugin_ToolButtons"));
    QVERIFY(row);
    const int full = row->sizeHint().width();
    // The row asks for all its buttons but can do with the ">>" button alone.
    QVERIFY(row->minimumSizeHint().width() < items.at(0).button->sizeHint().width() * 2);
    strip.resize(full + 40, 30);
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    QCOMPARE(row->OverflowButtons().size(), 0);
    QVERIFY(row->MoreButton()->isHidden());
    for (const ToolItem& item : qAsConst(items))
        QVERIFY(item.button->isVisible());

    strip.resize(full / 2, 30);
    QTRY_VERIFY(!row->OverflowButtons().isEmpty());
    const QList<QAbstractButton*> shown = row->ShownButtons();
    const QList<QAbstractButton*> hidden = row->OverflowButtons();
    QCOMPARE(shown.size() + hidden.size(), items.size());
    QVERIFY(!shown.isEmpty());
    QCOMPARE(shown.first(), qobject_cast<QAbstractButton*>(items.first().button));   // the row keeps its order
    QVERIFY(row->MoreButton()->isVisible());
    for (QAbstractButton* b : shown)
        QVERIFY(b->isVisible() && row->rect().contains(b->geometry()));
    for (QAbstractButton* b : hidden)
        QVERIFY(!b->isVisible());
    QVERIFY(row->rect().contains(row->MoreButton()->geometry()));
    // The ">>" button sits at the end of the row: after the last shown button in reading order.
    const QRect last = shown.last()->geometry(), more = row->MoreButton()->geometry();
    QVERIFY(direction == Qt::LeftToRight ? more.left() >= last.right() : more.right() <= last.left());

    // The menu offers the hidden commands in their order, disabled where their button is.
    QCOMPARE(ToolBarLogic::EnableDisableItem(QStringLiteral("SMSUIPlugin"), items, bar.group->id(hidden.first()), false), 0);
    QMenu* menu = row->MoreButton()->menu();
    QVERIFY(menu);
    QMetaObject::invokeMethod(menu, "aboutToShow");
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), hidden.size());
    for (int i = 0; i < hidden.size(); ++i) {
        QCOMPARE(actions.at(i)->text(), hidden.at(i)->text());
        QCOMPARE(actions.at(i)->isEnabled(), hidden.at(i)->isEnabled());
    }
    QVERIFY(!actions.first()->isEnabled());
    QSignalSpy clicked(bar.group, &QButtonGroup::idClicked);
    actions.last()->trigger();
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toInt(), bar.group->id(hidden.last()));

    // The ">>" button names itself in the language now in use.
    QVERIFY(Change::LoadLanguage(QStringLiteral("de")));
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), row->MoreButton()->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(row->MoreButton(), &help);
    QCOMPARE(row->MoreButton()->toolTip(), QStringLiteral("Weitere Befehle"));
    QVERIFY(Change::LoadLanguage(QStringLiteral("en")));

    // Wide again: every button back in the row.
    strip.resize(full + 40, 30);
    QTRY_VERIFY(row->OverflowButtons().isEmpty());
    QVERIFY(row->MoreButton()->isHidden());
    ToolBarLogic::DestroyToolButtonGroup(items, &bar.group);
}

void TestHostCommon::soundWithoutFileDoesNotPlay()
{
    VlSound sound(m_dir.filePath(QStringLiteral("none.wav")));
    QSignalSpy finished(&sound, &VlSound::finished);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("does not exist")));
    QVERIFY(!sound.Play());
    QVERIFY(!sound.IsPlaying());
    sound.Stop();
    QCOMPARE(finished.count(), 0);
}

void TestHostCommon::memsetRefusesOverflow()
{
    char block[8];
    std::memset(block, 'x', sizeof block);
    QVERIFY(ZSDK_memset(block, sizeof block, 0, 8));
    QCOMPARE(block[7], '\0');
    QVERIFY(!ZSDK_memset(block, sizeof block, 1, 9));
    QCOMPARE(block[0], '\0');
    QVERIFY(!ZSDK_memset(nullptr, 8, 0, 1));
}

void TestHostCommon::hostInterfaceSlots_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("expected");
    // Slots 0 and 1 are the two destructors of every interface.
    QTest::newRow("IDestroyEvent: release") << vtableSlot(&IDestroyEvent::OnDestroy) << 2;
    QTest::newRow("IDestroyEvent: drop device callbacks") << vtableSlot(&IDestroyEvent::UnSDKRegisterEvent) << 3;
    QTest::newRow("IBasePlugin: start") << vtableSlot(&IBasePlugin::OnPluginStart) << 2;
    QTest::newRow("IBasePlugin: state") << vtableSlot(&IBasePlugin::GetPluginState) << 3;
    QTest::newRow("IBasePlugin: init") << vtableSlot(&IBasePlugin::Init) << 4;
    QTest::newRow("IBasePlugin: type") << vtableSlot(&IBasePlugin::GetPluginType) << 5;
    QTest::newRow("IBasePlugin: title") << vtableSlot(&IBasePlugin::GetPluginTitle) << 6;
    QTest::newRow("IBasePlugin: icon") << vtableSlot(&IBasePlugin::GetPluginIcon) << 7;
    QTest::newRow("IBasePlugin: name") << vtableSlot(&IBasePlugin::GetPluginName) << 8;
    QTest::newRow("IBasePlugin: version") << vtableSlot(&IBasePlugin::GetPluginVersion) << 9;
    QTest::newRow("IBasePlugin: query interface") << vtableSlot(&IBasePlugin::QueryInterface) << 10;
    QTest::newRow("IUIPlugin: show window") << vtableSlot(&IUIPlugin::ShowWindow) << 11;
    QTest::newRow("IUIPlugin: window state") << vtableSlot(&IUIPlugin::GetWindowState) << 12;
    QTest::newRow("IUIPlugin: hide window") << vtableSlot(&IUIPlugin::HideWindow) << 13;
    QTest::newRow("IUIPlugin: window rectangle") << vtableSlot(&IUIPlugin::SetWindowRect) << 14;
    QTest::newRow("IUIPlugin: window handle") << vtableSlot(&IUIPlugin::GetWindowHandle) << 15;
    QTest::newRow("IUIPlugin: command") << vtableSlot(&IUIPlugin::OnPluginCommand) << 16;
    QTest::newRow("INotify: notify") << vtableSlot(&INotify::Notify) << 2;
    QTest::newRow("ISMSUIService: send to number") << vtableSlot(&ISMSUIService::SendSMSToNumber) << 2;
    QTest::newRow("ISMSUIService: unread count") << vtableSlot(&ISMSUIService::GetUnreadSMSCount) << 3;
    QTest::newRow("ISMSUIService: network") << vtableSlot(&ISMSUIService::IsNetworkAvailable) << 4;
    QTest::newRow("ISettingUIPlugin: apply") << vtableSlot(&ISettingUIPlugin::ApplySetting) << 2;
    QTest::newRow("ISettingUIPlugin: cancel") << vtableSlot(&ISettingUIPlugin::CancelSetting) << 3;
    QTest::newRow("ISettingUIPlugin: show page") << vtableSlot(&ISettingUIPlugin::ShowSettingPage) << 4;
    QTest::newRow("ISettingUIPlugin: name") << vtableSlot(&ISettingUIPlugin::GetSettingName) << 5;
    QTest::newRow("ISettingUIPlugin: valid") << vtableSlot(&ISettingUIPlugin::IsSettingValid) << 6;
    QTest::newRow("ISettingUIPlugin: page shown") << vtableSlot(&ISettingUIPlugin::IsPageShown) << 7;
    QTest::newRow("INotifyService: register") << vtableSlot(&INotifyService::RegisterNotify) << 2;
    QTest::newRow("INotifyService: send to one target") << vtableSlot(&INotifyService::SendNotify) << 4;
    QTest::newRow("INotifyService: broadcast") << vtableSlot(&INotifyService::BroadcastNotify) << 6;
    QTest::newRow("IMainFrameUIService: main-frame widget") << vtableSlot(&IMainFrameUIService::GetMainFrameWidget) << 3;
    QTest::newRow("IMainFrameUIService: bring to front") << vtableSlot(&IMainFrameUIService::BringToFront) << 4;
    QTest::newRow("IMiniFrameUIService: show plug-in") << vtableSlot(&IMiniFrameUIService::ShowPlugin) << 2;
    QTest::newRow("IMainToolbar: select") << vtableSlot(&IMainToolbar::SelectItem) << 2;
    QTest::newRow("IMainMenuUI: select") << vtableSlot(&IMainMenuUI::SelectMenuItem) << 6;
    QTest::newRow("ILayoutPlugin: show page") << vtableSlot(&ILayoutPlugin::ShowPage) << 2;
    QTest::newRow("IAddrBookUIPlugin: save number") << vtableSlot(&IAddrBookUIPlugin::SaveNumber) << 2;
    QTest::newRow("IAddrBookUIPlugin: pick numbers") << vtableSlot(&IAddrBookUIPlugin::PickNumbers) << 3;
    QTest::newRow("ICallUIPlugin: call notification shown") << vtableSlot(&ICallUIPlugin::IsCallNotificationVisible) << 4;
    QTest::newRow("ICallUIPlugin: raise call notification") << vtableSlot(&ICallUIPlugin::RaiseCallNotification) << 5;
    QTest::newRow("IPluginContainer: look up") << vtableSlot(&IPluginContainer::GetPlugin) << 9;
}

void TestHostCommon::hostInterfaceSlots()
{
    QFETCH(int, slot);
    QFETCH(int, expected);
    QCOMPARE(slot, expected);
}

QTEST_MAIN(TestHostCommon)
#include "tst_hostcommon.moc"
