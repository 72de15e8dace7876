// Figures for the performance budget: 10,000 PC messages plus a full SIM and device memory.
// Each interaction is timed in this run next to filling and sorting a bare QTableWidget with the
// same rows, the baseline every figure must beat.

#include "Change.h"
#include "CommonUtils.h"
#include "ExtendLineEdit.h"
#include "SMSSettingUILogic.h"
#include "SMSStatusUILogic.h"
#include "SMSTypes.h"
#include "SMSUIMainDlg.h"
#include "SMSUITableWidget.h"
#include "SimControl.h"
#include "zsdk.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const int kPcMessages = 10000;

QString timeFor(int i)
{
    return QDateTime(QDate(2026, 1, 1), QTime(0, 0)).addSecs(i * 97LL).toString(QStringLiteral("yyyyMMddhhmmss"));
}

void seed()
{
    static const char* words[] = {"meeting", "Lunch", "parcel", "call me", "Birthday", "invoice", "train", "weekend"};
    ZSDK_SMSSrv_BeginTransaction(MEM_PC);
    for (int i = 0; i < kPcMessages; ++i) {
        const int node = i % 10 < 7 ? NODE_LOCAL_INBOX : (i % 10 < 9 ? NODE_LOCAL_OUTBOX : NODE_LOCAL_DRAFT);
        const QString number = QStringLiteral("+4917%1").arg(1000000 + (i * 7919) % 900000);
        const QString text = QStringLiteral("%1 #%2: %3").arg(QLatin1String(words[i % 8])).arg(i).arg(QString(40 + i % 60, QLatin1Char('x')));
        const QString time = timeFor(i);
        SMSDeviceRecord r{};
        r.iMsgId = -1;
        r.iNode = node;
        r.iOrigNode = node;
        r.iReadFlag = i % 3 == 0 ? 1 : 0;
        r.iAttrA = 3;
        r.pNumber = const_cast<ZSDK_WCHAR*>(number.utf16());
        r.pContent = const_cast<ZSDK_WCHAR*>(text.utf16());
        for (int k = 0; k < 14; ++k)
            r.szTime[k] = time.at(k).unicode();
        int32_t id = -1, flag = 1;
        ZSDK_SMSSrv_SaveMsg(&r, &id, &flag);
    }
    ZSDK_SMSSrv_EndTransaction(MEM_PC);
    ZsdkSim::FillMemory(MEM_SIM);
    ZsdkSim::FillMemory(MEM_DEVICE);
    ZsdkSim::WaitForEvents(10000);
}

// The bare-widget baseline: the same rows as plain texts in one plain QTableWidget, filled and
// sorted by time.
double baselineMs(const QList<SMSLocalRecordPtr>& rows)
{
    QElapsedTimer t;
    t.start();
    QTableWidget table(rows.size(), 3);
    int row = 0;
    for (const SMSLocalRecordPtr& rec : rows) {
        table.setItem(row, 0, new QTableWidgetItem(rec->strName));
        table.setItem(row, 1, new QTableWidgetItem(rec->strContent));
        table.setItem(row, 2, new QTableWidgetItem(rec->strTime));
        ++row;
    }
    table.sortItems(2, Qt::DescendingOrder);
    return t.nsecsElapsed() / 1e6;
}

QList<SMSLocalRecordPtr> recordsOf(SMSStatusUILogic* store, const QList<int>& folders)
{
    QList<SMSLocalRecordPtr> out;
    for (int folder : folders)
        out += store->getSmsBuffer(folder).values();
    return out;
}

struct Figure {
    QString what;
    double ms;
    double goal;
    double baseline;
    int rows;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_LOGGING_RULES", "default.debug=false");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = QStringLiteral(BENCH_BUILD_ROOT);
    CommonUtils::SetPluginLibraryPath(root);
    CommonUtils::SetSettingsFile(dir.filePath(QStringLiteral("xframe.ini")));
    CommonUtils::SetMessageResponder([](const MessageRequest&) { return int(QMessageBox::Ok); });
    Change::LoadLanguage(QStringLiteral("en"));
    ZsdkSim::Options o;
    o.databasePath = dir.filePath(QStringLiteral("bench.sqlite"));
    o.seed = false;
    o.simReadDelayMs = 0;
    o.deviceReadDelayMs = 0;
    ZsdkSim::Configure(o);
    seed();

