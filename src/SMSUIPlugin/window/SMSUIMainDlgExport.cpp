// Export of the shown table's messages to a CSV file, and the usage figures file for the host's
// reporting agent.

#include "window/SMSUIMainDlg.h"

#include "CommonUtils.h"
#include "store/SMSLog.h"
#include "store/SMSStatusUILogic.h"
#include "window/SMSUITableWidget.h"
#include "window/UITableItem.h"
#include "zsdk.h"

#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextCodec>
#include <QTextStream>
#include <QXmlStreamWriter>
#include <algorithm>

namespace {

// A spreadsheet opening the file evaluates a field that starts like a formula, and a message is
// text from strangers: such a field gets a leading apostrophe, which spreadsheets take as "text".
// Phone numbers ("+49 171 ...", several separated by ';') are the one harmless case and stay as
// they are.
QString guarded(const QString& field)
{
    static const QString starters = QStringLiteral("=+-@\t\r");
    static const QRegularExpression numbers(QStringLiteral("^\\+?[0-9 ]+(;\\+?[0-9 ]+)*$"));
    if (field.isEmpty() || !starters.contains(field.at(0)) || numbers.match(field).hasMatch())
        return field;
    return QLatin1Char('\'') + field;
}

QString quoted(QString field)
{
    field = guarded(field);
    field.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + field + QLatin1Char('"');
}

} // namespace

void SMSUIMainDlg::exportDialog(int mode)
{
    m_iExportMode = mode;
    const QString proposal = QDir::homePath() + QStringLiteral("/*.csv");
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), proposal, QStringLiteral("Excel Files (*.csv)"));
    if (path.isEmpty())
        return;
    if (saveToFile(path))
        showMessageBox(QMessageBox::Information, Translate(QStringLiteral("IDS_SMS_BACKUPSUCCESS")));
}

void SMSUIMainDlg::onClickExportSMS() { exportDialog(1); }
void SMSUIMainDlg::onClickExportAllSMS() { exportDialog(2); }

void SMSUIMainDlg::onFileSelected(QString path)
{
    if (saveToFile(path))
        SMS_DEBUG("Entered save file ok");
}

bool SMSUIMainDlg::saveToFile(const QString& path)
{
    if (!m_pTableWidgetSms)
        return false;
    QFile file(path);
    auto failed = [this, &file] {
        SMS_DEBUG("CSV export to %s failed: %s", qPrintable(file.fileName()), qPrintable(file.errorString()));
        showMessageBox(QMessageBox::Information, Translate(QStringLiteral("IDS_SMS_BACKUPFAILURE")), false, nullptr,
                       QStringLiteral("IDS_ERROR_CAPTION"));
        return false;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failed();
    QString text;
    QTextStream out(&text);
    out << Translate(QStringLiteral("IDS_LST_NAME")) << '/' << Translate(QStringLiteral("IDS_LST_TEL")) << ','
        << Translate(QStringLiteral("IDS_LST_CONTENT")) << ',' << Translate(QStringLiteral("IDS_LST_TIME")) << '\n';
    QList<int> rows;
    if (m_iExportMode == 2 && m_pStatusLogicObject) {
        for (int row = 0; row < m_pTableWidgetSms->rowCount(); ++row)
            rows << row;
    } else {
        for (QTableWidgetItem* item : m_pTableWidgetSms->selectedItems())
            if (!rows.contains(item->row()))
                rows << item->row();
    }
    for (int row : qAsConst(rows)) {
        const SMSLocalRecordPtr rec = UITableItem::RecordOf(m_pTableWidgetSms->item(row, 0));
        if (!rec)
            continue;
        out << quoted(rec->strNumber) << ',' << quoted(rec->strContent) << ',' << quoted(SMSStatusUILogic::displayTime(rec->dtTime)) << '\n';
    }
    out.flush();
    // The local encoding is what a spreadsheet on this machine expects; when it cannot hold every
    // character (Chinese in a Western locale, emoji), UTF-8 with a byte-order mark keeps them all.
    QTextCodec* codec = QTextCodec::codecForLocale();
    QByteArray bytes;
    if (codec && codec->canEncode(text)) {
        bytes = codec->fromUnicode(text);
    } else {
        SMS_DEBUG("CSV export: the local encoding cannot hold every character, writing UTF-8");
        bytes = QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
    }
    // A disk that fills up takes the text only in part: the user must not believe it saved.
    if (file.write(bytes) != bytes.size() || !file.flush())
        return failed();
    file.close();
    if (file.error() != QFile::NoError)
        return failed();
    return true;
}

bool SMSUIMainDlg::SaveSMSInfoForAgent(const QString& item, const QString& key, const QString& value)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString created = now.date().toString(Qt::ISODate) + QLatin1Char(' ') + now.time().toString(QStringLiteral("hh:mm:ss"));
    ZSDK_WCHAR* logDir = nullptr;
    const ZSDK_STATUS rc = ZSDK_GetLogDirectory(&logDir);
    QString dirPath, filePath;
    if (rc == 0 && logDir) {
        const QString d = QString::fromUtf16(logDir);
        const QString p = d.left(d.lastIndexOf(QLatin1Char('/')));
        const QString base = p.left(p.lastIndexOf(QLatin1Char('/')) + 1);
        dirPath = base + QStringLiteral("OnlineUpdate/UpdateInfo");
        filePath = dirPath + QStringLiteral("/kpi-sms.dat");
    }
    delete[] logDir;
    if (filePath.isEmpty())
        return false;
    if (!QDir(dirPath).exists())
        QDir().mkpath(dirPath);
    if (!QFile::exists(filePath)) {
        QFile fresh(filePath);
        if (!fresh.open(QIODevice::ReadWrite | QIODevice::Text)) {
            SMS_DEBUG("Error open file: %s", qPrintable(filePath));
            return false;
        }
        QXmlStreamWriter xml(&fresh);
        xml.setAutoFormatting(true);
        xml.setAutoFormattingIndent(4);
        xml.writeStartDocument(QStringLiteral("1.0"));
        xml.writeStartElement(QStringLiteral("Client"));
        xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
        xml.writeAttribute(QStringLiteral("entity"), QStringLiteral("agent"));
        xml.writeStartElement(QStringLiteral("Item"));
        xml.writeAttribute(QStringLiteral("itemname"), QStringLiteral("SMS01"));
        xml.writeTextElement(QStringLiteral("LogStartTime"), created);
        xml.writeTextElement(QStringLiteral("ReportType"), QStringLiteral("2"));
        xml.writeTextElement(QStringLiteral("SMSisUsing"), QStringLiteral("0"));
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("Item"));
        xml.writeAttribute(QStringLiteral("itemname"), QStringLiteral("SMS02"));
        xml.writeTextElement(QStringLiteral("ReportType"), QStringLiteral("3"));
        xml.writeTextElement(QStringLiteral("SMSSent"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("SMSReceived"), QStringLiteral("0"));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndDocument();
        SMS_DEBUG("The file is not exist,init write success!");
    }
    const QFileDevice::Permissions everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
        | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    QDomDocument doc;
    {
        QFile file(filePath);
        file.setPermissions(everyone);
        if (!file.open(QIODevice::ReadWrite)) {
            SMS_DEBUG("Error open file: %s", qPrintable(filePath));
            return false;
        }
        if (!doc.setContent(&file)) {
            SMS_DEBUG("Error set file: %s", qPrintable(filePath));
            return false;   // a damaged file is left as it is
        }
    }
    QDomElement root = doc.documentElement();
    QDomElement target;
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        if (e.attribute(QStringLiteral("itemname")) == item) {
            target = e;
            break;
        }
    auto counter = [](const QString& k) { return k == QLatin1String("SMSSent") || k == QLatin1String("SMSReceived"); };
    auto textElement = [&doc](const QString& name, const QString& text) {
        QDomElement e = doc.createElement(name);
        e.appendChild(doc.createTextNode(text));
        return e;
    };
    if (!target.isNull()) {
        const QDomElement old = target.firstChildElement(key);
        if (!old.isNull()) {
            const QString text = counter(key) ? QString::number(old.text().toLongLong() + value.toLongLong()) : value;
            target.replaceChild(textElement(key, text), old);
        } else {
            target.appendChild(textElement(key, value));
        }
    } else {
        SMS_DEBUG("The add item not exist,add a new item to the file!");
        target = doc.createElement(QStringLiteral("Item"));
        target.setAttribute(QStringLiteral("itemname"), item);
        root.appendChild(target);
        auto valueOr0 = [&](const QString& k) { return k == key ? value : QStringLiteral("0"); };
        if (item == QLatin1String("SMS01")) {
            target.appendChild(textElement(QStringLiteral("LogStartTime"), created));
            target.appendChild(textElement(QStringLiteral("ReportType"), QStringLiteral("2")));
            target.appendChild(textElement(QStringLiteral("SMSisUsing"), valueOr0(QStringLiteral("SMSisUsing"))));
        } else if (item == QLatin1String("SMS02")) {
            target.appendChild(textElement(QStringLiteral("ReportType"), QStringLiteral("3")));
            target.appendChild(textElement(QStringLiteral("SMSSent"), valueOr0(QStringLiteral("SMSSent"))));
            target.appendChild(textElement(QStringLiteral("SMSReceived"), valueOr0(QStringLiteral("SMSReceived"))));
        } else {
            target.appendChild(textElement(key, value));
        }
    }
    // Written through a save file: a crash while writing leaves the old figures, not half a file.
    QSaveFile out(filePath);
    // Where the folder is closed but the file is open (the agent's folder is shared that way),
    // the file is rewritten in place rather than not at all.
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text)) {
        SMS_DEBUG("Error open file: %s", qPrintable(filePath));
        return false;
    }
    QTextStream stream(&out);
    doc.save(stream, 4, QDomNode::EncodingFromTextStream);
    stream.flush();
    const bool ok = out.commit();
    QFile::setPermissions(filePath, everyone);
    return ok;
}