    QList<Figure> figures;
    QElapsedTimer t;

    t.start();
    SMSUIMainDlg* window = SMSUIMainDlg::Instance();
    SMSStatusUILogic::Instance()->InitStatusLogic();
    window->CreateSMSMainLayout();
    window->resize(1000, 700);
    window->show();
    QApplication::processEvents();
    const double startup = t.nsecsElapsed() / 1e6;

    SMSStatusUILogic* store = SMSStatusUILogic::Existing();
    // Start-up builds every Local table: each folder once and the Local root with all of them.
    const QList<int> localFolders{0, 1, 2, 3, 4, 5, 10, 15};
    QList<SMSLocalRecordPtr> allLocalRows = recordsOf(store, localFolders);
    allLocalRows += allLocalRows;
    figures.append({QStringLiteral("start-up to the Inbox shown"), startup, 1000, baselineMs(allLocalRows), int(allLocalRows.size())});
    const QList<SMSLocalRecordPtr> inboxRows = recordsOf(store, {NODE_LOCAL_INBOX});
    const double baseline = baselineMs(inboxRows);
    const int inboxCount = inboxRows.size();

    SMSUITableWidget* table = window->Table(NODE_LOCAL_INBOX);
    t.restart();
    table->selectRow(table->rowCount() / 2);
    window->onClickTableRow(table->rowCount() / 2);
    QApplication::processEvents();
    figures.append({QStringLiteral("row click (marks read, preview)"), t.nsecsElapsed() / 1e6, 100, baseline, inboxCount});

    auto* search = window->findChild<SearchLineEdit*>(QStringLiteral("SMSUIPlugin_SearchLineEdit"));
    t.restart();
    search->setText(QStringLiteral("lu"));
    emit search->textEdited(QStringLiteral("lu"));
    QApplication::processEvents();
    figures.append({QStringLiteral("search keystroke (from the full Inbox)"), t.nsecsElapsed() / 1e6, 100, baseline, inboxCount});
    t.restart();
    search->setText(QStringLiteral("lun"));
    emit search->textEdited(QStringLiteral("lun"));
    QApplication::processEvents();
    figures.append({QStringLiteral("search keystroke extending the text"), t.nsecsElapsed() / 1e6, 100, baseline, inboxCount});
    search->setText(QString());
    emit search->textEdited(QString());
    QApplication::processEvents();

    ZsdkSim::Incoming in;
    in.number = QStringLiteral("+491712345678");
    in.text = QStringLiteral("a new message");
    const int before = table->rowCount();
    ZsdkSim::InjectMessage(in);
    ZsdkSim::WaitForEvents(10000);
    t.restart();
    while (table->rowCount() == before && t.elapsed() < 5000)
        QApplication::processEvents();
    figures.append({QStringLiteral("received message into the Inbox"), t.nsecsElapsed() / 1e6, 100, baseline, inboxCount});

    // A real rebuild: the received message changed the folders the Local root lists.
    const QList<SMSLocalRecordPtr> rootRows = recordsOf(store, localFolders);
    t.restart();
    window->syncSMSTableWithBuffers(NODE_LOCAL_ROOT);
    figures.append({QStringLiteral("full re-sync of the Local root"), t.nsecsElapsed() / 1e6, 100, baselineMs(rootRows),
                    window->Table(NODE_LOCAL_ROOT)->rowCount()});

    std::printf("%-42s %7s %10s %10s %7s\n", "figure", "rows", "ms", "bare table", "goal");
    bool ok = true;
    for (const Figure& f : figures) {
        const bool met = f.ms <= f.goal && f.ms <= f.baseline;
        ok = ok && met;
        std::printf("%-42s %7d %10.1f %10.1f %7.0f%s\n", qPrintable(f.what), f.rows, f.ms, f.baseline, f.goal,
                    met ? "" : "  <-- over budget");
    }
    std::printf("bare table: the same rows filled into one plain QTableWidget and sorted by time, in this run\n");
    store->unSDKRegisterEvent();
    SMSUIMainDlg::Release();
    SMSStatusUILogic::Release();
    SMSSettingUILogic::Destroy();
    ZsdkSim::Shutdown();
    return ok ? 0 : 1;
}
